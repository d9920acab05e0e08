#pragma once

// The reader's own state, shared by the files it is split into: rtfreader.cpp reads the tokens
// of rtftokenizer.h into groups and text, rtfcontrolwords.cpp looks the control words up and
// sets the formats, rtfdestinations.cpp reads the destinations, and rtfpictures.cpp makes a
// picture's bytes ready for the sink.

#include "rtfreader.h"
#include "rtftokenizer.h"

#include <QHash>
#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace merilon::rtf {

// Where the text of a group goes.
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
    Data,      // the program's own data: given to the sink whole when its group closes
};

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

// A picture while its destination is read.
struct PictureState
{
    bool active = false;
    Picture::Kind kind = Picture::Kind::Unknown;
    QByteArray data;
    int pendingNibble = -1;
    long long picw = 0, pich = 0, goalw = 0, goalh = 0, scalex = 100, scaley = 100;

    // The data comes as hex digits, two to a byte; other characters among them are no data.
    void addHexDigit(char c)
    {
        const int v = hexValue(c);
        if (v < 0 || !active)
            return;
        if (pendingNibble < 0) {
            pendingNibble = v;
        } else {
            data.append(static_cast<char>(pendingNibble * 16 + v));
            pendingNibble = -1;
        }
    }
};

// The picture as the sink gets it: its kind by its bytes, its data ready to decode, its size
// in pixels. Takes the data out of `state`.
Picture finishedPicture(PictureState &state);

// The number after a control word.
struct WordParam
{
    bool present = false;
    long long value = 0;

    int clamped() const { return static_cast<int>(std::clamp(value, -1000000000LL, 1000000000LL)); }
    // A switch such as \b: on without a number or with any but 0.
    bool on() const { return !present || value != 0; }
};

class Reader;

// What a control word does: a handler of the reader, with a value for the handlers that several
// words share (a character, a code page, an alignment, a picture kind).
struct ControlWord
{
    // How the word fares where most words are not heard.
    enum class Role {
        Ordinary,
        Binary,       // \bin: its data is taken even in a skipped group
        Readable,     // a destination whose text is shown even when marked ignorable
        UnicodeBranch // \ud: the only word heard in \upr
    };

    void (Reader::*handle)(int value, WordParam param);
    int value = 0;
    Role role = Role::Ordinary;
};

class Reader
{
public:
    Reader(QByteArrayView data, Sink &sink) : m_tokens(data), m_sink(sink) {}

    void run();

private:
    // rtfreader.cpp: groups, characters and what goes to the sink.
    void readWord(const Token &token);
    void readHexByte(const Token &token);
    void readText(std::string_view bytes);
    void pushGroup();
    void popGroup();
    // Skips the rest of the current group, also one beyond the depth limit.
    void skipGroup();
    void controlSymbol(char c);
    void addChar(char16_t ch);
    void addByte(unsigned char byte);
    void flush();
    void paragraph();
    // The destination text goes to, with groups skipped beyond the depth limit.
    Dest dest() const { return m_flatSkipFrom > 0 ? Dest::Skip : top().dest; }
    CharStyle currentStyle() const;
    GroupState &top() { return m_groups.back(); }
    const GroupState &top() const { return m_groups.back(); }
    bool consumeSkipped();

    // rtfcontrolwords.cpp: the words and the character and paragraph state they set.
    // Control words are a few letters long: FNV-1a hashes them faster than the library's hash.
    struct WordHash
    {
        size_t operator()(std::string_view word) const
        {
            std::uint64_t hash = 14695981039346656037u;
            for (const char c : word)
                hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211u;
            return static_cast<size_t>(hash);
        }
    };
    using ControlWordTable = std::unordered_map<std::string_view, ControlWord, WordHash>;
    static const ControlWordTable &controlWordTable();
    // The word's entry in the table, or null for a word we do not know.
    static const ControlWord *findControlWord(std::string_view word);
    void controlWord(std::string_view word, WordParam param);
    void ignoreWord(int, WordParam) {}
    void setDocumentCharset(int codePage, WordParam);
    void setAnsiCodePage(int, WordParam param);
    void setDefaultFont(int, WordParam param);
    void setHidden(int, WordParam param);
    void resetCharacterFormat(int, WordParam);
    void resetParagraphFormat(int, WordParam);
    void setBold(int, WordParam param);
    void setItalic(int, WordParam param);
    void setUnderline(int, WordParam param);
    void removeUnderline(int, WordParam);
    void setStrike(int, WordParam param);
    void setFontSize(int, WordParam param);
    void selectFont(int, WordParam param);
    void setColor(int, WordParam param);
    void setAlignment(int align, WordParam);
    void breakParagraph(int, WordParam);
    void addTab(int, WordParam);
    void addSymbol(int ch, WordParam);
    void addUnicode(int, WordParam param);
    void setUnicodeSkip(int, WordParam param);

    // rtfdestinations.cpp: font and colour tables, pictures, shapes, objects, fields.
    void skipDestination(int, WordParam);
    void beginFontTable(int, WordParam);
    void beginFontEntry(int number);
    void setFontCharset(int, WordParam param);
    void setFontCodePage(int, WordParam param);
    void addFontNameChar(char16_t ch);
    // A group of the font table closes: the table itself or one of its entries.
    void endFontTableGroup();
    void beginColorTable(int, WordParam);
    void setColorComponent(int component, WordParam param);
    void addColorTableChar(char16_t ch);
    void beginUpr(int, WordParam);
    void beginUnicodeBranch(int, WordParam);
    void beginShape(int, WordParam);
    void beginShapeText(int, WordParam);
    void beginShapeProperty(int, WordParam);
    void beginShapeName(int, WordParam);
    void beginShapeValue(int, WordParam);
    void addShapeNameChar(char16_t ch);
    void beginObject(int, WordParam);
    void beginObjectResult(int, WordParam);
    void beginData(int, WordParam);
    void addDataChar(char16_t ch);
    void beginPicture(int, WordParam);
    void setPictureKind(int kind, WordParam);
    void setPictureWidth(int, WordParam param);
    void setPictureHeight(int, WordParam param);
    void setPictureGoalWidth(int, WordParam param);
    void setPictureGoalHeight(int, WordParam param);
    void setPictureScaleX(int, WordParam param);
    void setPictureScaleY(int, WordParam param);
    void readBinary(int, WordParam param);
    void finishPicture();
    void closeDestination(const GroupState &closing);

    Tokenizer m_tokens;
    Sink &m_sink;
    std::vector<GroupState> m_groups;
    int m_flattened = 0;         // groups opened beyond kMaxGroupDepth
    int m_flatSkipFrom = 0;      // the flattened level from which everything is skipped, or 0
    bool m_seenGroup = false;    // the document's group has been opened
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
    std::array<int, 3> m_rgb{}; // of the colour table's entry being read
    bool m_colorSet = false;
    PictureState m_picture;
    QByteArray m_data;
    QString m_buffer;
    bool m_done = false;
    Align m_finalAlign = Align::Left;
};

} // namespace merilon::rtf
