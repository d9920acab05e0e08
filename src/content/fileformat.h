#pragma once

#include "richtext/qtcompat.h"

#include <QString>

namespace merilon {

// What to tell a teacher whose test file is a word processor's own document (Word's DOCX or
// DOC, OpenDocument's ODT) renamed to .tstt, judged by the file's first bytes: which format it
// is and how to save it as a test. Empty for any other file.
QString wordProcessorFileProblem(QByteArrayView head);

// How many first bytes of a file that needs.
constexpr qsizetype kFileHeadSize = 4096;

} // namespace merilon
