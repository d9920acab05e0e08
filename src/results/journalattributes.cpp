// The file attributes of the journal, the one platform-specific part of it.
#include "journal.h"

#include <QDir>
#include <QtGlobal>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace merilon {

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
