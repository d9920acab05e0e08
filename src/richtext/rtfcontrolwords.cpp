// Control words: the table from each word to what it does, the rules of where a word is
// heard, and the words that set character and paragraph formats or stand for text.
#include "rtfreaderimpl.h"

namespace merilon::rtf {

const Reader::ControlWordTable &Reader::controlWordTable()
{
    using R = Reader;
    using Role = ControlWord::Role;
    static const ControlWordTable table = {
        // destinations
        {"fonttbl", {&R::beginFontTable}},
        {"colortbl", {&R::beginColorTable}},
        {"stylesheet", {&R::skipDestination}},
        {"info", {&R::skipDestination}},
        {"header", {&R::skipDestination}},
        {"headerl", {&R::skipDestination}},
        {"headerr", {&R::skipDestination}},
        {"headerf", {&R::skipDestination}},
        {"footer", {&R::skipDestination}},
        {"footerl", {&R::skipDestination}},
        {"footerr", {&R::skipDestination}},
        {"footerf", {&R::skipDestination}},
        {"footnote", {&R::skipDestination}},
        {"annotation", {&R::skipDestination}},
        {"fldinst", {&R::skipDestination}},
        {"fldrslt", {&R::ignoreWord, 0, Role::Readable}},
        {"nesttableprops", {&R::ignoreWord, 0, Role::Readable}},
        {"shp", {&R::beginShape, 0, Role::Readable}},
        {"shpinst", {&R::beginShape, 0, Role::Readable}},
        {"do", {&R::beginShape, 0, Role::Readable}},
        {"shptxt", {&R::beginShapeText}},
        {"dptxbxtext", {&R::beginShapeText}},
        {"sp", {&R::beginShapeProperty}},
        {"sn", {&R::beginShapeName}},
        {"sv", {&R::beginShapeValue}},
        {"shprslt", {&R::skipDestination}}, // what a reader without shapes shows instead
        {"result", {&R::beginObjectResult}},
        {"xe", {&R::skipDestination}},
        {"tc", {&R::skipDestination}},
        {"tcn", {&R::skipDestination}},
        {"listtable", {&R::skipDestination}},
        {"listoverridetable", {&R::skipDestination}},
        {"revtbl", {&R::skipDestination}},
        {"rsidtbl", {&R::skipDestination}},
        {"pgdsctbl", {&R::skipDestination}},
        {"xmlnstbl", {&R::skipDestination}},
        {"themedata", {&R::skipDestination}},
        {"colorschememapping", {&R::skipDestination}},
        {"datastore", {&R::skipDestination}},
        {"latentstyles", {&R::skipDestination}},
        {"generator", {&R::skipDestination}},
        {"object", {&R::beginObject}},
        {"objdata", {&R::skipDestination}},
        {"nonshppict", {&R::skipDestination}},
        {"pntxta", {&R::skipDestination}},
        {"pntxtb", {&R::skipDestination}},
        {"private", {&R::skipDestination}},
        {"template", {&R::skipDestination}},
        {"pict", {&R::beginPicture}},
        {"merilondata", {&R::beginData, 0, Role::Readable}},
        {"shppict", {&R::ignoreWord, 0, Role::Readable}}, // its inner \pict is read as a picture
        {"upr", {&R::beginUpr}},
        {"ud", {&R::beginUnicodeBranch, 0, Role::UnicodeBranch}},
        // the document, its fonts and colours
        {"ansi", {&R::setDocumentCharset, 0}},
        {"pc", {&R::setDocumentCharset, 437}},
        {"pca", {&R::setDocumentCharset, 850}},
        {"mac", {&R::setDocumentCharset, 10000}},
        {"ansicpg", {&R::setAnsiCodePage}},
        {"deff", {&R::setDefaultFont}},
        {"cpg", {&R::setFontCodePage}},
        {"fcharset", {&R::setFontCharset}},
        {"red", {&R::setColorComponent, 0}},
        {"green", {&R::setColorComponent, 1}},
        {"blue", {&R::setColorComponent, 2}},
        // character and paragraph formats
        {"v", {&R::setHidden}},
        {"plain", {&R::resetCharacterFormat}},
        {"pard", {&R::resetParagraphFormat}},
        {"b", {&R::setBold}},
        {"i", {&R::setItalic}},
        {"ul", {&R::setUnderline}},
        {"uld", {&R::setUnderline}},
        {"uldb", {&R::setUnderline}},
        {"ulw", {&R::setUnderline}},
        {"ulth", {&R::setUnderline}},
        {"uldash", {&R::setUnderline}},
        {"ulwave", {&R::setUnderline}},
        {"ulnone", {&R::removeUnderline}},
        {"strike", {&R::setStrike}},
        {"fs", {&R::setFontSize}},
        {"f", {&R::selectFont}},
        {"cf", {&R::setColor}},
        {"ql", {&R::setAlignment, int(Align::Left)}},
        {"qc", {&R::setAlignment, int(Align::Center)}},
        {"qr", {&R::setAlignment, int(Align::Right)}},
        {"qj", {&R::setAlignment, int(Align::Justify)}},
        // text
        {"par", {&R::breakParagraph}},
        {"sect", {&R::breakParagraph}},
        {"page", {&R::breakParagraph}},
        {"line", {&R::breakParagraph}},
        {"row", {&R::breakParagraph}},
        {"nestrow", {&R::breakParagraph}},
        {"tab", {&R::addTab}},
        {"cell", {&R::addTab}},
        {"nestcell", {&R::addTab}},
        {"u", {&R::addUnicode}},
        {"uc", {&R::setUnicodeSkip}},
        {"bin", {&R::readBinary, 0, Role::Binary}},
        {"emdash", {&R::addSymbol, 0x2014}},
        {"endash", {&R::addSymbol, 0x2013}},
        {"emspace", {&R::addSymbol, 0x2003}},
        {"enspace", {&R::addSymbol, 0x2002}},
        {"qmspace", {&R::addSymbol, 0x2005}},
        {"bullet", {&R::addSymbol, 0x2022}},
        {"lquote", {&R::addSymbol, 0x2018}},
        {"rquote", {&R::addSymbol, 0x2019}},
        {"ldblquote", {&R::addSymbol, 0x201C}},
        {"rdblquote", {&R::addSymbol, 0x201D}},
        // pictures
        {"pngblip", {&R::setPictureKind, int(Picture::Kind::Png)}},
        {"jpegblip", {&R::setPictureKind, int(Picture::Kind::Jpeg)}},
        {"wmetafile", {&R::setPictureKind, int(Picture::Kind::Wmf)}},
        {"emfblip", {&R::setPictureKind, int(Picture::Kind::Emf)}},
        {"dibitmap", {&R::setPictureKind, int(Picture::Kind::Bmp)}},
        {"macpict", {&R::setPictureKind, int(Picture::Kind::Unknown)}},
        {"wbitmap", {&R::setPictureKind, int(Picture::Kind::Unknown)}},
        {"pmmetafile", {&R::setPictureKind, int(Picture::Kind::Unknown)}},
        {"picw", {&R::setPictureWidth}},
        {"pich", {&R::setPictureHeight}},
        {"picwgoal", {&R::setPictureGoalWidth}},
        {"pichgoal", {&R::setPictureGoalHeight}},
        {"picscalex", {&R::setPictureScaleX}},
        {"picscaley", {&R::setPictureScaleY}},
    };
    return table;
}

const ControlWord *Reader::findControlWord(std::string_view word)
{
    if (word.empty())
        return nullptr;
    static const ControlWordTable &table = controlWordTable();
    const auto it = table.find(word);
    return it == table.end() ? nullptr : &it->second;
}

void Reader::controlWord(std::string_view word, WordParam param)
{
    const ControlWord *entry = findControlWord(word);
    const ControlWord::Role role = entry ? entry->role : ControlWord::Role::Ordinary;

    // Binary data is taken (or skipped) whatever the group, without reading it as RTF.
    if (role == ControlWord::Role::Binary) {
        (this->*entry->handle)(entry->value, param);
        return;
    }
    if (dest() == Dest::Skip)
        return;

    // "\*" before a word we do not take as a destination: the group is skipped.
    if (m_starred) {
        m_starred = false;
        const bool readable = role == ControlWord::Role::Readable ||
                              (role == ControlWord::Role::UnicodeBranch && m_groups.size() >= 2 &&
                               m_groups[m_groups.size() - 2].dest == Dest::Upr);
        if (!readable) {
            skipGroup();
            return;
        }
    }

    // In \upr only its \ud branch is heard.
    if (top().dest == Dest::Upr && role != ControlWord::Role::UnicodeBranch)
        return;

    if (entry)
        (this->*entry->handle)(entry->value, param);
}

void Reader::setDocumentCharset(int codePage, WordParam)
{
    if (codePage != 0)
        m_ansiCodePage = codePage;
}

void Reader::setAnsiCodePage(int, WordParam param)
{
    if (param.present && param.value > 0 && param.value < 100000)
        m_ansiCodePage = param.clamped();
}

void Reader::setDefaultFont(int, WordParam param)
{
    m_defaultFont = param.clamped();
}

void Reader::setHidden(int, WordParam param)
{
    flush();
    top().hidden = param.on();
}

void Reader::resetCharacterFormat(int, WordParam)
{
    flush();
    GroupState &g = top();
    g.font = m_defaultFont;
    g.halfPoints = 24;
    g.bold = g.italic = g.underline = g.strike = g.hidden = false;
    g.color = 0;
}

void Reader::resetParagraphFormat(int, WordParam)
{
    top().align = Align::Left;
}

void Reader::setBold(int, WordParam param)
{
    flush();
    top().bold = param.on();
}

void Reader::setItalic(int, WordParam param)
{
    flush();
    top().italic = param.on();
}

void Reader::setUnderline(int, WordParam param)
{
    flush();
    top().underline = param.on();
}

void Reader::removeUnderline(int, WordParam)
{
    flush();
    top().underline = false;
}

void Reader::setStrike(int, WordParam param)
{
    flush();
    top().strike = param.on();
}

void Reader::setFontSize(int, WordParam param)
{
    flush();
    top().halfPoints = (param.present && param.value > 0) ? std::min(param.clamped(), 3276) : 24;
}

// \fN: in the font table the next entry's number, elsewhere the font of the text.
void Reader::selectFont(int, WordParam param)
{
    if (top().dest == Dest::FontTable) {
        beginFontEntry(param.clamped());
        return;
    }
    flush();
    top().font = param.clamped();
}

void Reader::setColor(int, WordParam param)
{
    flush();
    top().color = std::max(0, param.clamped());
}

void Reader::setAlignment(int align, WordParam)
{
    top().align = static_cast<Align>(align);
}

void Reader::breakParagraph(int, WordParam)
{
    if (dest() == Dest::Normal && !top().hidden)
        paragraph();
}

void Reader::addTab(int, WordParam)
{
    addChar(u'\t');
}

void Reader::addSymbol(int ch, WordParam)
{
    addChar(static_cast<char16_t>(ch));
}

void Reader::addUnicode(int, WordParam param)
{
    long long v = param.value;
    if (v < 0)
        v += 65536;
    const char16_t ch = (v >= 0 && v <= 0xFFFF) ? static_cast<char16_t>(v) : char16_t(0xFFFD);
    if (ch == 0x2028 || ch == 0x2029) {
        if (dest() == Dest::Normal && !top().hidden)
            paragraph();
    } else if ((ch >= 0x20 || ch == u'\t') && ch != 0xFFFC) {
        addChar(ch); // control characters and object marks are not text
    }
    m_skipChars = top().unicodeSkip;
}

void Reader::setUnicodeSkip(int, WordParam param)
{
    top().unicodeSkip = static_cast<int>(std::clamp(param.value, 0LL, 16LL));
}

} // namespace merilon::rtf
