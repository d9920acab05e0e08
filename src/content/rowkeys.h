#pragma once

#include <QtGlobal>

class QKeyEvent;

namespace merilon {

// The answer row (1 for A to 10 for J) that a key press chooses, or 0. The key marked with
// the row's letter chooses it whatever the keyboard layout: on the Russian layout the key
// marked A is "Ф". Keys held with Ctrl, Alt or Meta choose nothing.
int rowOfKey(const QKeyEvent &event);

// The row of the key at the physical place of the letters A to J, from the system's own code
// for the key (its scan code), or 0.
int rowOfScanCode(quint32 nativeScanCode);

} // namespace merilon
