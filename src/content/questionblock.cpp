#include "questionblock.h"

#include "richtext/richtext.h"

#include <QString>
#include <algorithm>

namespace merilon {

namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The first character of a line; a null character for an empty line and for
// a line past the end.
QChar lead(const RichText &document, int line)
{
    const QString &text = document.Text();
    const int start = document.LineIndex(line);
    if (start < 0 || start >= text.size() || text[start] == QLatin1Char('\r'))
        return {};
    return text[start];
}

bool isVariantMark(QChar c)
{
    return c == QLatin1Char('+') || c == QLatin1Char('-');
}

// Whether a line from `from` to `to` begins with '+' or '-'.
bool anyVariantLine(const RichText &document, int from, int to)
{
    for (int line = from; line <= to; ++line)
        if (isVariantMark(lead(document, line)))
            return true;
    return false;
}

} // namespace

int markerNumber(QStringView line)
{
    if (line.size() < 2 || line[0] != QLatin1Char('#') || !isDigit(line[1]))
        return -1;
    qint64 number = 0;
    for (qsizetype i = 1; i < line.size() && isDigit(line[i]); ++i)
        number = std::min<qint64>(number * 10 + (line[i].unicode() - '0'), 1'000'000'000);
    return static_cast<int>(number);
}

int findMarkerLine(const RichText &document, int number, int fromLine)
{
    const int from = document.LineIndex(std::max(fromLine, 0));
    if (number < 1 || from < 0)
        return -1;
    const QString &text = document.Text();
    const QString marker = QLatin1Char('#') + QString::number(number);
    for (qsizetype at = text.indexOf(marker, from); at >= 0; at = text.indexOf(marker, at + 1)) {
        const qsizetype after = at + marker.size();
        const bool lineStart = at == 0 || text.at(at - 1) == QLatin1Char('\n');
        if (lineStart && (after >= text.size() || !isDigit(text.at(after))))
            return document.LineOfPosition(static_cast<int>(at));
    }
    return -1;
}

int findAnyMarkerLine(const RichText &document, int fromLine)
{
    int position = document.LineIndex(std::max(fromLine, 0));
    if (position < 0)
        return -1;
    const QString &text = document.Text();
    for (;;) {
        if (position + 1 < text.size() && text[position] == QLatin1Char('#') &&
            isDigit(text[position + 1]))
            return document.LineOfPosition(position);
        const qsizetype next = text.indexOf(QLatin1Char('\n'), position);
        if (next < 0)
            return -1;
        position = static_cast<int>(next) + 1;
    }
}

QuestionBlock LocateQuestion(const RichText &document, int number, int questionCount)
{
    QuestionBlock block;
    block.number = number;
    block.markerLine = findMarkerLine(document, number, 0);
    if (block.markerLine < 0)
        return block;

    const QString &text = document.Text();
    const int length = static_cast<int>(text.size());
    block.QuestionStart = document.LineIndex(block.markerLine);

    int next = -1;
    if (number != questionCount)
        next = findMarkerLine(document, number + 1, block.markerLine + 1);
    if (next < 0)
        next = findAnyMarkerLine(document, block.markerLine + 1);
    block.nextMarkerLine = next;
    if (next >= 0) {
        block.BlockEnd = document.LineIndex(next) - 1;
        block.lastLine = next - 1;
        block.LastVariantLine = next - 2;
        block.runEnd = block.BlockEnd - 1;
    } else {
        block.BlockEnd = length;
        block.lastLine = document.LineOfPosition(length);
        block.LastVariantLine = document.Lines().Count() - 1;
        // Without a line break at its end the text's last character belongs
        // to the variant too.
        block.runEnd = text.endsWith(QLatin1String("\r\n")) ? length - 1 : length;
    }

    // The question text ends at the block's first marker line.
    block.FirstVariantLine = block.lastLine + 1;
    block.QuestionTextEnd = block.runEnd;
    for (int line = block.markerLine + 1; line <= block.lastLine; ++line) {
        const QChar c = lead(document, line);
        if (isVariantMark(c) || c == QLatin1Char('_') || c == QLatin1Char('@')) {
            block.FirstVariantLine = line;
            block.QuestionTextEnd = document.LineIndex(line) - 1;
            break;
        }
    }
    // Past "#", the digits and exactly one separator character.
    const int digits = static_cast<int>(QString::number(number).size());
    block.textFrom = std::min(block.QuestionStart + digits + 2, length);
    block.textTo = std::clamp(block.QuestionTextEnd, block.textFrom, length);

    for (int line = block.FirstVariantLine; line <= block.LastVariantLine; ++line) {
        const QChar c = lead(document, line);
        if (c == QLatin1Char('+'))
            ++block.PlusCount;
        else if (c == QLatin1Char('-'))
            ++block.MinusCount;
    }
    return block;
}

void findVariants(const RichText &document, QuestionBlock &block, int maxRows)
{
    block.variants.clear();
    block.underscoreRows.clear();
    block.emptyLinesBetween.clear();
    if (!block.found())
        return;
    const int length = document.TextLength();
    const int rows = std::min(block.VariantCount(), maxRows);
    int from = block.FirstVariantLine;
    for (int row = 0; row < rows; ++row) {
        // The row's own line: the next that begins with '+', '-' or '_'.
        int own = -1;
        for (int line = from; line <= block.lastLine && own < 0; ++line) {
            const QChar c = lead(document, line);
            if (isVariantMark(c) || c == QLatin1Char('_'))
                own = line;
        }
        if (own < 0)
            return;
        from = own + 1;

        Variant variant;
        variant.line = own;
        const QChar mark = lead(document, own);
        variant.correct = mark == QLatin1Char('+');
        if (mark == QLatin1Char('_'))
            block.underscoreRows.push_back(own);

        // Its text ends at the next '+' or '-' line or at an empty line; an
        // empty line after the last of them lets it run to the block's end.
        int to = block.runEnd;
        for (int line = own + 1; line <= block.lastLine; ++line) {
            const QChar c = lead(document, line);
            if (isVariantMark(c)) {
                to = document.LineIndex(line) - 1;
                break;
            }
            if (c.isNull()) {
                if (anyVariantLine(document, line + 1, block.lastLine)) {
                    to = document.LineIndex(line);
                    block.emptyLinesBetween.push_back(line);
                }
                break;
            }
        }
        variant.from = std::min(document.LineIndex(own) + 1, length);
        variant.to = std::clamp(to, variant.from, length);
        block.variants.push_back(variant);
    }
}

QuestionBlock readQuestion(const RichText &document, int number, int questionCount, int maxRows)
{
    QuestionBlock block = LocateQuestion(document, number, questionCount);
    findVariants(document, block, maxRows);
    return block;
}

} // namespace merilon
