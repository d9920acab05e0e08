#pragma once

#include "qtcompat.h"

#include <QByteArray>
#include <QRgb>
#include <QString>

// Reading Rich Text Format: the part that meets untrusted bytes. It turns a
// byte string into text runs with character and paragraph styles, pictures
// and paragraph breaks, and hands them to a sink; it builds no document
// itself, so that it can be fuzzed and tested on its own.
namespace merilon::rtf {

enum class Align { Left, Center, Right, Justify };

struct CharStyle
{
    QString family; // empty: the document's default font
    int halfPoints = 24;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool autoColor = true;
    QRgb color = 0;

    bool operator==(const CharStyle &) const = default;
};

struct ParaStyle
{
    Align align = Align::Left;

    bool operator==(const ParaStyle &) const = default;
};

struct Picture
{
    // What the bytes are (PNG and JPEG by their own signature); Bmp is a whole BMP file made
    // from a device-independent bitmap; Unknown a picture kept only as its place.
    enum class Kind { Png, Jpeg, Bmp, Wmf, Emf, Unknown };
    Kind kind = Kind::Png;
    QByteArray data;
    int widthPx = 0; // 0 when the file gave no size
    int heightPx = 0;
};

class Sink
{
public:
    virtual ~Sink() = default;
    virtual void text(const QString &text, const CharStyle &style) = 0;
    // Ends the current paragraph with the style it had and starts a new one.
    virtual void paragraphBreak(const ParaStyle &style) = 0;
    virtual void picture(const Picture &picture, const CharStyle &style) = 0;
    // The end of the input: the last paragraph's style.
    virtual void finish(const ParaStyle &style) = 0;
    // The program's own data, {\*\merilondata ...}, that belongs to the text after it. Other
    // readers skip the group; the text it holds is printable ASCII, at most kMaxDataBytes.
    virtual void data(const QByteArray &data) { Q_UNUSED(data) }
};

inline constexpr int kMaxDataBytes = 4096;

// True when the bytes begin with "{\rtf", after an optional UTF-8 byte-order
// mark and white space.
bool looksLikeRtf(QByteArrayView data);

// Reads the whole input; never fails: what cannot be understood is skipped,
// and a file that ends early keeps what was read up to there.
void read(QByteArrayView data, Sink &sink);

// Group nesting deeper than this is read as if flattened into the deepest
// group kept.
inline constexpr int kMaxGroupDepth = 256;

} // namespace merilon::rtf
