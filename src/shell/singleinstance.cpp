#include "singleinstance.h"

#include <QDir>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace merilon {

QString SingleInstanceGuard::guardName(const QString &name)
{
    QString copy = name;
    copy.replace(QLatin1Char('\\'), QLatin1Char('_'));
    return copy;
}

SingleInstanceGuard::~SingleInstanceGuard()
{
    release();
}

#ifdef Q_OS_WIN

bool SingleInstanceGuard::CheckSingleInstance(const QString &name)
{
    release();
    const std::wstring wide = guardName(name).toStdWString();
    m_handle = CreateMutexW(nullptr, FALSE, wide.c_str());
    return m_handle != nullptr && GetLastError() != ERROR_ALREADY_EXISTS;
}

void SingleInstanceGuard::release()
{
    if (m_handle)
        CloseHandle(m_handle);
    m_handle = nullptr;
}

#else

bool SingleInstanceGuard::CheckSingleInstance(const QString &name)
{
    release();
    // The user's runtime folder, else the temporary folder.
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::tempPath();
    QString file = guardName(name);
    file.replace(QLatin1Char('/'), QLatin1Char('_'));
    const QByteArray path = QFile::encodeName(folder + QLatin1Char('/') + file + ".lock");
    m_fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0)
        return false;
    if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        release();
        return false;
    }
    return true;
}

void SingleInstanceGuard::release()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

#endif

} // namespace merilon
