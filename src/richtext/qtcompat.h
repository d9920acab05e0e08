#pragma once

// The program is written against Qt 6 and builds against Qt 5.15 as well. Whatever of Qt 6 our
// code uses that Qt 5.15 lacks is here, and only here: byte views and the text converters. With
// Qt 6 this header includes Qt's own classes and nothing else; with Qt 5 it gives classes of
// the same names that do as much of Qt 6's work as we ask of them, with the Qt 5 text codecs
// underneath. What they do not do, they do not declare, so a new use fails to build with Qt 5
// rather than doing something else.

#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QtGlobal>

#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)

#include <QByteArrayView>
#include <QStringDecoder>
#include <QStringEncoder>

#else

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <QTextCodec>
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

// Bytes held elsewhere, as Qt 6's QByteArrayView.
class QByteArrayView
{
public:
    using value_type = char;
    using size_type = qsizetype;
    using const_pointer = const char *;
    using const_iterator = const char *;
    using iterator = const_iterator;

    constexpr QByteArrayView() noexcept = default;
    constexpr QByteArrayView(std::nullptr_t) noexcept {}
    constexpr QByteArrayView(const char *data, qsizetype size) noexcept : m_size(size), m_data(data)
    {}
    QByteArrayView(const unsigned char *data, qsizetype size) noexcept
        : QByteArrayView(reinterpret_cast<const char *>(data), size)
    {}
    constexpr QByteArrayView(const char *first, const char *last) noexcept
        : QByteArrayView(first, last - first)
    {}
    // A pointer reaches to its NUL; a character array to its first NUL or its end, as in Qt 6.
    template <typename Pointer, std::enable_if_t<std::is_same_v<Pointer, const char *> ||
                                                     std::is_same_v<Pointer, char *>,
                                                 bool> = true>
    constexpr QByteArrayView(const Pointer &data) noexcept
        : QByteArrayView(data, data ? qsizetype(std::char_traits<char>::length(data)) : 0)
    {}
    template <std::size_t Size>
    constexpr QByteArrayView(const char (&data)[Size]) noexcept
        : QByteArrayView(data, arrayLength(data, Size))
    {}
    QByteArrayView(const QByteArray &bytes) noexcept
        : QByteArrayView(bytes.isNull() ? nullptr : bytes.constData(), qsizetype(bytes.size()))
    {}

    QByteArray toByteArray() const { return QByteArray(m_data, int(m_size)); }

    constexpr qsizetype size() const noexcept { return m_size; }
    constexpr qsizetype length() const noexcept { return m_size; }
    constexpr const char *data() const noexcept { return m_data; }
    constexpr const char *constData() const noexcept { return m_data; }
    constexpr bool isNull() const noexcept { return !m_data; }
    constexpr bool isEmpty() const noexcept { return m_size == 0; }
    constexpr bool empty() const noexcept { return m_size == 0; }

    constexpr char operator[](qsizetype i) const { return m_data[i]; }
    constexpr char at(qsizetype i) const { return m_data[i]; }
    constexpr char front() const { return m_data[0]; }
    constexpr char back() const { return m_data[m_size - 1]; }
    constexpr const_iterator begin() const noexcept { return m_data; }
    constexpr const_iterator end() const noexcept { return m_data + m_size; }
    constexpr const_iterator cbegin() const noexcept { return begin(); }
    constexpr const_iterator cend() const noexcept { return end(); }

    constexpr QByteArrayView first(qsizetype n) const { return {m_data, n}; }
    constexpr QByteArrayView last(qsizetype n) const { return {m_data + m_size - n, n}; }
    constexpr QByteArrayView sliced(qsizetype pos) const { return {m_data + pos, m_size - pos}; }
    constexpr QByteArrayView sliced(qsizetype pos, qsizetype n) const { return {m_data + pos, n}; }
    constexpr QByteArrayView chopped(qsizetype n) const { return first(m_size - n); }
    constexpr void truncate(qsizetype n) { m_size = n; }
    constexpr void chop(qsizetype n) { m_size -= n; }

    // Without the spaces, tabs and line ends at either end (those of QByteArray::trimmed).
    QByteArrayView trimmed() const noexcept
    {
        const auto space = [](char c) {
            return c == ' ' || (c >= '\t' && c <= '\r');
        };
        const char *b = begin();
        const char *e = end();
        while (b < e && space(*b))
            ++b;
        while (e > b && space(e[-1]))
            --e;
        return {b, e};
    }

    bool startsWith(QByteArrayView other) const noexcept
    {
        return other.m_size <= m_size && std::memcmp(m_data, other.m_data, other.size()) == 0;
    }
    bool startsWith(char c) const noexcept { return !empty() && front() == c; }
    bool endsWith(QByteArrayView other) const noexcept
    {
        return other.m_size <= m_size &&
               std::memcmp(end() - other.m_size, other.m_data, other.size()) == 0;
    }
    bool endsWith(char c) const noexcept { return !empty() && back() == c; }

    // A negative start counts from the end, as in Qt 6, which leaves a needle longer than a
    // byte looked for from before the start undefined: it is looked for from the start here.
    qsizetype indexOf(QByteArrayView needle, qsizetype from = 0) const noexcept
    {
        if (from < 0)
            from = std::max<qsizetype>(from + m_size, 0);
        if (from > m_size)
            return -1;
        const std::size_t at = view().find(needle.view(), std::size_t(from));
        return at == std::string_view::npos ? -1 : qsizetype(at);
    }
    qsizetype indexOf(char c, qsizetype from = 0) const noexcept
    {
        return indexOf(QByteArrayView(&c, 1), from);
    }
    bool contains(QByteArrayView needle) const noexcept { return indexOf(needle) >= 0; }
    bool contains(char c) const noexcept { return indexOf(c) >= 0; }

    friend bool operator==(QByteArrayView a, QByteArrayView b) noexcept
    {
        return a.view() == b.view();
    }
    friend bool operator!=(QByteArrayView a, QByteArrayView b) noexcept { return !(a == b); }

private:
    static constexpr qsizetype arrayLength(const char *data, std::size_t size) noexcept
    {
        const char *nul = std::char_traits<char>::find(data, size, '\0');
        return nul ? qsizetype(nul - data) : qsizetype(size);
    }
    std::string_view view() const noexcept { return {m_data, std::size_t(m_size)}; }

    qsizetype m_size = 0;
    const char *m_data = nullptr;
};
Q_DECLARE_TYPEINFO(QByteArrayView, Q_PRIMITIVE_TYPE);

// Qt 6's text converters over Qt 5's codecs: the encodings and flags that we use.
class QStringConverter
{
public:
    enum Encoding { Utf8, Utf16, Utf16LE, Utf16BE, Utf32, Utf32LE, Utf32BE, Latin1, System };
    enum class Flag {
        Default = 0,
        Stateless = 0x1,
        ConvertInvalidToNull = 0x2,
        WriteBom = 0x4,
        ConvertInitialBom = 0x8,
    };
    Q_DECLARE_FLAGS(Flags, Flag)

    bool isValid() const noexcept { return m_codec != nullptr; }
    // Whether anything converted so far could not be: a wrong sequence, or bytes left over at
    // the end of a stateless conversion.
    bool hasError() const noexcept
    {
        return m_invalid > 0 || (m_state && m_state->invalidChars > 0);
    }

    // The encoding that a byte order mark at the start of the data names.
    static std::optional<Encoding> encodingForData(QByteArrayView data) noexcept
    {
        const auto startsWith = [data](const char *mark, qsizetype size) {
            return data.size() >= size && std::memcmp(data.data(), mark, std::size_t(size)) == 0;
        };
        if (startsWith("\x00\x00\xFE\xFF", 4))
            return Utf32BE;
        if (startsWith("\xFF\xFE\x00\x00", 4))
            return Utf32LE;
        if (startsWith("\xEF\xBB\xBF", 3))
            return Utf8;
        if (startsWith("\xFE\xFF", 2))
            return Utf16BE;
        if (startsWith("\xFF\xFE", 2))
            return Utf16LE;
        return std::nullopt;
    }

protected:
    QStringConverter(Encoding encoding, Flags flags, QTextCodec::ConversionFlags codecFlags)
        : QStringConverter(codecFor(encoding), flags, codecFlags)
    {}
    QStringConverter(const char *name, Flags flags, QTextCodec::ConversionFlags codecFlags)
        : QStringConverter(QTextCodec::codecForName(name), flags, codecFlags)
    {}

    // A conversion state for one call when the converter keeps none between calls; else the
    // converter's own, made on its first call.
    QTextCodec::ConverterState *stateFor(std::unique_ptr<QTextCodec::ConverterState> &once)
    {
        if (m_flags.testFlag(Flag::Stateless)) {
            once = std::make_unique<QTextCodec::ConverterState>(m_codecFlags);
            return once.get();
        }
        if (!m_state)
            m_state = std::make_unique<QTextCodec::ConverterState>(m_codecFlags);
        return m_state.get();
    }

    QTextCodec *m_codec = nullptr;
    Flags m_flags;
    QTextCodec::ConversionFlags m_codecFlags;
    std::unique_ptr<QTextCodec::ConverterState> m_state;
    int m_invalid = 0;

private:
    QStringConverter(QTextCodec *codec, Flags flags, QTextCodec::ConversionFlags codecFlags)
        : m_codec(codec), m_flags(flags), m_codecFlags(codecFlags)
    {
        if (flags.testFlag(Flag::ConvertInvalidToNull))
            m_codecFlags |= QTextCodec::ConvertInvalidToNull;
    }
    static QTextCodec *codecFor(Encoding encoding)
    {
        static constexpr const char *kNames[] = {"UTF-8",  "UTF-16",   "UTF-16LE", "UTF-16BE",
                                                 "UTF-32", "UTF-32LE", "UTF-32BE", "ISO-8859-1"};
        if (encoding == System)
            return QTextCodec::codecForLocale();
        return QTextCodec::codecForName(kNames[encoding]);
    }
};
Q_DECLARE_OPERATORS_FOR_FLAGS(QStringConverter::Flags)

class QStringDecoder : public QStringConverter
{
public:
    // Qt 6 keeps a byte order mark at the start only when told to; Qt 5 keeps it when told
    // to ignore the "header".
    explicit QStringDecoder(Encoding encoding, Flags flags = Flag::Default)
        : QStringConverter(encoding, flags, codecFlags(flags))
    {}
    explicit QStringDecoder(const char *name, Flags flags = Flag::Default)
        : QStringConverter(name, flags, codecFlags(flags))
    {}

    QString decode(QByteArrayView bytes)
    {
        if (!m_codec)
            return {};
        std::unique_ptr<QTextCodec::ConverterState> once;
        QTextCodec::ConverterState *state = stateFor(once);
        QString text = m_codec->toUnicode(bytes.data(), int(bytes.size()), state);
        if (once) {
            // Bytes that begin a character and end the data stand for one wrong character
            // each, as Qt 6 has them, instead of waiting for the next call.
            text += QString(once->remainingChars, QChar::ReplacementCharacter);
            m_invalid += once->invalidChars + once->remainingChars;
        }
        return text;
    }
    QString operator()(QByteArrayView bytes) { return decode(bytes); }

private:
    static QTextCodec::ConversionFlags codecFlags(Flags flags)
    {
        return flags.testFlag(Flag::ConvertInitialBom) ? QTextCodec::IgnoreHeader
                                                       : QTextCodec::DefaultConversion;
    }
};

class QStringEncoder : public QStringConverter
{
public:
    // Qt 5's codecs put a byte order mark first unless told to ignore the "header"; Qt 6's
    // only when told to write one.
    explicit QStringEncoder(Encoding encoding, Flags flags = Flag::Default)
        : QStringConverter(encoding, flags, codecFlags(flags))
    {}
    explicit QStringEncoder(const char *name, Flags flags = Flag::Default)
        : QStringConverter(name, flags, codecFlags(flags))
    {}

    QByteArray encode(QStringView text)
    {
        if (!m_codec)
            return {};
        std::unique_ptr<QTextCodec::ConverterState> once;
        QTextCodec::ConverterState *state = stateFor(once);
        const QByteArray bytes = m_codec->fromUnicode(text.data(), int(text.size()), state);
        if (once)
            m_invalid += once->invalidChars;
        return bytes;
    }
    QByteArray operator()(QStringView text) { return encode(text); }

private:
    static QTextCodec::ConversionFlags codecFlags(Flags flags)
    {
        return flags.testFlag(Flag::WriteBom) ? QTextCodec::DefaultConversion
                                              : QTextCodec::IgnoreHeader;
    }
};

#endif

namespace merilon {

// Windows scale on a screen of more than 96 dots per inch by the screen's own factor, as Qt 6
// always does; Qt 5 keeps them at their pixel sizes, where fonts grow and cut texts. Called
// before the application object exists.
inline void scaleLikeQt6()
{
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
        Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
#endif
}

// Whether the system has the font family: a static question in Qt 6, one to an instance of
// the database in Qt 5.
inline bool hasFontFamily(const QString &family)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return QFontDatabase::hasFamily(family);
#else
    return QFontDatabase().hasFamily(family);
#endif
}

// Reads the reader's picture unless its image would take more than `megabytes` (Qt 6 reckons
// it, from the size and the format that the picture is decoded at). Qt 6's reader keeps to the
// bound itself; Qt 5's has none, and the image it would make is measured before it reads.
inline bool readImageWithin(QImageReader &reader, QImage *image, int megabytes)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    reader.setAllocationLimit(megabytes);
#else
    const bool scaled =
        reader.scaledSize().isValid() && reader.supportsOption(QImageIOHandler::ScaledSize);
    const QSize size = scaled ? reader.scaledSize() : reader.size();
    const QImage::Format format = reader.imageFormat();
    const qint64 bits =
        format == QImage::Format_Invalid ? 32 : QImage::toPixelFormat(format).bitsPerPixel();
    const qint64 bytesPerLine = (qint64(size.width()) * bits + 31) / 32 * 4;
    if (size.isEmpty() || bytesPerLine * size.height() > qint64(megabytes) << 20)
        return false;
#endif
    return reader.read(image);
}

} // namespace merilon
