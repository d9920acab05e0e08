#include "rtfdocument.h"

#include "codepages.h"
#include "metafile.h"
#include "qtcompat.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QScreen>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QUrl>
#include <QUuid>
#include <QtMath>
#include <algorithm>

namespace merilon::rtf {

namespace {

// A PNG or JPEG picture keeps its file's bytes, kind and size in pixels in its format, so
// that it is written back as it came, whatever size it was decoded at for the screen.
constexpr int kPictureBytesProperty = QTextFormat::UserProperty + 0x4d00;
constexpr int kPictureKindProperty = kPictureBytesProperty + 1;
constexpr int kPictureSizeProperty = kPictureBytesProperty + 2;

// The size to decode a bitmap of `original` pixels at that is shown at `shown` (invalid when
// the file gave none): what the screen shows of it, times the screen's pixel ratio so that a
// high-DPI screen draws it sharp, never more than the whole screen or the picture itself. A
// phone's photo shown small in a question so costs what it shows, not what it was taken at.
QSize decodedSize(const QSize &original, QSize shown)
{
    if (!shown.isValid() || shown.isEmpty())
        shown = original;
    QSize screen(1920, 1080);
    qreal ratio = 1;
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        if (const QScreen *primary = QGuiApplication::primaryScreen()) {
            screen = primary->availableSize().expandedTo(QSize(640, 480));
            ratio = std::max<qreal>(1, primary->devicePixelRatio());
        }
    }
    if (shown.width() > screen.width() || shown.height() > screen.height())
        shown = shown.scaled(screen, Qt::KeepAspectRatio);
    const QSize wanted(qCeil(shown.width() * ratio), qCeil(shown.height() * ratio));
    const QSize fitted = original.scaled(wanted, Qt::KeepAspectRatio);
    if (fitted.width() >= original.width() || fitted.height() >= original.height())
        return original;
    return fitted.expandedTo(QSize(1, 1));
}

// A picture's image, or a null one when it cannot be drawn here. Bitmaps declare their size
// first; one larger than a picture in a test can be is refused before it is decoded, and
// one shown smaller than it is is decoded at the size it shows. `size` gets the size the
// picture declares, in pixels, whatever size it is decoded at.
QImage decodePicture(const Picture &picture, QSize &size)
{
    switch (picture.kind) {
    case Picture::Kind::Png:
    case Picture::Kind::Jpeg:
    case Picture::Kind::Bmp: {
        QByteArray data = picture.data;
        QBuffer buffer(&data);
        QImageReader reader(&buffer, picture.kind == Picture::Kind::Png    ? "png"
                                     : picture.kind == Picture::Kind::Jpeg ? "jpeg"
                                                                           : "bmp");
        size = reader.size();
        if (!size.isValid() || size.width() > kMaxPictureSide || size.height() > kMaxPictureSide)
            return {};
        const QSize decoded = decodedSize(size, QSize(picture.widthPx, picture.heightPx));
        if (decoded != size)
            reader.setScaledSize(decoded);
        QImage image;
        if (!readImageWithin(reader, &image, 64)) // megabytes: a picture in a test, not a poster
            return {};
        return image;
    }
    case Picture::Kind::Wmf:
    case Picture::Kind::Emf:
        return drawMetafile(picture.data, picture.kind == Picture::Kind::Emf, picture.widthPx,
                            picture.heightPx);
    case Picture::Kind::Unknown:
        break;
    }
    return {};
}

// The place of a picture that cannot be drawn: a thin grey frame, drawn at most 128 pixels a
// side and shown at the picture's size.
QImage emptyFrame(int width, int height)
{
    const double scale = std::min(1.0, 128.0 / std::max(width, height));
    const int w = std::max(2, int(width * scale));
    const int h = std::max(2, int(height * scale));
    QImage frame(w, h, QImage::Format_ARGB32);
    frame.fill(Qt::transparent);
    QPainter painter(&frame);
    painter.setPen(QColor(160, 160, 160));
    painter.drawRect(0, 0, w - 1, h - 1);
    return frame;
}

// The code units of the character at `at`: two for a surrogate pair, else one.
qsizetype characterLength(const QString &text, qsizetype at)
{
    return text.at(at).isHighSurrogate() && at + 1 < text.size() && text.at(at + 1).isLowSurrogate()
               ? 2
               : 1;
}

QTextCharFormat toCharFormat(const CharStyle &style)
{
    QTextCharFormat format;
    if (!style.family.isEmpty())
        format.setFontFamilies(QStringList{style.family});
    format.setFontPointSize(style.halfPoints / 2.0);
    format.setFontWeight(style.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(style.italic);
    format.setFontUnderline(style.underline);
    format.setFontStrikeOut(style.strike);
    if (!style.autoColor)
        format.setForeground(QColor::fromRgb(style.color));
    return format;
}

Qt::Alignment toAlignment(Align align)
{
    switch (align) {
    case Align::Center:
        return Qt::AlignHCenter;
    case Align::Right:
        return Qt::AlignRight;
    case Align::Justify:
        return Qt::AlignJustify;
    case Align::Left:
        break;
    }
    return Qt::AlignLeft;
}

class DocumentBuilder final : public Sink
{
public:
    explicit DocumentBuilder(QTextCursor &cursor) : m_cursor(cursor) {}

    void text(const QString &text, const CharStyle &style) override
    {
        if (!m_data.isEmpty() && !text.isEmpty()) {
            // The data belongs to the first character after it alone, so that it stays in one
            // place however the text around it is formatted later. A character beyond the
            // 16-bit range is two code units: they stay together.
            flushPending();
            QTextCharFormat format = toCharFormat(style);
            setData(format, m_data);
            const qsizetype first = characterLength(text, 0);
            m_cursor.insertText(text.left(first), format);
            m_data.clear();
            if (text.size() > first)
                this->text(text.mid(first), style);
            return;
        }
        if (m_hasPending && style == m_pendingStyle) {
            m_pending += text;
            return;
        }
        flushPending();
        m_pending = text;
        m_pendingStyle = style;
        m_hasPending = true;
    }

    void paragraphBreak(const ParaStyle &style) override
    {
        flushPending();
        setAlignment(style);
        m_cursor.insertBlock();
    }

    void picture(const Picture &picture, const CharStyle &style) override
    {
        flushPending();
        QSize original;
        QImage image = decodePicture(picture, original);
        if (!original.isValid())
            original = image.size();
        // Shown at the size the file gives, else at its own, not at the size it was decoded at.
        int width = picture.widthPx > 0 ? picture.widthPx : original.width();
        int height = picture.heightPx > 0 ? picture.heightPx : original.height();
        QTextDocument *document = m_cursor.document();
        QString name;
        if (image.isNull()) {
            // Its place stays, as an empty frame of its size; frames of one size share one image.
            if (width <= 0 || height <= 0)
                return;
            name = QLatin1String(kUndrawnPicturePrefix) +
                   QStringLiteral("%1x%2").arg(width).arg(height);
            if (!document->resource(QTextDocument::ImageResource, QUrl(name)).isValid())
                document->addResource(QTextDocument::ImageResource, QUrl(name),
                                      emptyFrame(width, height));
        } else {
            name = QStringLiteral("merilon-image:") +
                   QUuid::createUuid().toString(QUuid::WithoutBraces);
            document->addResource(QTextDocument::ImageResource, QUrl(name), image);
        }
        QTextImageFormat format;
        format.merge(toCharFormat(style));
        format.setName(name);
        format.setWidth(width);
        format.setHeight(height);
        if (!image.isNull() &&
            (picture.kind == Picture::Kind::Png || picture.kind == Picture::Kind::Jpeg)) {
            format.setProperty(kPictureBytesProperty, picture.data);
            format.setProperty(kPictureKindProperty, picture.kind == Picture::Kind::Png
                                                         ? QByteArrayLiteral("pngblip")
                                                         : QByteArrayLiteral("jpegblip"));
            format.setProperty(kPictureSizeProperty, original);
        }
        m_cursor.insertImage(format);
    }

    void finish(const ParaStyle &style) override
    {
        flushPending();
        setAlignment(style);
    }

    void data(const QByteArray &data) override
    {
        flushPending();
        m_data = data;
    }

private:
    void flushPending()
    {
        if (!m_hasPending)
            return;
        m_cursor.insertText(m_pending, toCharFormat(m_pendingStyle));
        m_pending.clear();
        m_hasPending = false;
    }

    void setAlignment(const ParaStyle &style)
    {
        const Qt::Alignment wanted = toAlignment(style.align);
        QTextBlockFormat format = m_cursor.blockFormat();
        if (format.alignment() != wanted) {
            format.setAlignment(wanted);
            m_cursor.setBlockFormat(format);
        }
    }

    QTextCursor &m_cursor;
    QString m_pending;
    CharStyle m_pendingStyle;
    bool m_hasPending = false;
    QByteArray m_data;
};

// The RTF writer's tables and body, filled in one pass over the document.
class Writer
{
public:
    explicit Writer(const QTextDocument &document) : m_document(document) {}

    QByteArray write()
    {
        QByteArray body;
        body.reserve(m_document.characterCount() * 2 + 256);
        bool first = true;
        for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next()) {
            if (!first)
                body += "\\par\n";
            first = false;
            body += "\\pard";
            body += alignmentWord(block.blockFormat().alignment());
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment fragment = it.fragment();
                if (fragment.isValid())
                    writeFragment(fragment, body);
            }
        }
        QByteArray out = "{\\rtf1\\ansi\\ansicpg1251\\deff0\\uc1{\\fonttbl";
        for (int i = 0; i < m_fonts.size(); ++i) {
            out +=
                "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset" + (m_cyrillic ? "204 " : "0 ");
            escapeText(m_fonts[i], out);
            out += ";}";
        }
        out += "}{\\colortbl ;";
        for (const QRgb rgb : std::as_const(m_colors)) {
            out += "\\red" + QByteArray::number(qRed(rgb)) + "\\green" +
                   QByteArray::number(qGreen(rgb)) + "\\blue" + QByteArray::number(qBlue(rgb)) +
                   ';';
        }
        out += "}\n";
        out += body;
        out += "}\n";
        return out;
    }

private:
    static const char *alignmentWord(Qt::Alignment align)
    {
        if (align & Qt::AlignHCenter)
            return "\\qc ";
        if (align & Qt::AlignRight)
            return "\\qr ";
        if (align & Qt::AlignJustify)
            return "\\qj ";
        return "\\ql ";
    }

    int fontIndex(const QString &family)
    {
        const auto it = m_fontIndex.constFind(family);
        if (it != m_fontIndex.constEnd())
            return *it;
        const int index = static_cast<int>(m_fonts.size());
        m_fonts.append(family);
        m_fontIndex.insert(family, index);
        return index;
    }

    int colorIndex(QRgb rgb)
    {
        const auto it = m_colorIndex.constFind(rgb);
        if (it != m_colorIndex.constEnd())
            return *it;
        m_colors.append(rgb);
        const int index = static_cast<int>(m_colors.size()); // 0 is the automatic colour
        m_colorIndex.insert(rgb, index);
        return index;
    }

    void writeFormat(const QTextCharFormat &format, QByteArray &out)
    {
        QString family = format.fontFamilies().toStringList().value(0);
        if (family.isEmpty())
            family = m_document.defaultFont().family();
        double points = format.fontPointSize();
        if (points <= 0)
            points = m_document.defaultFont().pointSizeF();
        if (points <= 0)
            points = 12;
        out += "\\plain\\f" + QByteArray::number(fontIndex(family)) + "\\fs" +
               QByteArray::number(qRound(points * 2));
        if (format.fontWeight() >= QFont::DemiBold)
            out += "\\b";
        if (format.fontItalic())
            out += "\\i";
        if (format.fontUnderline())
            out += "\\ul";
        if (format.fontStrikeOut())
            out += "\\strike";
        if (format.hasProperty(QTextFormat::ForegroundBrush) &&
            format.foreground().style() != Qt::NoBrush)
            out += "\\cf" + QByteArray::number(colorIndex(format.foreground().color().rgb()));
        out += ' ';
    }

    void writeFragment(const QTextFragment &fragment, QByteArray &out)
    {
        const QTextCharFormat format = fragment.charFormat();
        writeFormat(format, out);
        const QByteArray data = dataOf(format);
        const QByteArray group = data.isEmpty() ? QByteArray() : "{\\*\\merilondata " + data + "}";
        if (format.isImageFormat()) {
            out += group;
            // Pictures side by side that share their image make one fragment.
            for (int i = 0; i < fragment.length(); ++i)
                writePicture(format.toImageFormat(), out);
            return;
        }
        if (group.isEmpty()) {
            escapeText(fragment.text(), out);
            return;
        }
        // The data belongs to one character, and is read back onto the one after it. Characters
        // side by side with the same data and format make one fragment: each gets it again.
        const QString text = fragment.text();
        QByteArray piece;
        for (qsizetype i = 0; i < text.size();) {
            const qsizetype length = characterLength(text, i);
            piece.clear();
            escapeText(text.mid(i, length), piece);
            if (!piece.isEmpty())
                out += group + piece;
            i += length;
        }
    }

    void writePicture(const QTextImageFormat &format, QByteArray &out)
    {
        if (format.hasProperty(kPictureBytesProperty)) {
            // As it came: its own bytes, shown at the size it is shown.
            const QSize original = format.property(kPictureSizeProperty).toSize();
            writePictureData(format.property(kPictureKindProperty).toByteArray(), original,
                             QSize(qRound(format.width()), qRound(format.height())),
                             format.property(kPictureBytesProperty).toByteArray(), out);
            return;
        }
        const QVariant resource =
            m_document.resource(QTextDocument::ImageResource, QUrl(format.name()));
        QImage image = resource.value<QImage>();
        if (image.isNull())
            image = QImage(resource.value<QPixmap>().toImage());
        if (image.isNull())
            return;
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!image.save(&buffer, "PNG"))
            return;
        writePictureData("pngblip", image.size(),
                         QSize(qRound(format.width()), qRound(format.height())), png, out);
    }

    // A picture of `pixels` shown at `shown` (its own size where that is not valid).
    static void writePictureData(const QByteArray &kind, const QSize &pixels, QSize shown,
                                 const QByteArray &data, QByteArray &out)
    {
        if (shown.width() <= 0 || shown.height() <= 0)
            shown = pixels;
        out += "{\\pict\\" + kind + "\\picw" + QByteArray::number(pixels.width()) + "\\pich" +
               QByteArray::number(pixels.height()) + "\\picwgoal" +
               QByteArray::number(shown.width() * 15) + "\\pichgoal" +
               QByteArray::number(shown.height() * 15) + "\n";
        const QByteArray hex = data.toHex();
        for (qsizetype i = 0; i < hex.size(); i += 128) {
            out += hex.mid(i, 128);
            out += '\n';
        }
        out += "}";
    }

    void escapeText(const QString &text, QByteArray &out)
    {
        for (const QChar qc : text) {
            const char16_t c = qc.unicode();
            if (c == '\\' || c == '{' || c == '}') {
                out += '\\';
                out += static_cast<char>(c);
            } else if (c == '\t') {
                out += "\\tab ";
            } else if (c == 0x2028) {
                out += "\\line ";
            } else if (c < 0x20 || c == 0xFFFC) {
                continue;
            } else if (c < 0x80) {
                out += static_cast<char>(c);
            } else if (c == 0x00A0) {
                out += "\\~";
            } else {
                if (c >= 0x0400 && c <= 0x04FF)
                    m_cyrillic = true;
                const int signedValue = c > 0x7FFF ? int(c) - 0x10000 : int(c);
                out += "\\u" + QByteArray::number(signedValue);
                const unsigned char fallback = encode1251(c);
                if (fallback >= 0x80) {
                    static const char digits[] = "0123456789abcdef";
                    out += "\\'";
                    out += digits[fallback >> 4];
                    out += digits[fallback & 0xF];
                } else {
                    out += '?';
                }
            }
        }
    }

    const QTextDocument &m_document;
    QStringList m_fonts;
    QHash<QString, int> m_fontIndex;
    QList<QRgb> m_colors;
    QHash<QRgb, int> m_colorIndex;
    bool m_cyrillic = false;
};

} // namespace

void insertRtf(QByteArrayView data, QTextCursor &cursor)
{
    DocumentBuilder builder(cursor);
    cursor.beginEditBlock();
    read(data, builder);
    cursor.endEditBlock();
}

QByteArray dataOf(const QTextCharFormat &format)
{
    if (!format.hasProperty(kDataProperty))
        return {};
    QByteArray data = format.property(kDataProperty).toString().toLatin1().left(kMaxDataBytes);
    data.truncate(std::remove_if(data.begin(), data.end(),
                                 [](char c) {
                                     return c < 0x20 || c >= 0x7F || c == '\\' || c == '{' ||
                                            c == '}';
                                 }) -
                  data.begin());
    return data;
}

void setData(QTextCharFormat &format, const QByteArray &data)
{
    if (data.isEmpty())
        format.clearProperty(kDataProperty);
    else
        format.setProperty(kDataProperty, QString::fromLatin1(data));
}

QByteArray writeRtf(const QTextDocument &document)
{
    return Writer(document).write();
}

void copyImageResources(const QTextDocument &source, QTextDocument &target, int from, int to)
{
    for (QTextBlock block = target.findBlock(from); block.isValid() && block.position() < to;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid() || !fragment.charFormat().isImageFormat())
                continue;
            const QUrl name(fragment.charFormat().toImageFormat().name());
            const QVariant image = source.resource(QTextDocument::ImageResource, name);
            if (image.isValid())
                target.addResource(QTextDocument::ImageResource, name, image);
        }
    }
}

} // namespace merilon::rtf
