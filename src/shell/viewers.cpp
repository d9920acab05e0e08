// Whether the desktop has a program for a kind of document: the one platform-specific part of
// handing documents to the desktop.
#include "desktop.h"

#ifndef Q_OS_WIN
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#endif

namespace merilon {

#ifdef Q_OS_WIN

bool hasViewerFor(const QString &)
{
    // The shell opens what it can and says nothing of what it cannot; the program asks
    // nothing more of it there.
    return true;
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

#endif

} // namespace merilon
