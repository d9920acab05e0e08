// Where the journal's settings and kept results lie, and its file attributes: the
// platform-specific parts of the journal.
#include "journal.h"
#include "journalplace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QtGlobal>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace merilon {

QStringList JournalPlace::settingsFiles(const QString &programFolder)
{
    QStringList files{QDir(programFolder).filePath(QStringLiteral("merilon.ini"))};
#ifndef Q_OS_WIN
    files << QStringLiteral("/etc/merilon/merilon.ini");
#endif
    return files;
}

QString JournalPlace::keptFolder()
{
    // %LOCALAPPDATA% on Windows, ~/.local/share elsewhere.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
#ifdef Q_OS_WIN
    return QDir(data).filePath(QStringLiteral("Мерилон"));
#else
    return QDir(data).filePath(QStringLiteral("merilon"));
#endif
}

void setJournalAttributes(const QString &path, bool hidden)
{
#ifdef Q_OS_WIN
    const std::wstring native = QDir::toNativeSeparators(path).toStdWString();
    SetFileAttributesW(native.c_str(), hidden ? FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM
                                              : FILE_ATTRIBUTE_NORMAL);
#else
    // No hidden files here. A journal in a folder that other accounts write to (a class's
    // shared folder, /var/lib/merilon) stays writable by them: the next record replaces it
    // with a file of its writer, and a file its writer may not write is not replaced.
    if (!hidden)
        return;
    const QFileInfo folder(QFileInfo(path).absolutePath());
    QFileDevice::Permissions shared;
    if (folder.permission(QFileDevice::WriteGroup))
        shared |= QFileDevice::ReadGroup | QFileDevice::WriteGroup;
    if (folder.permission(QFileDevice::WriteOther))
        shared |= QFileDevice::ReadOther | QFileDevice::WriteOther;
    const QFileDevice::Permissions now = QFile::permissions(path);
    if (shared && (now & shared) != shared)
        QFile::setPermissions(path, now | shared);
#endif
}

} // namespace merilon
