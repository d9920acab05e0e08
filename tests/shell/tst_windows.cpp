// What only Windows has: the clipboard's "Rich Text Format", the console, and the resources
// of the program file. Built and run (under Wine here) only for Windows.
#include "richtext/richtext.h"
#include "shell/console.h"
#include "shell/desktop.h"

#include <QApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <QTextCursor>
#include <windows.h>

using namespace merilon;

namespace {

QTextCharFormat formatAt(const RichText &doc, int position)
{
    QTextCursor cursor(doc.document());
    cursor.setPosition(doc.toQt(position) + 1);
    return cursor.charFormat();
}

std::wstring native(const QString &path)
{
    return QFileInfo(path)
        .absoluteFilePath()
        .replace(QLatin1Char('/'), QLatin1Char('\\'))
        .toStdWString();
}

QByteArray clipboardBytes(UINT format)
{
    QByteArray bytes;
    if (!OpenClipboard(nullptr))
        return bytes;
    if (HANDLE data = GetClipboardData(format)) {
        if (const void *locked = GlobalLock(data)) {
            bytes = QByteArray(static_cast<const char *>(locked), qsizetype(GlobalSize(data)));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return bytes;
}

// Puts bytes on the clipboard as another program would.
bool setClipboardBytes(UINT format, const QByteArray &bytes)
{
    if (!OpenClipboard(nullptr))
        return false;
    EmptyClipboard();
    HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE, SIZE_T(bytes.size()) + 1);
    char *target = static_cast<char *>(GlobalLock(global));
    memcpy(target, bytes.constData(), size_t(bytes.size()));
    target[bytes.size()] = 0;
    GlobalUnlock(global);
    const bool set = SetClipboardData(format, global) != nullptr;
    CloseClipboard();
    return set;
}

QString versionString(const QByteArray &info, const wchar_t *name)
{
    void *value = nullptr;
    UINT length = 0;
    const std::wstring key = std::wstring(L"\\StringFileInfo\\041904E3\\") + name;
    if (!VerQueryValueW(info.constData(), key.c_str(), &value, &length) || length == 0)
        return {};
    return QString::fromWCharArray(static_cast<const wchar_t *>(value), int(length) - 1);
}

} // namespace

class TestWindows : public QObject
{
    Q_OBJECT

private slots:
    void clipboardOffersRichTextFormat();
    void programResources();
    void consoleShowsRussian();
    void networkPaths();
};

void TestWindows::clipboardOffersRichTextFormat()
{
    const QByteArray formatted =
        "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset204 Arial;}}"
        "{\\colortbl;\\red200\\green0\\blue0;}"
        "\\f0\\fs24 \\'cf\\'f0\\'ee \\b \\'e6\\'e8\\'f0\\b0  \\cf1 red\\cf0\\par}";
    RichText source;
    source.setRtf(formatted);
    source.SelectAll();
    source.CopyToClipboard();

    const UINT rtfFormat = RegisterClipboardFormatW(L"Rich Text Format");
    QVERIFY(rtfFormat != 0);
    QVERIFY(IsClipboardFormatAvailable(rtfFormat));
    const QByteArray offered = clipboardBytes(rtfFormat);
    QVERIFY2(offered.startsWith("{\\rtf1"), offered.left(40).constData());

    // The same bytes from another program paste back with their formatting.
    QVERIFY(setClipboardBytes(rtfFormat, offered));
    RichText target;
    target.PasteFromClipboard();
    QVERIFY2(target.Text().startsWith(QStringLiteral("Про жир red")), qPrintable(target.Text()));
    QCOMPARE(formatAt(target, 4).fontWeight(), QFont::Bold);
    QCOMPARE(formatAt(target, 9).foreground().color(), QColor(200, 0, 0));
    QCOMPARE(formatAt(target, 9).fontWeight(), QFont::Normal);

    RichText::ClearClipboard();
    QVERIFY(!IsClipboardFormatAvailable(rtfFormat));
}

void TestWindows::programResources()
{
    const std::wstring program = native(QStringLiteral(MERILON_APP_EXE));
    HMODULE module = LoadLibraryExW(program.c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    QVERIFY(module);
    const auto russian = MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT);
    QVERIFY(FindResourceExW(module, RT_VERSION, MAKEINTRESOURCEW(VS_VERSION_INFO), russian));
    QVERIFY(FindResourceExW(module, RT_GROUP_ICON, L"MAINICON", russian));
    HRSRC manifestResource = FindResourceExW(module, RT_MANIFEST, MAKEINTRESOURCEW(1), russian);
    QVERIFY(manifestResource);
    const QByteArray manifest(
        static_cast<const char *>(LockResource(LoadResource(module, manifestResource))),
        qsizetype(SizeofResource(module, manifestResource)));
    QVERIFY(manifest.contains("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""));
    FreeLibrary(module);

    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(program.c_str(), &ignored);
    QVERIFY(size > 0);
    QByteArray info(qsizetype(size), '\0');
    QVERIFY(GetFileVersionInfoW(program.c_str(), 0, size, info.data()));
    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT length = 0;
    QVERIFY(VerQueryValueW(info.constData(), L"\\", reinterpret_cast<void **>(&fixed), &length));
    QCOMPARE(fixed->dwFileVersionMS, DWORD(0x00010001));
    QCOMPARE(fixed->dwFileVersionLS, DWORD(0x00010001));
    QCOMPARE(versionString(info, L"ProductName"), QStringLiteral("Мерилон"));
    QCOMPARE(versionString(info, L"FileVersion"), QStringLiteral("1.1.1.1"));
    QCOMPARE(versionString(info, L"OriginalFilename"), QStringLiteral("merilon.exe"));
    DWORD *translation = nullptr;
    QVERIFY(VerQueryValueW(info.constData(), L"\\VarFileInfo\\Translation",
                           reinterpret_cast<void **>(&translation), &length));
    QCOMPARE(LOWORD(*translation), WORD(0x0419));
    QCOMPARE(HIWORD(*translation), WORD(1251));
}

void TestWindows::consoleShowsRussian()
{
    // The checker in a console of its own: what the console shows is Russian, whatever its
    // code page.
    FreeConsole();
    QVERIFY(AllocConsole());
    const UINT codePage = GetConsoleOutputCP();
    SetConsoleOutputCP(866);
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE console =
        CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    &inherit, OPEN_EXISTING, 0, nullptr);
    QVERIFY(console != INVALID_HANDLE_VALUE);
    CONSOLE_SCREEN_BUFFER_INFO buffer{};
    QVERIFY(GetConsoleScreenBufferInfo(console, &buffer));
    const COORD start = buffer.dwCursorPosition;

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = console;
    startup.hStdError = console;
    std::wstring command = L"\"" + native(QStringLiteral(MERILON_CHECK_EXE)) + L"\" --help";
    PROCESS_INFORMATION process{};
    QVERIFY(CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                           &startup, &process));
    QCOMPARE(WaitForSingleObject(process.hProcess, 60000), DWORD(WAIT_OBJECT_0));
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    QCOMPARE(exitCode, DWORD(0));

    QVERIFY(GetConsoleScreenBufferInfo(console, &buffer));
    const DWORD cells = DWORD(buffer.dwSize.X) * DWORD(buffer.dwCursorPosition.Y - start.Y + 1);
    std::wstring shown(cells, L' ');
    DWORD read = 0;
    QVERIFY(ReadConsoleOutputCharacterW(console, shown.data(), cells, COORD{0, start.Y}, &read));
    const QString text = QString::fromStdWString(shown.substr(0, read));
    SetConsoleOutputCP(codePage);
    CloseHandle(console);
    FreeConsole();
    QVERIFY2(text.contains(QStringLiteral("Использование: merilon-check")),
             qPrintable(text.left(200)));
    QVERIFY(text.contains(QStringLiteral("в её кодировке")));
}

void TestWindows::networkPaths()
{
    // A share by its UNC name is on the network; the system's own drive is not.
    QVERIFY(merilon::isNetworkPath(QStringLiteral("\\\\server\\results\\Мерилон")));
    QVERIFY(merilon::isNetworkPath(QStringLiteral("//server/results")));
    QVERIFY(!merilon::isNetworkPath(QCoreApplication::applicationDirPath()));
    QVERIFY(!merilon::isNetworkPath(QStringLiteral("C:/windows")));
}

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
