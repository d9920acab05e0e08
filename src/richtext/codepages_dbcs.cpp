// The two-byte code pages of East Asian documents (932, 936, 949, 950): decoded by the system's
// own converters, the one platform-specific part of reading code pages.
#include "codepages.h"

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include "qtcompat.h"
#endif

namespace merilon::rtf {

bool isDoubleByteCodePage(int codePage)
{
    return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950;
}

bool isLeadByte(int codePage, unsigned char byte)
{
    if (codePage == 932)
        return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    return isDoubleByteCodePage(codePage) && byte >= 0x81 && byte <= 0xFE;
}

#ifdef Q_OS_WIN

char16_t decodeDoubleByte(int codePage, unsigned char lead, unsigned char trail)
{
    const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    wchar_t out[2] = {};
    const int n = MultiByteToWideChar(UINT(codePage), MB_ERR_INVALID_CHARS, bytes, 2, out, 2);
    return n == 1 ? static_cast<char16_t>(out[0]) : char16_t(0xFFFD);
}

#else

char16_t decodeDoubleByte(int codePage, unsigned char lead, unsigned char trail)
{
    const char *name = codePage == 932   ? "Shift_JIS"
                       : codePage == 936 ? "GBK"
                       : codePage == 949 ? "windows-949"
                                         : "windows-950";
    QStringDecoder decoder(name, QStringConverter::Flag::Stateless);
    if (!decoder.isValid())
        return 0xFFFD;
    const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    const QString text = decoder(QByteArrayView(bytes, 2));
    return text.size() == 1 ? static_cast<char16_t>(text.at(0).unicode()) : char16_t(0xFFFD);
}

#endif

} // namespace merilon::rtf
