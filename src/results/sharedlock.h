#pragma once

#include <QLockFile>
#include <QString>

namespace merilon {

// A lock file that computers sharing a folder take in turn. Unlike QLockFile's own waiting,
// it tries often, with a little random delay, so that a class of writers does not starve one
// another; and it judges a lock left by a computer switched off by its own clock alone: a
// lock whose file has not changed for `staleMs` by this computer's timer is taken over. The
// file's time is the file server's, which need not agree with this computer's clock.
class SharedLock
{
public:
    enum class Result { Locked, Busy, NoAccess };

    SharedLock(const QString &path, int staleMs);

    // Waits at most `timeoutMs`.
    Result lock(int timeoutMs);
    void unlock() { m_lock.unlock(); }

private:
    // What the lock file holds and when it was written: a live holder's never stays the same
    // for long, as each write makes a new file.
    QByteArray signature() const;

    QString m_path;
    int m_staleMs;
    QLockFile m_lock;
};

} // namespace merilon
