#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

namespace merilon {

struct JournalPlace;

// The checker's commands for the teacher's journals:
//   --where                  the journal this computer writes and whether it can be written;
//   --table OUT JOURNAL...   the records of several journals, each once, as one table.
// Returns the exit status, or -1 when the arguments are none of these.
int runJournalTool(const QStringList &arguments, const JournalPlace &place, QTextStream &out,
                   QTextStream &err);

} // namespace merilon
