#pragma once

#include "rtfreader.h"

#include <QByteArray>
#include <QTextCursor>
#include <QTextFormat>

class QTextDocument;

// Between RTF and Qt's document model: reading into a document at a cursor,
// and writing a document out as RTF that Word, WordPad and LibreOffice open.
namespace merilon::rtf {

// The name of every picture resource that holds the empty frame of a picture that could not
// be drawn here begins so.
inline constexpr char kUndrawnPicturePrefix[] = "merilon-undrawn:";

// The program's own data on a character: printable ASCII, written before the character as
// {\*\merilondata ...} and read back onto it.
inline constexpr int kDataProperty = QTextFormat::UserProperty + 0x4d10;

// The data on `format`, printable ASCII only; empty when it has none.
QByteArray dataOf(const QTextCharFormat &format);
// Puts `data` on `format`, or takes it off when empty. It is kept as a string: the document
// finds equal formats by a hash that tells strings apart, and byte arrays not.
void setData(QTextCharFormat &format, const QByteArray &data);

// Reads RTF and inserts what it holds at the cursor, with its formatting.
void insertRtf(QByteArrayView data, QTextCursor &cursor);

// The whole document as RTF.
QByteArray writeRtf(const QTextDocument &document);

// Makes every picture that the range [from, to) of `target` shows, and that
// `source` holds as a resource, a resource of `target` too.
void copyImageResources(const QTextDocument &source, QTextDocument &target, int from, int to);

} // namespace merilon::rtf
