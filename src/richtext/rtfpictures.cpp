// A picture's bytes made ready for drawing: its kind by its own signature, a bitmap as a BMP
// file, and its size in pixels.
#include "rtfreaderimpl.h"

namespace merilon::rtf {

namespace {

// What the bytes of a picture are, whatever the file said they were.
Picture::Kind sniffedKind(const QByteArray &data, Picture::Kind declared)
{
    if (data.startsWith("\x89PNG"))
        return Picture::Kind::Png;
    if (data.startsWith("\xFF\xD8"))
        return Picture::Kind::Jpeg;
    if (declared == Picture::Kind::Png || declared == Picture::Kind::Jpeg)
        return Picture::Kind::Unknown; // neither of the two it claims to be
    return declared;
}

// A device-independent bitmap as a BMP file: the file header in front of it.
QByteArray bmpFile(const QByteArray &dib)
{
    if (dib.size() < 40)
        return {};
    const auto u32 = [&dib](int at) {
        return quint32(quint8(dib[at])) | quint32(quint8(dib[at + 1])) << 8 |
               quint32(quint8(dib[at + 2])) << 16 | quint32(quint8(dib[at + 3])) << 24;
    };
    const auto u16 = [&dib](int at) {
        return quint32(quint8(dib[at])) | quint32(quint8(dib[at + 1])) << 8;
    };
    const quint32 headerSize = u32(0);
    if (headerSize < 40 || headerSize > quint32(dib.size()))
        return {};
    const quint32 bitCount = u16(14);
    const quint32 compression = u32(16);
    quint32 colors = u32(32);
    if (colors == 0 && bitCount <= 8)
        colors = 1u << bitCount;
    if (colors > 256)
        return {};
    quint32 offset = 14 + headerSize + colors * 4;
    if (compression == 3 && headerSize == 40)
        offset += 12; // the three masks of BI_BITFIELDS
    QByteArray file("BM");
    const quint32 fileSize = quint32(dib.size()) + 14;
    for (quint32 v : {fileSize, 0u, offset})
        for (int i = 0; i < 4; ++i)
            file.append(char((v >> (8 * i)) & 0xFF));
    return file + dib;
}

// One side in pixels. Goal sizes are in twips; at 96 pixels an inch a pixel is 15 twips.
// Without them, a metafile's \picw and \pich are hundredths of a millimetre, a bitmap's are
// pixels.
int sidePixels(long long goal, long long natural, long long scale, bool metafile)
{
    const auto clampPx = [](long long px) {
        return static_cast<int>(std::clamp(px, 0LL, 10000LL));
    };
    scale = std::clamp(scale, 1LL, 1000LL);
    if (goal > 0)
        return clampPx(goal * scale / 100 / 15);
    const long long n = std::clamp(natural, 0LL, 1000000LL);
    return clampPx((metafile ? n * 96 / 2540 : n) * scale / 100);
}

} // namespace

Picture finishedPicture(PictureState &state)
{
    Picture picture;
    picture.kind = sniffedKind(state.data, state.kind);
    picture.data = std::move(state.data);
    if (picture.kind == Picture::Kind::Bmp)
        picture.data = bmpFile(picture.data);
    if (picture.data.isEmpty())
        picture.kind = Picture::Kind::Unknown;
    const bool metafile = picture.kind == Picture::Kind::Wmf || picture.kind == Picture::Kind::Emf;
    picture.widthPx = sidePixels(state.goalw, state.picw, state.scalex, metafile);
    picture.heightPx = sidePixels(state.goalh, state.pich, state.scaley, metafile);
    return picture;
}

} // namespace merilon::rtf
