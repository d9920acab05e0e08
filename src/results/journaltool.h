#pragma once

#include "content/sealtool.h"

#include <QString>
#include <QStringList>

class QTextStream;

namespace merilon {

struct JournalPlace;

// The checker's commands for the teacher's journals:
//   --where                  the journal this computer writes and whether it can be written;
//   --table OUT JOURNAL...   the records of several journals, each once, as one table;
//       with --verify TEST (and --password-file F) a column tells which records are as the
//       sealed test wrote them.
// Returns the exit status, or -1 when the arguments are none of these.
int runJournalTool(const QStringList &arguments, const JournalPlace &place,
                   const PasswordReader &read, QTextStream &out, QTextStream &err);

} // namespace merilon
