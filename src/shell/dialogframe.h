#pragma once

class QWidget;

namespace merilon {

// A dialog of fixed size in the window font; with or without a close button
// (without one it has no system menu either).
void fixedDialogFrame(QWidget &dialog, bool closeButton);

} // namespace merilon
