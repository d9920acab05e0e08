#include "rtfreader.h"

#include "codepages.h"

#include <QHash>
#include <algorithm>
#include <limits>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace merilon::rtf {

namespace {

enum class Dest {
    Normal,
    Skip,
    FontTable,
    ColorTable,
    Picture,
    Upr,       // {\upr ansi-text {\*\ud unicode-text}}: only the \ud branch is read
    Shape,     // a shape's or drawing object's instructions: no text but its text box
    ShapeName, // {\sn name} of a shape property
    Object,    // an OLE object: only its {\result} is shown
};

enum class Kw {
    Unknown,
    // destinations
    FontTable,
    ColorTable,
    SkipDest,
    Pict,
    Upr,
    Ud,
    Readable,   // a destination whose text is shown even when marked ignorable
    Shape,      // \shp, \shpinst, \do
    ShapeText,  // \shptxt, \dptxbxtext: a text box
    ShapeProp,  // \sp
    ShapeName,  // \sn
    ShapeValue, // \sv
    Object,
    Result,
    // document and character state
    DocCharset, // \ansi, \pc, \pca, \mac
    Cpg,
    Hidden,
    Ansicpg,
    Deff,
    Plain,
    Pard,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Strike,
    FontSize,
    Font,
    ColorFg,
    Charset,
    Red,
    Green,
    Blue,
    AlignLeft,
    AlignCenter,
    AlignRight,
    AlignJustify,
    // text
    Par,
    Line,
    Tab,
    Cell,
    Row,
    Unicode,
    UnicodeSkip,
    Bin,
    Symbol, // a control word that stands for one character
    // pictures
    PngBlip,
    JpegBlip,
    WmfBlip,
    EmfBlip,
    DibBlip,
    OtherBlip,
    PicW,
    PicH,
    PicWGoal,
    PicHGoal,
    PicScaleX,
    PicScaleY,
};

struct KwInfo
{
    Kw kw;
    char16_t symbol = 0;
};

const std::unordered_map<std::string_view, KwInfo> &keywords()
{
    static const std::unordered_map<std::string_view, KwInfo> table = {
        {"fonttbl", {Kw::FontTable}},
        {"colortbl", {Kw::ColorTable}},
        {"stylesheet", {Kw::SkipDest}},
        {"info", {Kw::SkipDest}},
        {"header", {Kw::SkipDest}},
        {"headerl", {Kw::SkipDest}},
        {"headerr", {Kw::SkipDest}},
        {"headerf", {Kw::SkipDest}},
        {"footer", {Kw::SkipDest}},
        {"footerl", {Kw::SkipDest}},
        {"footerr", {Kw::SkipDest}},
        {"footerf", {Kw::SkipDest}},
        {"footnote", {Kw::SkipDest}},
        {"annotation", {Kw::SkipDest}},
        {"fldinst", {Kw::SkipDest}},
        {"fldrslt", {Kw::Readable}},
        {"nesttableprops", {Kw::Readable}},
        {"shp", {Kw::Shape}},
        {"shpinst", {Kw::Shape}},
        {"do", {Kw::Shape}},
        {"shptxt", {Kw::ShapeText}},
        {"dptxbxtext", {Kw::ShapeText}},
        {"sp", {Kw::ShapeProp}},
        {"sn", {Kw::ShapeName}},
        {"sv", {Kw::ShapeValue}},
        {"shprslt", {Kw::SkipDest}}, // what a reader without shapes shows instead
        {"result", {Kw::Result}},
        {"xe", {Kw::SkipDest}},
        {"tc", {Kw::SkipDest}},
        {"tcn", {Kw::SkipDest}},
        {"v", {Kw::Hidden}},
        {"cpg", {Kw::Cpg}},
        {"ansi", {Kw::DocCharset, 0}},
        {"pc", {Kw::DocCharset, 437}},
        {"pca", {Kw::DocCharset, 850}},
        {"mac", {Kw::DocCharset, 10000}},
        {"listtable", {Kw::SkipDest}},
        {"listoverridetable", {Kw::SkipDest}},
        {"revtbl", {Kw::SkipDest}},
        {"rsidtbl", {Kw::SkipDest}},
        {"pgdsctbl", {Kw::SkipDest}},
        {"xmlnstbl", {Kw::SkipDest}},
        {"themedata", {Kw::SkipDest}},
        {"colorschememapping", {Kw::SkipDest}},
        {"datastore", {Kw::SkipDest}},
        {"latentstyles", {Kw::SkipDest}},
        {"generator", {Kw::SkipDest}},
        {"object", {Kw::Object}},
        {"objdata", {Kw::SkipDest}},
        {"nonshppict", {Kw::SkipDest}},
        {"pntxta", {Kw::SkipDest}},
        {"pntxtb", {Kw::SkipDest}},
        {"private", {Kw::SkipDest}},
        {"template", {Kw::SkipDest}},
        {"pict", {Kw::Pict}},
        {"shppict", {Kw::Readable}}, // its inner \pict is read as a picture
        {"upr", {Kw::Upr}},
        {"ud", {Kw::Ud}},
        {"ansicpg", {Kw::Ansicpg}},
        {"deff", {Kw::Deff}},
        {"plain", {Kw::Plain}},
        {"pard", {Kw::Pard}},
        {"b", {Kw::Bold}},
        {"i", {Kw::Italic}},
        {"ul", {Kw::Underline}},
        {"uld", {Kw::Underline}},
        {"uldb", {Kw::Underline}},
        {"ulw", {Kw::Underline}},
        {"ulth", {Kw::Underline}},
        {"uldash", {Kw::Underline}},
        {"ulwave", {Kw::Underline}},
        {"ulnone", {Kw::UnderlineNone}},
        {"strike", {Kw::Strike}},
        {"fs", {Kw::FontSize}},
        {"f", {Kw::Font}},
        {"cf", {Kw::ColorFg}},
        {"fcharset", {Kw::Charset}},
        {"red", {Kw::Red}},
        {"green", {Kw::Green}},
        {"blue", {Kw::Blue}},
        {"ql", {Kw::AlignLeft}},
        {"qc", {Kw::AlignCenter}},
        {"qr", {Kw::AlignRight}},
        {"qj", {Kw::AlignJustify}},
        {"par", {Kw::Par}},
        {"sect", {Kw::Par}},
        {"page", {Kw::Par}},
        {"line", {Kw::Line}},
        {"tab", {Kw::Tab}},
        {"cell", {Kw::Cell}},
        {"nestcell", {Kw::Cell}},
        {"row", {Kw::Row}},
        {"nestrow", {Kw::Row}},
        {"u", {Kw::Unicode}},
        {"uc", {Kw::UnicodeSkip}},
        {"bin", {Kw::Bin}},
        {"emdash", {Kw::Symbol, 0x2014}},
        {"endash", {Kw::Symbol, 0x2013}},
        {"emspace", {Kw::Symbol, 0x2003}},
        {"enspace", {Kw::Symbol, 0x2002}},
        {"qmspace", {Kw::Symbol, 0x2005}},
        {"bullet", {Kw::Symbol, 0x2022}},
        {"lquote", {Kw::Symbol, 0x2018}},
        {"rquote", {Kw::Symbol, 0x2019}},
        {"ldblquote", {Kw::Symbol, 0x201C}},
        {"rdblquote", {Kw::Symbol, 0x201D}},
        {"pngblip", {Kw::PngBlip}},
        {"jpegblip", {Kw::JpegBlip}},
        {"wmetafile", {Kw::WmfBlip}},
        {"emfblip", {Kw::EmfBlip}},
        {"macpict", {Kw::OtherBlip}},
        {"dibitmap", {Kw::DibBlip}},
        {"wbitmap", {Kw::OtherBlip}},
        {"pmmetafile", {Kw::OtherBlip}},
        {"picw", {Kw::PicW}},
        {"pich", {Kw::PicH}},
        {"picwgoal", {Kw::PicWGoal}},
        {"pichgoal", {Kw::PicHGoal}},
        {"picscalex", {Kw::PicScaleX}},
        {"picscaley", {Kw::PicScaleY}},
    };
    return table;
}

struct GroupState
{
    Dest dest = Dest::Normal;
    int font = -1;
    int halfPoints = 24;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int color = 0;
    Align align = Align::Left;
    int unicodeSkip = 1;
    bool hidden = false; // \v: text Word does not show
};

struct FontEntry
{
    QString name;
    int charset = -1;
    int codePage = 0; // \cpgN of the font itself
};

// The code page an old font name's charset suffix stands for ("Arial Cyr"), or 0.
int codePageOfFontName(const QString &name)
{
    static const struct
    {
        const char *suffix;
        int codePage;
    } suffixes[] = {
        {" Cyr", 1251}, {" CE", 1250}, {" Greek", 1253}, {" Tur", 1254}, {" Baltic", 1257}};
    const QString trimmed = name.trimmed();
    for (const auto &entry : suffixes)
        if (trimmed.endsWith(QLatin1String(entry.suffix)))
            return entry.codePage;
    return 0;
}

struct PictureState
{
    bool active = false;
    Picture::Kind kind = Picture::Kind::Unknown;
    QByteArray data;
    int pendingNibble = -1;
    long long picw = 0, pich = 0, goalw = 0, goalh = 0, scalex = 100, scaley = 100;
};

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Where the document begins: after a UTF-8 byte-order mark and white space.
qsizetype envelopeStart(QByteArrayView data)
{
    qsizetype pos = data.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (pos < data.size() &&
           (data[pos] == ' ' || data[pos] == '\t' || data[pos] == '\r' || data[pos] == '\n'))
        ++pos;
    return pos;
}

class Reader
{
public:
    Reader(QByteArrayView data, Sink &sink) : m_data(data), m_sink(sink) {}

    void run();

private:
    void pushGroup();
    void popGroup();
    void controlWord(std::string_view word, bool hasParam, long long param);
    void controlSymbol(char c);
    void addChar(char16_t ch);
    void addByte(unsigned char byte);
    void flush();
    void paragraph();
    void finishPicture();
    // Skips the rest of the current group, also one beyond the depth limit.
    void skipGroup();
    // The destination text goes to, with groups skipped beyond the depth limit.
    Dest dest() const { return m_flatSkipFrom > 0 ? Dest::Skip : top().dest; }
    int currentCodePage() const;
    CharStyle currentStyle() const;
    GroupState &top() { return m_groups.back(); }
    const GroupState &top() const { return m_groups.back(); }
    bool consumeSkipped();

    QByteArrayView m_data;
    qsizetype m_pos = 0;
    Sink &m_sink;
    std::vector<GroupState> m_groups;
    int m_flattened = 0;         // groups opened beyond kMaxGroupDepth
    int m_flatSkipFrom = 0;      // the flattened level from which everything is skipped, or 0
    bool m_atGroupStart = false; // nothing read yet in the group just opened
    bool m_starred = false;      // "\*" right at the group's start
    int m_leadByte = -1;         // the first byte of a two-byte character
    QString m_shapeName;         // of the shape property being read
    int m_skipChars = 0;         // characters still to skip after \uN
    // Without \ansicpg: the system code page of the schools' Russian Windows, as Word there
    // reads such a document.
    int m_ansiCodePage = 1251;
    int m_defaultFont = -1;
    QHash<int, FontEntry> m_fonts;
    int m_fontDefNumber = -1;
    FontEntry m_fontDef;
    std::vector<QRgb> m_colors; // index 0 of the table is the automatic colour
    std::vector<bool> m_colorAuto;
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colorSet = false;
    PictureState m_picture;
    QString m_buffer;
    bool m_done = false;
    Align m_finalAlign = Align::Left;
};

void Reader::run()
{
    m_pos = envelopeStart(m_data);

    m_groups.reserve(64);
    m_groups.push_back(GroupState{}); // the state outside any group
    bool seenGroup = false;

    const qsizetype n = m_data.size();
    while (m_pos < n && !m_done) {
        const char c = m_data[m_pos];
        if (c == '{') {
            ++m_pos;
            m_skipChars = 0;
            pushGroup();
            seenGroup = true;
            m_atGroupStart = true;
            m_starred = false;
            continue;
        }
        // "\*" keeps the group's start for the word that follows it.
        const bool star = c == '\\' && m_pos + 1 < n && m_data[m_pos + 1] == '*';
        const bool word = c == '\\' && m_pos + 1 < n && isLetter(m_data[m_pos + 1]);
        if (!star && !(c == '\r' || c == '\n'))
            m_atGroupStart = false;
        if (!star && !word && !(c == '\r' || c == '\n'))
            m_starred = false;
        if (c == '}') {
            ++m_pos;
            m_skipChars = 0;
            popGroup();
            if (seenGroup && m_groups.size() == 1 && m_flattened == 0)
                m_done = true; // the document's closing brace: the rest is not ours
        } else if (c == '\\') {
            ++m_pos;
            if (m_pos >= n)
                break;
            const char d = m_data[m_pos];
            if (isLetter(d)) {
                const qsizetype start = m_pos;
                while (m_pos < n && isLetter(m_data[m_pos]))
                    ++m_pos;
                const qsizetype letters = m_pos - start;
                bool hasParam = false;
                bool negative = false;
                long long param = 0;
                if (m_pos < n && m_data[m_pos] == '-' && m_pos + 1 < n &&
                    isDigit(m_data[m_pos + 1])) {
                    negative = true;
                    ++m_pos;
                }
                while (m_pos < n && isDigit(m_data[m_pos])) {
                    hasParam = true;
                    if (param < 100000000000LL)
                        param = param * 10 + (m_data[m_pos] - '0');
                    ++m_pos;
                }
                if (negative)
                    param = -param;
                if (m_pos < n && m_data[m_pos] == ' ')
                    ++m_pos;
                // Words longer than the format allows are unknown words.
                const std::string_view word =
                    letters <= 32
                        ? std::string_view(m_data.data() + start, static_cast<size_t>(letters))
                        : std::string_view();
                if (consumeSkipped() && word != "bin")
                    continue;
                m_leadByte = -1;
                controlWord(word, hasParam, param);
                m_starred = false;
            } else {
                ++m_pos;
                if (d == '\'') {
                    int value = 0;
                    int digits = 0;
                    while (digits < 2 && m_pos < n && hexValue(m_data[m_pos]) >= 0) {
                        value = value * 16 + hexValue(m_data[m_pos]);
                        ++m_pos;
                        ++digits;
                    }
                    if (consumeSkipped() || digits == 0)
                        continue;
                    addByte(static_cast<unsigned char>(value));
                } else {
                    if (consumeSkipped())
                        continue;
                    controlSymbol(d);
                }
            }
        } else {
            ++m_pos;
            if (c == '\r' || c == '\n' || c == '\0')
                continue;
            if (consumeSkipped())
                continue;
            if (dest() == Dest::Picture) {
                const int v = hexValue(c);
                if (v >= 0 && m_picture.active) {
                    if (m_picture.pendingNibble < 0) {
                        m_picture.pendingNibble = v;
                    } else {
                        m_picture.data.append(static_cast<char>(m_picture.pendingNibble * 16 + v));
                        m_picture.pendingNibble = -1;
                    }
                }
                continue;
            }
            if (c == '\t') {
                addChar(u'\t');
                continue;
            }
            if (static_cast<unsigned char>(c) < 0x20)
                continue;
            addByte(static_cast<unsigned char>(c));
        }
    }
    flush();
    m_sink.finish(ParaStyle{m_groups.size() > 1 ? top().align : m_finalAlign});
}

bool Reader::consumeSkipped()
{
    if (m_skipChars <= 0)
        return false;
    --m_skipChars;
    return true;
}

void Reader::pushGroup()
{
    m_leadByte = -1;
    if (static_cast<int>(m_groups.size()) > kMaxGroupDepth) {
        ++m_flattened;
        return;
    }
    flush();
    GroupState next = top();
    m_groups.push_back(next);
}

void Reader::skipGroup()
{
    flush();
    if (m_flattened > 0) {
        // The deepest group kept is shared by all the flattened ones: only this one is skipped.
        if (m_flatSkipFrom == 0)
            m_flatSkipFrom = m_flattened;
        return;
    }
    top().dest = Dest::Skip;
}

void Reader::popGroup()
{
    m_leadByte = -1;
    if (m_flattened > 0) {
        if (m_flatSkipFrom == m_flattened)
            m_flatSkipFrom = 0;
        --m_flattened;
        return;
    }
    if (m_groups.size() <= 1)
        return; // an extra closing brace
    flush();
    const GroupState closing = top();
    if (m_groups.size() == 2)
        m_finalAlign = closing.align; // the document's group ends: its last paragraph's style
    m_groups.pop_back();
    if (closing.dest == Dest::FontTable && top().dest != Dest::FontTable) {
        // the last entry may lack its semicolon
        if (m_fontDefNumber >= 0 && !m_fontDef.name.isEmpty())
            m_fonts.insert(m_fontDefNumber, m_fontDef);
        m_fontDefNumber = -1;
        m_fontDef = {};
    } else if (closing.dest == Dest::FontTable && m_fontDefNumber >= 0) {
        // the end of one {\fN ...} entry
        if (!m_fontDef.name.isEmpty() || !m_fonts.contains(m_fontDefNumber))
            m_fonts.insert(m_fontDefNumber, m_fontDef);
        m_fontDefNumber = -1;
        m_fontDef = {};
    }
    if (closing.dest == Dest::Picture && top().dest != Dest::Picture)
        finishPicture();
}

int Reader::currentCodePage() const
{
    const int font = top().font >= 0 ? top().font : m_defaultFont;
    const auto it = m_fonts.constFind(font);
    if (it == m_fonts.constEnd())
        return m_ansiCodePage;
    if (it->codePage > 0 && (upperHalfTable(it->codePage) || isDoubleByteCodePage(it->codePage)))
        return it->codePage;
    if (it->charset >= 0) {
        if (it->charset == 1)
            return m_ansiCodePage;
        const int cp = codePageOfCharset(it->charset);
        if (cp != 0)
            return cp;
    } else if (const int cp = codePageOfFontName(it->name)) {
        return cp;
    }
    return m_ansiCodePage;
}

CharStyle Reader::currentStyle() const
{
    const GroupState &g = top();
    CharStyle style;
    const int font = g.font >= 0 ? g.font : m_defaultFont;
    const auto it = m_fonts.constFind(font);
    if (it != m_fonts.constEnd())
        style.family = it->name;
    style.halfPoints = g.halfPoints;
    style.bold = g.bold;
    style.italic = g.italic;
    style.underline = g.underline;
    style.strike = g.strike;
    if (g.color > 0 && static_cast<size_t>(g.color) < m_colors.size() &&
        !m_colorAuto[static_cast<size_t>(g.color)]) {
        style.autoColor = false;
        style.color = m_colors[static_cast<size_t>(g.color)];
    }
    return style;
}

void Reader::flush()
{
    if (m_buffer.isEmpty())
        return;
    // \u pairs make surrogate pairs of themselves; a half without its other
    // half is no character.
    for (qsizetype i = 0; i < m_buffer.size(); ++i) {
        const QChar ch = m_buffer.at(i);
        if (ch.isHighSurrogate() && i + 1 < m_buffer.size() && m_buffer.at(i + 1).isLowSurrogate())
            ++i;
        else if (ch.isSurrogate())
            m_buffer[i] = QChar(QChar::ReplacementCharacter);
    }
    m_sink.text(m_buffer, currentStyle());
    m_buffer.clear();
}

void Reader::paragraph()
{
    flush();
    m_sink.paragraphBreak(ParaStyle{top().align});
}

void Reader::addChar(char16_t ch)
{
    switch (dest()) {
    case Dest::Normal:
        if (!top().hidden)
            m_buffer.append(QChar(ch));
        break;
    case Dest::ShapeName:
        if (m_shapeName.size() < 64)
            m_shapeName.append(QChar(ch));
        break;
    case Dest::FontTable:
        if (ch == u';') {
            if (m_fontDefNumber >= 0)
                m_fonts.insert(m_fontDefNumber, m_fontDef);
            m_fontDef.name.clear();
        } else if (m_fontDef.name.size() < 256) {
            m_fontDef.name.append(QChar(ch));
        }
        break;
    case Dest::ColorTable:
        if (ch == u';') {
            m_colors.push_back(qRgb(m_red, m_green, m_blue));
            m_colorAuto.push_back(!m_colorSet);
            m_red = m_green = m_blue = 0;
            m_colorSet = false;
        }
        break;
    default:
        break;
    }
}

void Reader::addByte(unsigned char byte)
{
    if (byte < 0x20 && byte != '\t') {
        m_leadByte = -1;
        return; // control characters are not text
    }
    if (byte < 0x80 && m_leadByte < 0) {
        addChar(byte);
        return;
    }
    int cp = currentCodePage();
    if (top().dest == Dest::FontTable) {
        const int fcp = codePageOfCharset(m_fontDef.charset);
        if (fcp != 0)
            cp = fcp;
    }
    if (isDoubleByteCodePage(cp)) {
        if (m_leadByte >= 0) {
            const char16_t ch = decodeDoubleByte(cp, static_cast<unsigned char>(m_leadByte), byte);
            m_leadByte = -1;
            addChar(ch);
        } else if (isLeadByte(cp, byte)) {
            m_leadByte = byte;
        } else {
            addChar(0xFFFD);
        }
        return;
    }
    addChar(decodeByte(cp, byte));
}

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

void Reader::finishPicture()
{
    if (m_picture.active) {
        flush();
        Picture pic;
        pic.kind = sniffedKind(m_picture.data, m_picture.kind);
        pic.data = std::move(m_picture.data);
        if (pic.kind == Picture::Kind::Bmp)
            pic.data = bmpFile(pic.data);
        if (pic.data.isEmpty())
            pic.kind = Picture::Kind::Unknown;
        // Goal sizes are in twips; at 96 pixels an inch a pixel is 15 twips. Without them, a
        // metafile's \picw and \pich are hundredths of a millimetre, a bitmap's are pixels.
        const auto clampPx = [](long long px) {
            return static_cast<int>(std::clamp(px, 0LL, 10000LL));
        };
        const auto pixels = [&](long long goal, long long natural, long long scale) {
            scale = std::clamp(scale, 1LL, 1000LL);
            if (goal > 0)
                return clampPx(goal * scale / 100 / 15);
            const bool metafile = pic.kind == Picture::Kind::Wmf || pic.kind == Picture::Kind::Emf;
            const long long n = std::clamp(natural, 0LL, 1000000LL);
            return clampPx((metafile ? n * 96 / 2540 : n) * scale / 100);
        };
        pic.widthPx = pixels(m_picture.goalw, m_picture.picw, m_picture.scalex);
        pic.heightPx = pixels(m_picture.goalh, m_picture.pich, m_picture.scaley);
        // A picture of no known kind keeps its place only when it has a size.
        if (pic.kind != Picture::Kind::Unknown || (pic.widthPx > 0 && pic.heightPx > 0))
            m_sink.picture(pic, currentStyle());
    }
    m_picture = PictureState{};
}

void Reader::controlSymbol(char c)
{
    switch (c) {
    case '\\':
    case '{':
    case '}':
        addChar(static_cast<char16_t>(c));
        break;
    case '~':
        addChar(0x00A0);
        break;
    case '_':
        addChar(0x2011);
        break;
    case '-': // optional hyphen: not shown
        break;
    case '*':
        // Only at the group's start does "\*" mark the group's destination as ignorable.
        m_starred = m_atGroupStart;
        break;
    case '\r':
    case '\n':
        if (dest() == Dest::Normal && !top().hidden)
            paragraph();
        break;
    default:
        break;
    }
}

void Reader::controlWord(std::string_view word, bool hasParam, long long param)
{
    const auto &table = keywords();
    const auto it = word.empty() ? table.end() : table.find(word);
    const Kw kw = it == table.end() ? Kw::Unknown : it->second.kw;
    GroupState &g = top();
    const int iparam = static_cast<int>(std::clamp(param, -1000000000LL, 1000000000LL));

    if (kw == Kw::Bin) {
        // Binary data: skipped (or taken as picture data) without reading it as RTF.
        const long long count = hasParam ? std::max(0LL, param) : 0;
        const qsizetype take =
            static_cast<qsizetype>(std::min<long long>(count, m_data.size() - m_pos));
        if (dest() == Dest::Picture && m_picture.active)
            m_picture.data.append(m_data.data() + m_pos, take);
        m_pos += take;
        return;
    }

    if (dest() == Dest::Skip)
        return;

    // "\*" before a word we do not take as a destination: the group is skipped.
    if (m_starred) {
        m_starred = false;
        const bool readable = kw == Kw::Readable || kw == Kw::Shape ||
                              (kw == Kw::Ud && m_groups.size() >= 2 &&
                               m_groups[m_groups.size() - 2].dest == Dest::Upr);
        if (!readable) {
            skipGroup();
            return;
        }
    }

    if (g.dest == Dest::Upr) {
        if (kw == Kw::Ud)
            g.dest = Dest::Normal;
        return;
    }

    const bool on = !hasParam || param != 0;
    switch (kw) {
    case Kw::Unknown:
        break;
    case Kw::FontTable:
        flush();
        g.dest = Dest::FontTable;
        m_fontDefNumber = -1;
        m_fontDef = {};
        break;
    case Kw::ColorTable:
        flush();
        g.dest = Dest::ColorTable;
        m_colors.clear();
        m_colorAuto.clear();
        m_red = m_green = m_blue = 0;
        m_colorSet = false;
        break;
    case Kw::SkipDest:
        skipGroup();
        break;
    case Kw::Pict:
        flush();
        if (g.dest == Dest::Normal && m_flattened == 0) {
            g.dest = Dest::Picture;
            m_picture = PictureState{};
            m_picture.active = true;
        } else {
            skipGroup();
        }
        break;
    case Kw::Readable:
        break;
    case Kw::Shape:
        // A shape's text boxes and pictures are read from its instructions; the rest of it
        // is no text.
        flush();
        if (g.dest == Dest::Normal)
            g.dest = Dest::Shape;
        break;
    case Kw::ShapeText:
        flush();
        if (g.dest == Dest::Shape)
            g.dest = Dest::Normal;
        break;
    case Kw::ShapeProp:
        flush();
        if (g.dest == Dest::Normal || g.dest == Dest::Shape) {
            g.dest = Dest::Shape;
            m_shapeName.clear();
        }
        break;
    case Kw::ShapeName:
        if (g.dest == Dest::Shape) {
            g.dest = Dest::ShapeName;
            m_shapeName.clear();
        }
        break;
    case Kw::ShapeValue:
        // The picture of a picture frame is shown; other values are no text.
        if (g.dest == Dest::Shape && m_shapeName == QLatin1String("pib"))
            g.dest = Dest::Normal;
        else
            skipGroup();
        break;
    case Kw::Object:
        flush();
        if (g.dest == Dest::Normal)
            g.dest = Dest::Object;
        break;
    case Kw::Result:
        flush();
        if (g.dest == Dest::Object)
            g.dest = Dest::Normal;
        break;
    case Kw::DocCharset:
        if (it->second.symbol != 0)
            m_ansiCodePage = it->second.symbol;
        break;
    case Kw::Cpg:
        if (g.dest == Dest::FontTable && hasParam && param > 0 && param < 100000)
            m_fontDef.codePage = iparam;
        break;
    case Kw::Hidden:
        flush();
        g.hidden = on;
        break;
    case Kw::Upr:
        flush();
        g.dest = Dest::Upr;
        break;
    case Kw::Ud:
        break;
    case Kw::Ansicpg:
        if (hasParam && param > 0 && param < 100000)
            m_ansiCodePage = iparam;
        break;
    case Kw::Deff:
        m_defaultFont = iparam;
        break;
    case Kw::Plain:
        flush();
        g.font = m_defaultFont;
        g.halfPoints = 24;
        g.bold = g.italic = g.underline = g.strike = g.hidden = false;
        g.color = 0;
        break;
    case Kw::Pard:
        g.align = Align::Left;
        break;
    case Kw::Bold:
        flush();
        g.bold = on;
        break;
    case Kw::Italic:
        flush();
        g.italic = on;
        break;
    case Kw::Underline:
        flush();
        g.underline = on;
        break;
    case Kw::UnderlineNone:
        flush();
        g.underline = false;
        break;
    case Kw::Strike:
        flush();
        g.strike = on;
        break;
    case Kw::FontSize:
        flush();
        g.halfPoints = (hasParam && param > 0) ? std::min(iparam, 3276) : 24;
        break;
    case Kw::Font:
        if (g.dest == Dest::FontTable) {
            if (m_fontDefNumber >= 0 && !m_fontDef.name.isEmpty())
                m_fonts.insert(m_fontDefNumber, m_fontDef);
            m_fontDefNumber = iparam;
            m_fontDef = {};
        } else {
            flush();
            g.font = iparam;
        }
        break;
    case Kw::Charset:
        if (g.dest == Dest::FontTable)
            m_fontDef.charset = iparam;
        break;
    case Kw::ColorFg:
        flush();
        g.color = std::max(0, iparam);
        break;
    case Kw::Red:
    case Kw::Green:
    case Kw::Blue:
        if (g.dest == Dest::ColorTable) {
            const int v = std::clamp(iparam, 0, 255);
            (kw == Kw::Red ? m_red : kw == Kw::Green ? m_green : m_blue) = v;
            m_colorSet = true;
        }
        break;
    case Kw::AlignLeft:
        g.align = Align::Left;
        break;
    case Kw::AlignCenter:
        g.align = Align::Center;
        break;
    case Kw::AlignRight:
        g.align = Align::Right;
        break;
    case Kw::AlignJustify:
        g.align = Align::Justify;
        break;
    case Kw::Par:
    case Kw::Line:
    case Kw::Row:
        if (dest() == Dest::Normal && !g.hidden)
            paragraph();
        break;
    case Kw::Tab:
    case Kw::Cell:
        addChar(u'\t');
        break;
    case Kw::Symbol:
        addChar(it->second.symbol);
        break;
    case Kw::Unicode: {
        long long v = param;
        if (v < 0)
            v += 65536;
        const char16_t ch = (v >= 0 && v <= 0xFFFF) ? static_cast<char16_t>(v) : char16_t(0xFFFD);
        if (ch == 0x2028 || ch == 0x2029) {
            if (dest() == Dest::Normal && !g.hidden)
                paragraph();
        } else if ((ch >= 0x20 || ch == u'\t') && ch != 0xFFFC) {
            addChar(ch); // control characters and object marks are not text
        }
        m_skipChars = g.unicodeSkip;
        break;
    }
    case Kw::UnicodeSkip:
        g.unicodeSkip = static_cast<int>(std::clamp(param, 0LL, 16LL));
        break;
    case Kw::Bin:
        break;
    case Kw::PngBlip:
    case Kw::JpegBlip:
    case Kw::WmfBlip:
    case Kw::EmfBlip:
    case Kw::DibBlip:
    case Kw::OtherBlip:
        if (g.dest == Dest::Picture)
            m_picture.kind = kw == Kw::PngBlip    ? Picture::Kind::Png
                             : kw == Kw::JpegBlip ? Picture::Kind::Jpeg
                             : kw == Kw::WmfBlip  ? Picture::Kind::Wmf
                             : kw == Kw::EmfBlip  ? Picture::Kind::Emf
                             : kw == Kw::DibBlip  ? Picture::Kind::Bmp
                                                  : Picture::Kind::Unknown;
        break;
    case Kw::PicW:
        m_picture.picw = iparam;
        break;
    case Kw::PicH:
        m_picture.pich = iparam;
        break;
    case Kw::PicWGoal:
        m_picture.goalw = iparam;
        break;
    case Kw::PicHGoal:
        m_picture.goalh = iparam;
        break;
    case Kw::PicScaleX:
        m_picture.scalex = iparam;
        break;
    case Kw::PicScaleY:
        m_picture.scaley = iparam;
        break;
    }
}

} // namespace

bool looksLikeRtf(QByteArrayView data)
{
    return data.sliced(envelopeStart(data)).startsWith("{\\rtf");
}

void read(QByteArrayView data, Sink &sink)
{
    Reader reader(data, sink);
    reader.run();
}

} // namespace merilon::rtf
