#include "codepages.h"

#include <array>

namespace merilon::rtf {

int codePageOfCharset(int charset)
{
    switch (charset) {
    case 0:
        return 1252;
    case 2:
        return 1252; // symbol fonts: the bytes stand for themselves
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
        return 437;
    case 255:
        return 437;
    default:
        return 0;
    }
}

char16_t decodeByte(int codePage, unsigned char byte)
{
    if (byte < 0x80)
        return byte;
    const char16_t *table = upperHalfTable(codePage);
    if (!table)
        table = upperHalfTable(1252);
    return table[byte - 0x80];
}

QString decodeBytes(int codePage, QByteArrayView bytes)
{
    const char16_t *table = upperHalfTable(codePage);
    if (!table)
        table = upperHalfTable(1252);
    QString out(bytes.size(), Qt::Uninitialized);
    QChar *dst = out.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *dst++ = QChar(b < 0x80 ? char16_t(b) : table[b - 0x80]);
    }
    return out;
}

unsigned char encode1251(char16_t ch)
{
    if (ch < 0x80)
        return static_cast<unsigned char>(ch);
    static const auto reverse = [] {
        std::array<unsigned char, 0x2200> map{};
        const char16_t *table = upperHalfTable(1251);
        for (int b = 0; b < 128; ++b) {
            if (table[b] < map.size())
                map[table[b]] = static_cast<unsigned char>(0x80 + b);
        }
        return map;
    }();
    return ch < reverse.size() ? reverse[ch] : 0;
}

} // namespace merilon::rtf
