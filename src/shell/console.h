#pragma once

#include <QString>
#include <cstdio>
#include <optional>

namespace merilon {

// Text for a terminal. A Windows console shows it in its own code page (866, 1251...), so
// there the text goes to the console as UTF-16 and shows right whatever that page is. Output
// to a file or a pipe, and everywhere else, is UTF-8. Raw text is UTF-8 even on a console
// (what a program reads back, such as JSON).
enum class TextMode { Terminal, Raw };

// Writes the text to stdout or stderr and flushes it.
void writeText(std::FILE *stream, const QString &text, TextMode mode = TextMode::Terminal);

// Shows the prompt on stderr and reads a line from the terminal without showing what is
// typed; from a file or a pipe, the next line as it is. Nothing at the end of input.
std::optional<QString> readSecretLine(const QString &prompt);

// For a program that shows no window: the offscreen platform where no display may be there
// (Linux), the system's own on Windows, which always has its desktop. QT_QPA_PLATFORM wins.
void useHeadlessPlatform();

} // namespace merilon
