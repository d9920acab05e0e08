// Whether the desktop has a program for a kind of document, and whether a folder is on the
// network: the platform-specific parts of handing documents to the desktop.
#include "desktop.h"

#include <QDir>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QStorageInfo>
#endif

namespace merilon {

#ifdef Q_OS_WIN

bool hasViewerFor(const QString &)
{
    // The shell opens what it can and says nothing of what it cannot; the program asks
    // nothing more of it there.
    return true;
}

bool isNetworkPath(const QString &path)
{
    const QString native = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    if (native.startsWith(QStringLiteral("\\\\")))
        return true; // \\server\share
    if (native.size() < 2 || native.at(1) != QLatin1Char(':'))
        return false;
    const std::wstring root = native.left(2).toStdWString() + L"\\";
    return GetDriveTypeW(root.c_str()) == DRIVE_REMOTE;
}

#else

bool hasViewerFor(const QString &path)
{
    // The freedesktop association of the file's kind (xdg-mime), as xdg-open would use it.
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty())
        return true; // nothing to ask: the desktop tries, and says whether it could
    const QString kind = QMimeDatabase().mimeTypeForFile(path).name();
    QProcess query;
    query.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"), kind});
    if (!query.waitForFinished(3000)) {
        query.kill();
        query.waitForFinished(1000);
        return false;
    }
    return query.exitCode() == 0 && !query.readAllStandardOutput().trimmed().isEmpty();
}

bool isNetworkPath(const QString &path)
{
    static const QList<QByteArray> network{"nfs",       "nfs4", "cifs",       "smb3",
                                           "smbfs",     "9p",   "fuse.sshfs", "afs",
                                           "glusterfs", "ceph", "davfs",      "fuse.davfs"};
    return network.contains(QStorageInfo(path).fileSystemType());
}

#endif

} // namespace merilon
