#pragma once

#include <QStringList>

// The names RTF goes by on the clipboard, which differ between the systems.
namespace merilon {

// The formats a copy offers its RTF under.
QStringList rtfClipboardFormats();

// The formats a paste takes RTF from, in the order it prefers them.
QStringList rtfPasteFormats();

} // namespace merilon
