#pragma once

// Faults and file states that the tests make on each system the same way; the one place with
// platform code in the tests.

#include <QFile>
#include <QFileInfo>
#include <QString>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace testfiles {

// Whether this Windows program runs under Wine rather than on Windows.
inline bool underWine()
{
#ifdef Q_OS_WIN
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
    return false;
#endif
}

// A file at `path` that exists but cannot be read while this object lives: on Windows a file
// this process holds open with no sharing, elsewhere a link to /proc/self/mem, which the
// kernel refuses to read. `unchanged()` tells that nobody replaced it meanwhile.
class UnreadableFile
{
public:
    explicit UnreadableFile(const QString &path) : m_path(path)
    {
#ifdef Q_OS_WIN
        const std::wstring native =
            QFileInfo(path).absoluteFilePath().replace('/', '\\').toStdWString();
        m_handle = CreateFileW(native.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        m_made = m_handle != INVALID_HANDLE_VALUE &&
                 WriteFile(m_handle, kContent, DWORD(sizeof kContent - 1), &written, nullptr);
#else
        m_made = QFile::link(QStringLiteral("/proc/self/mem"), path);
#endif
    }
    ~UnreadableFile()
    {
        release();
    }
    UnreadableFile(const UnreadableFile &) = delete;
    UnreadableFile &operator=(const UnreadableFile &) = delete;

    bool made() const
    {
        return m_made;
    }

    // Lets go of the file; it stays where it is.
    void release()
    {
#ifdef Q_OS_WIN
        if (m_handle != INVALID_HANDLE_VALUE)
            CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
#endif
    }

    bool unchanged()
    {
#ifdef Q_OS_WIN
        release();
        QFile file(m_path);
        return file.open(QIODevice::ReadOnly) && file.readAll() == QByteArray(kContent);
#else
        return QFileInfo(m_path).symLinkTarget() == QStringLiteral("/proc/self/mem");
#endif
    }

private:
    static constexpr char kContent[] = "{\\rtf1 older records}";
    QString m_path;
    bool m_made = false;
#ifdef Q_OS_WIN
    HANDLE m_handle = INVALID_HANDLE_VALUE;
#endif
};

// Whether files here have the hidden and system attributes.
constexpr bool kHasFileAttributes =
#ifdef Q_OS_WIN
    true;
#else
    false;
#endif

// Whether files here have permission bits for their owner, group and others.
constexpr bool kHasPermissionBits = !kHasFileAttributes;

// Whether the file has the hidden and the system attribute (never, where there are none).
inline bool hiddenAndSystem(const QString &path)
{
#ifdef Q_OS_WIN
    const std::wstring native =
        QFileInfo(path).absoluteFilePath().replace('/', '\\').toStdWString();
    const DWORD attributes = GetFileAttributesW(native.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN) &&
           (attributes & FILE_ATTRIBUTE_SYSTEM);
#else
    Q_UNUSED(path);
    return false;
#endif
}

} // namespace testfiles
