#pragma once

#include <QFont>
#include <QStringList>

namespace merilon {

// The window font: Tahoma 11 pixels high, or a sans-serif of the same
// build where Tahoma is not installed.
QFont windowFont();
// Where the system has no Tahoma, the free regular face that Wine's fonts bring (fonts-wine),
// so that the window layouts hold. Call once the application object exists.
void loadWindowFonts();
// Times New Roman at the given size in points, or a metric-compatible serif.
QFont serifFont(double points);
QStringList serifFamilies();

} // namespace merilon
