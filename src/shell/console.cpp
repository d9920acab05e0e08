// Terminal output, the one platform-specific part of it.
#include "console.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#endif

namespace merilon {

#ifdef Q_OS_WIN

namespace {

HANDLE consoleOf(std::FILE *stream)
{
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode))
        return nullptr;
    return handle;
}

} // namespace

void useHeadlessPlatform() {}

void writeText(std::FILE *stream, const QString &text, TextMode mode)
{
    if (HANDLE console = mode == TextMode::Terminal ? consoleOf(stream) : nullptr) {
        std::fflush(stream);
        const auto *data = reinterpret_cast<const wchar_t *>(text.utf16());
        qsizetype left = text.size();
        while (left > 0) {
            DWORD written = 0;
            const DWORD chunk = DWORD(std::min<qsizetype>(left, 8192));
            if (!WriteConsoleW(console, data, chunk, &written, nullptr) || written == 0)
                break;
            data += written;
            left -= written;
        }
        return;
    }
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

#else

void useHeadlessPlatform()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

void writeText(std::FILE *stream, const QString &text, TextMode)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

#endif

} // namespace merilon
