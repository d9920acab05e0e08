#pragma once

#include <QString>

namespace merilon {

class RichText;

// The results journal "Journal.res": RTF, newest record first. Adding a
// record reads the journal, puts the record in front and replaces the file
// in one step, under a lock file beside it (SharedLock), so that copies of
// the program on other computers sharing the folder never lose one
// another's records.
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
    //
    // `kept` may name a journal of results that could not reach this one
    // earlier: its records go in with this one, behind it (they are older),
    // and the kept journal is removed. A kept record that is already here,
    // by its id, is not added again.
    bool addRecord(RichText &record, QString *error, const QString &kept = {}) const;

    // A record's RTF put in front of a journal's, the journal's formatting kept.
    static QByteArray inFront(const QByteArray &front, const QByteArray &journal);

    // How long a writer waits for others to finish. A lock left by a
    // computer switched off while it wrote is taken over once it has stayed
    // the same for StaleLockMs by the waiting computer's own clock, so such
    // a lock holds the others up for about that long.
    static constexpr int LockTimeoutMs = 25000;
    static constexpr int StaleLockMs = 15000;

private:
    QString m_path;
};

// Hidden and system on Windows. Elsewhere, once written (`hidden`), writable by the group and
// the others that may write its folder, so that their records can replace it too.
void setJournalAttributes(const QString &path, bool hidden);

} // namespace merilon
