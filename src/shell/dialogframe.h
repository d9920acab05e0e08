#pragma once

class QFontMetrics;
class QString;
class QWidget;

namespace merilon {

// A dialog of fixed size in the window font; with or without a close button
// (without one it has no system menu either).
void fixedDialogFrame(QWidget &dialog, bool closeButton);

// Labels of fixed size whose text a wider font would cut: each is widened to its text as far
// as its parent allows, and where even that is too narrow it breaks its text at words.
void keepLabelsWhole(QWidget &window);

// The text as it fits `width` pixels in `metrics`: whole, or cut after the last whole word
// that fits, with "…"; a first word too long for the room is cut with "…" too.
QString fitAtWords(const QString &text, const QFontMetrics &metrics, int width);

} // namespace merilon
