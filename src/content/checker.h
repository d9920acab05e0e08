#pragma once

#include <QStringList>

class QTextStream;

namespace merilon {

// The teachers' test checker: loads a test as Open does and reports what
// Open would refuse and what would show differently from what was meant.
// `arguments` are those after the program's name. Returns the exit status:
// 0 the test opens, 1 Open refuses it, 2 the file or the command line
// cannot be read.
int runChecker(const QStringList &arguments, QTextStream &out, QTextStream &err);

} // namespace merilon
