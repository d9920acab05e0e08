// The reader's core: groups and their state, the characters of the text, and what goes to the
// sink.
#include "rtfreader.h"

#include "codepages.h"
#include "rtfreaderimpl.h"

namespace merilon::rtf {

namespace {

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

// The code page of text in a font, by what the font table says of the font.
int codePageOfFont(const QHash<int, FontEntry> &fonts, int font, int ansiCodePage)
{
    const auto it = fonts.constFind(font);
    if (it == fonts.constEnd())
        return ansiCodePage;
    if (it->codePage > 0 && (upperHalfTable(it->codePage) || isDoubleByteCodePage(it->codePage)))
        return it->codePage;
    if (it->charset >= 0) {
        if (it->charset == 1)
            return ansiCodePage;
        const int cp = codePageOfCharset(it->charset);
        if (cp != 0)
            return cp;
    } else if (const int cp = codePageOfFontName(it->name)) {
        return cp;
    }
    return ansiCodePage;
}

} // namespace

void Reader::run()
{
    m_groups.reserve(64);
    m_groups.push_back(GroupState{}); // the state outside any group

    while (!m_done) {
        const Token token = m_tokens.next();
        switch (token.kind) {
        case Token::Kind::End:
            m_done = true;
            break;
        case Token::Kind::GroupStart:
            m_skipChars = 0;
            pushGroup();
            m_seenGroup = true;
            m_atGroupStart = true;
            m_starred = false;
            break;
        case Token::Kind::GroupEnd:
            m_atGroupStart = m_starred = false;
            m_skipChars = 0;
            popGroup();
            if (m_seenGroup && m_groups.size() == 1 && m_flattened == 0)
                m_done = true; // the document's closing brace: the rest is not ours
            break;
        case Token::Kind::Word:
            readWord(token);
            break;
        case Token::Kind::Symbol:
            // "\*" keeps the group's start for the word that follows it.
            if (token.symbol != '*')
                m_atGroupStart = m_starred = false;
            if (!consumeSkipped())
                controlSymbol(token.symbol);
            break;
        case Token::Kind::HexByte:
            readHexByte(token);
            break;
        case Token::Kind::Text:
            readText(token.text);
            break;
        }
    }
    flush();
    m_sink.finish(ParaStyle{m_groups.size() > 1 ? top().align : m_finalAlign});
}

void Reader::readWord(const Token &token)
{
    m_atGroupStart = false;
    // A word after \uN can be the character it skips; \bin is read even then, so that its data
    // is not read as RTF.
    if (consumeSkipped() && token.text != "bin")
        return;
    m_leadByte = -1;
    controlWord(token.text, WordParam{token.hasNumber, token.number});
    m_starred = false;
}

void Reader::readHexByte(const Token &token)
{
    m_atGroupStart = m_starred = false;
    if (consumeSkipped() || token.number < 0)
        return;
    addByte(static_cast<unsigned char>(token.number));
}

void Reader::readText(std::string_view bytes)
{
    for (const char c : bytes) {
        // Line breaks in the text are no text; they keep the group's start.
        if (c == '\r' || c == '\n')
            continue;
        m_atGroupStart = m_starred = false;
        if (c == '\0' || consumeSkipped())
            continue;
        if (dest() == Dest::Picture) {
            m_picture.addHexDigit(c);
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
    closeDestination(closing);
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
            m_buffer.data()[i] = QChar(QChar::ReplacementCharacter);
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
        addShapeNameChar(ch);
        break;
    case Dest::FontTable:
        addFontNameChar(ch);
        break;
    case Dest::ColorTable:
        addColorTableChar(ch);
        break;
    case Dest::Data:
        addDataChar(ch);
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
    const int font = top().font >= 0 ? top().font : m_defaultFont;
    int cp = codePageOfFont(m_fonts, font, m_ansiCodePage);
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
