// Terminal output, the one platform-specific part of it.
#include "console.h"

#include <QtGlobal>
#include <string>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <termios.h>
#include <unistd.h>
#endif

namespace merilon {

namespace {

// A line of standard input as UTF-8, without its line break; nothing at the end of input.
std::optional<QString> readLine()
{
    std::string line;
    for (int c; (c = std::fgetc(stdin)) != EOF;) {
        if (c == '\n')
            break;
        line.push_back(char(c));
    }
    if (line.empty() && std::feof(stdin))
        return std::nullopt;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    QString text = QString::fromStdString(line);
    std::fill(line.begin(), line.end(), '\0');
    return text;
}

} // namespace

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

std::optional<QString> readSecretLine(const QString &prompt)
{
    writeText(stderr, prompt);
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    if (input == INVALID_HANDLE_VALUE || !GetConsoleMode(input, &mode))
        return readLine();
    SetConsoleMode(input, (mode & ~DWORD(ENABLE_ECHO_INPUT)) | ENABLE_LINE_INPUT);
    QString line;
    wchar_t buffer[256];
    DWORD got = 0;
    bool ended = true;
    while (ReadConsoleW(input, buffer, DWORD(std::size(buffer)), &got, nullptr) && got > 0) {
        line += QString::fromWCharArray(buffer, int(got));
        SecureZeroMemory(buffer, sizeof buffer);
        if (line.endsWith(QLatin1Char('\n'))) {
            ended = false;
            break;
        }
    }
    SetConsoleMode(input, mode);
    writeText(stderr, QStringLiteral("\n"));
    if (ended && line.isEmpty())
        return std::nullopt;
    while (line.endsWith(QLatin1Char('\n')) || line.endsWith(QLatin1Char('\r')))
        line.chop(1);
    return line;
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

std::optional<QString> readSecretLine(const QString &prompt)
{
    writeText(stderr, prompt);
    termios before{};
    const bool terminal = isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &before) == 0;
    if (terminal) {
        termios quiet = before;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        quiet.c_lflag |= ECHONL;
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    std::optional<QString> line = readLine();
    if (terminal)
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &before);
    return line;
}

#endif

} // namespace merilon
