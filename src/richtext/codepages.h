#pragma once

#include "qtcompat.h"

#include <QString>

namespace merilon::rtf {

// The upper 128 characters of a single-byte Windows, DOS or Mac code page,
// or nullptr when the page is not one of ours.
const char16_t *upperHalfTable(int codePage);

// The code page that an RTF \fcharsetN names; 0 when the charset has none.
int codePageOfCharset(int charset);

// One byte in a single-byte code page; pages we do not know read as 1252.
char16_t decodeByte(int codePage, unsigned char byte);

// A whole byte string in a single-byte code page.
QString decodeBytes(int codePage, QByteArrayView bytes);

// Two-byte code pages: whether a page is one, whether a byte opens a pair in
// it, and the character of a pair (U+FFFD when the pair is none).
bool isDoubleByteCodePage(int codePage);
bool isLeadByte(int codePage, unsigned char byte);
char16_t decodeDoubleByte(int codePage, unsigned char lead, unsigned char trail);

// The Windows-1251 byte of a character, or 0 when it has none.
unsigned char encode1251(char16_t ch);

} // namespace merilon::rtf
