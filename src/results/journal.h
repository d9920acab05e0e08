#pragma once

#include <QString>

namespace merilon {

class RichText;

// The results journal "Journal.res": RTF, newest record first. Adding a
// record reads the journal, puts the record in front and replaces the file
// in one step, under a lock file beside it, so that copies of the program
// on other computers sharing the folder never lose one another's records.
class Journal
{
public:
    explicit Journal(QString path);

    // The journal beside the program: its folder followed by "Journal.res".
    static QString pathIn(const QString &programFolder);

    const QString &path() const { return m_path; }
    bool exists() const;

    // Puts the whole of `record` in front of the older records; the
    // record's selection is left as it was. On failure the journal is as it
    // was and `error` says why.
    bool addRecord(RichText &record, QString *error) const;

    // How long a writer waits for another to finish.
    static constexpr int LockTimeoutMs = 5000;

private:
    QString m_path;
};

// Hidden and system on Windows; nothing to do elsewhere.
void setJournalAttributes(const QString &path, bool hidden);

} // namespace merilon
