#include "sharedlock.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QThread>

namespace merilon {

SharedLock::SharedLock(const QString &path, int staleMs)
    : m_path(path), m_staleMs(staleMs), m_lock(path)
{
    // Qt's own judgement compares the file's time with this computer's clock; on a network
    // that can take a live lock for a dead one. A holder on this same computer whose process
    // is gone is still found out at once.
    m_lock.setStaleLockTime(0);
}

QByteArray SharedLock::signature() const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(4096) + '\n' +
           QByteArray::number(QFileInfo(file).lastModified().toMSecsSinceEpoch());
}

SharedLock::Result SharedLock::lock(int timeoutMs)
{
    QElapsedTimer waited;
    waited.start();
    QByteArray seen;
    QElapsedTimer unchanged;
    for (;;) {
        if (m_lock.tryLock(0))
            return Result::Locked;
        if (m_lock.error() == QLockFile::PermissionError ||
            !QFileInfo(QFileInfo(m_path).absolutePath()).isDir())
            return Result::NoAccess;
        // LockFailedError: another holds it. UnknownError: on some network file systems two
        // computers making the file at once leave the loser that; it is busy too.
        const QByteArray now = signature();
        if (now != seen || !unchanged.isValid()) {
            seen = now;
            unchanged.start();
        } else if (!now.isEmpty() && unchanged.hasExpired(m_staleMs)) {
            // The holder is gone. Of those who wait, one takes it away, and only the lock that
            // was judged: a second lock keeps two from removing each other's new one.
            QLockFile removing(m_path + QStringLiteral(".rmlock"));
            if (removing.tryLock(0) && signature() == seen)
                m_lock.removeStaleLockFile();
            unchanged.invalidate();
            continue;
        }
        if (waited.hasExpired(timeoutMs))
            return Result::Busy;
        QThread::msleep(20 + QRandomGenerator::global()->bounded(80));
    }
}

} // namespace merilon
