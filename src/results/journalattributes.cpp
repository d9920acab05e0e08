// Where the journal's settings and kept results lie, and its file attributes: the
// platform-specific parts of the journal.
#include "journal.h"
#include "journalplace.h"

#include <QDir>
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
    Q_UNUSED(path);
    Q_UNUSED(hidden);
#endif
}

} // namespace merilon
