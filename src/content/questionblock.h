#pragma once

#include <QStringView>
#include <vector>

namespace merilon {

class RichText;

// Rows are labelled "A" to "J", so a question can show ten variants.
inline constexpr char VariantLetters[] = "ABCDEFGHIJ";
inline constexpr int MaxVariantRows = sizeof(VariantLetters) - 1;

// One answer variant as its row receives it.
struct Variant
{
    int line = -1;        // the line that begins with its marker character
    bool correct = false; // that line begins with '+'
    int from = 0;         // the range of the document copied into the row
    int to = 0;
};

// Where a question lies in the test document and what the display takes out
// of it. Positions and lines are those of RichText: a line is a paragraph,
// and a line break counts as two characters.
//
// A question's block begins at its marker line: "#", the number in decimal
// and a character that is not a digit, at the start of a line. It ends just
// before the marker line of the next number, or for the last question just
// before the next marker line of any number, else at the end of the text.
struct QuestionBlock
{
    int number = 0;
    int markerLine = -1; // -1 when the document has no marker of this question
    int QuestionStart = -1;
    // One before the next block's marker, or the length of the text.
    int BlockEnd = -1;
    int nextMarkerLine = -1; // -1 when the block runs to the end of the text
    int lastLine = -1;       // the line holding BlockEnd
    // One before the start of the block's first line that begins with '+',
    // '-', '_' or '@'.
    int QuestionTextEnd = -1;
    int FirstVariantLine = 0;
    int LastVariantLine = -1; // the line before the next marker is not counted
    int PlusCount = 0;
    int MinusCount = 0;
    int textFrom = 0; // the question text, past "#", the number and one separator
    int textTo = 0;
    // Where a variant that runs to the end of the block stops.
    int runEnd = 0;

    // The rows in order, filled by findVariants.
    std::vector<Variant> variants;
    // What a teacher should know, found while filling the rows.
    std::vector<int> underscoreRows;    // lines beginning with '_' that took a row
    std::vector<int> emptyLinesBetween; // empty lines that ended the variant above

    bool found() const { return markerLine >= 0; }
    bool hasVariantLine() const { return FirstVariantLine <= lastLine; }
    int VariantCount() const { return PlusCount + MinusCount; }
};

// The number of a line that begins with "#" and a digit (leading zeros read
// as such), or -1.
int markerNumber(QStringView line);

// The first marker line of `number` at line `fromLine` or below, or -1.
int findMarkerLine(const RichText &document, int number, int fromLine);

// The first line at `fromLine` or below that begins with "#" and a digit, or -1.
int findAnyMarkerLine(const RichText &document, int fromLine);

// The block of question `number`, its question text and its variant count.
QuestionBlock LocateQuestion(const RichText &document, int number, int questionCount);

// Fills `block.variants` with at most `maxRows` of its VariantCount rows.
void findVariants(const RichText &document, QuestionBlock &block, int maxRows);

// Both of the above.
QuestionBlock readQuestion(const RichText &document, int number, int questionCount, int maxRows);

} // namespace merilon
