// Destinations: the groups whose text is not the document's text, or only partly: the font
// and colour tables, skipped groups and fields, \upr, shapes, objects and pictures.
#include "rtfreaderimpl.h"

namespace merilon::rtf {

// What the destination of a group that has just closed leaves behind.
void Reader::closeDestination(const GroupState &closing)
{
    if (closing.dest == Dest::FontTable)
        endFontTableGroup();
    if (closing.dest == Dest::Picture && top().dest != Dest::Picture)
        finishPicture();
    if (closing.dest == Dest::Data && top().dest != Dest::Data) {
        if (!m_data.isEmpty())
            m_sink.data(m_data);
        m_data.clear();
    }
}

// ---- the program's own data ---------------------------------------------------
//
// {\*\merilondata text}: printable ASCII that belongs to the text after the group. Groups
// inside it add to it; anything else is dropped, and so is what passes the limit.

void Reader::beginData(int, WordParam)
{
    flush();
    if (top().dest != Dest::Normal) {
        skipGroup();
        return;
    }
    top().dest = Dest::Data;
    m_data.clear();
}

void Reader::addDataChar(char16_t ch)
{
    if (ch >= 0x20 && ch < 0x7F && ch != u'\\' && ch != u'{' && ch != u'}' &&
        m_data.size() < kMaxDataBytes)
        m_data.append(static_cast<char>(ch));
}

// ---- skipped groups and fields ----------------------------------------------
//
// A field shows its result: \fldinst is skipped, \fldrslt read even when marked ignorable
// (the table gives it no handler of its own).

void Reader::skipDestination(int, WordParam)
{
    skipGroup();
}

// ---- the font table -----------------------------------------------------------

void Reader::beginFontTable(int, WordParam)
{
    flush();
    top().dest = Dest::FontTable;
    m_fontDefNumber = -1;
    m_fontDef = {};
}

void Reader::beginFontEntry(int number)
{
    if (m_fontDefNumber >= 0 && !m_fontDef.name.isEmpty())
        m_fonts.insert(m_fontDefNumber, m_fontDef);
    m_fontDefNumber = number;
    m_fontDef = {};
}

void Reader::setFontCharset(int, WordParam param)
{
    if (top().dest == Dest::FontTable)
        m_fontDef.charset = param.clamped();
}

void Reader::setFontCodePage(int, WordParam param)
{
    if (top().dest == Dest::FontTable && param.present && param.value > 0 && param.value < 100000)
        m_fontDef.codePage = param.clamped();
}

void Reader::addFontNameChar(char16_t ch)
{
    if (ch == u';') {
        if (m_fontDefNumber >= 0)
            m_fonts.insert(m_fontDefNumber, m_fontDef);
        m_fontDef.name.clear();
    } else if (m_fontDef.name.size() < 256) {
        m_fontDef.name.append(QChar(ch));
    }
}

void Reader::endFontTableGroup()
{
    if (top().dest != Dest::FontTable) {
        // the last entry may lack its semicolon
        if (m_fontDefNumber >= 0 && !m_fontDef.name.isEmpty())
            m_fonts.insert(m_fontDefNumber, m_fontDef);
        m_fontDefNumber = -1;
        m_fontDef = {};
    } else if (m_fontDefNumber >= 0) {
        // the end of one {\fN ...} entry
        if (!m_fontDef.name.isEmpty() || !m_fonts.contains(m_fontDefNumber))
            m_fonts.insert(m_fontDefNumber, m_fontDef);
        m_fontDefNumber = -1;
        m_fontDef = {};
    }
}

// ---- the colour table -------------------------------------------------------

void Reader::beginColorTable(int, WordParam)
{
    flush();
    top().dest = Dest::ColorTable;
    m_colors.clear();
    m_colorAuto.clear();
    m_rgb = {};
    m_colorSet = false;
}

// \red, \green and \blue: components 0, 1 and 2 of the entry being read.
void Reader::setColorComponent(int component, WordParam param)
{
    if (top().dest != Dest::ColorTable)
        return;
    m_rgb[static_cast<size_t>(component)] = std::clamp(param.clamped(), 0, 255);
    m_colorSet = true;
}

// Each entry ends with a semicolon; one without components is the automatic colour.
void Reader::addColorTableChar(char16_t ch)
{
    if (ch != u';')
        return;
    m_colors.push_back(qRgb(m_rgb[0], m_rgb[1], m_rgb[2]));
    m_colorAuto.push_back(!m_colorSet);
    m_rgb = {};
    m_colorSet = false;
}

// ---- \upr -----------------------------------------------------------------------

void Reader::beginUpr(int, WordParam)
{
    flush();
    top().dest = Dest::Upr;
}

void Reader::beginUnicodeBranch(int, WordParam)
{
    if (top().dest == Dest::Upr)
        top().dest = Dest::Normal;
}

// ---- shapes and objects -------------------------------------------------------

// \shp, \shpinst, \do: a shape's text boxes and pictures are read from its instructions; the
// rest of it is no text.
void Reader::beginShape(int, WordParam)
{
    flush();
    if (top().dest == Dest::Normal)
        top().dest = Dest::Shape;
}

void Reader::beginShapeText(int, WordParam)
{
    flush();
    if (top().dest == Dest::Shape)
        top().dest = Dest::Normal;
}

void Reader::beginShapeProperty(int, WordParam)
{
    flush();
    if (top().dest == Dest::Normal || top().dest == Dest::Shape) {
        top().dest = Dest::Shape;
        m_shapeName.clear();
    }
}

void Reader::beginShapeName(int, WordParam)
{
    if (top().dest == Dest::Shape) {
        top().dest = Dest::ShapeName;
        m_shapeName.clear();
    }
}

// The picture of a picture frame is shown; other values are no text.
void Reader::beginShapeValue(int, WordParam)
{
    if (top().dest == Dest::Shape && m_shapeName == QLatin1String("pib"))
        top().dest = Dest::Normal;
    else
        skipGroup();
}

void Reader::addShapeNameChar(char16_t ch)
{
    if (m_shapeName.size() < 64)
        m_shapeName.append(QChar(ch));
}

// An OLE object shows only its {\result}.
void Reader::beginObject(int, WordParam)
{
    flush();
    if (top().dest == Dest::Normal)
        top().dest = Dest::Object;
}

void Reader::beginObjectResult(int, WordParam)
{
    flush();
    if (top().dest == Dest::Object)
        top().dest = Dest::Normal;
}

// ---- pictures -------------------------------------------------------------------

void Reader::beginPicture(int, WordParam)
{
    flush();
    if (top().dest == Dest::Normal && m_flattened == 0) {
        top().dest = Dest::Picture;
        m_picture = PictureState{};
        m_picture.active = true;
    } else {
        skipGroup();
    }
}

void Reader::setPictureKind(int kind, WordParam)
{
    if (top().dest == Dest::Picture)
        m_picture.kind = static_cast<Picture::Kind>(kind);
}

void Reader::setPictureWidth(int, WordParam param)
{
    m_picture.picw = param.clamped();
}

void Reader::setPictureHeight(int, WordParam param)
{
    m_picture.pich = param.clamped();
}

void Reader::setPictureGoalWidth(int, WordParam param)
{
    m_picture.goalw = param.clamped();
}

void Reader::setPictureGoalHeight(int, WordParam param)
{
    m_picture.goalh = param.clamped();
}

void Reader::setPictureScaleX(int, WordParam param)
{
    m_picture.scalex = param.clamped();
}

void Reader::setPictureScaleY(int, WordParam param)
{
    m_picture.scaley = param.clamped();
}

// \binN: N bytes of binary data, a picture's or skipped, never read as RTF.
void Reader::readBinary(int, WordParam param)
{
    const long long count = param.present ? std::max(0LL, param.value) : 0;
    const QByteArrayView bytes = m_tokens.takeBinary(count);
    if (dest() == Dest::Picture && m_picture.active)
        m_picture.data.append(bytes.data(), bytes.size());
}

void Reader::finishPicture()
{
    if (m_picture.active) {
        flush();
        const Picture picture = finishedPicture(m_picture);
        // A picture of no known kind keeps its place only when it has a size.
        if (picture.kind != Picture::Kind::Unknown || (picture.widthPx > 0 && picture.heightPx > 0))
            m_sink.picture(picture, currentStyle());
    }
    m_picture = PictureState{};
}

} // namespace merilon::rtf
