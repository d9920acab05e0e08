#include "testcheck.h"

#include "questionblock.h"
#include "richtext/richtext.h"
#include "richtext/rtfdocument.h"

#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>
#include <map>

namespace merilon {

namespace {

// A line that is the marker of its number: "#", the number without leading
// zeros, then anything but a digit.
struct MarkerLine
{
    int line;
    int number;
    QChar separator; // null at the end of the line
};

std::vector<MarkerLine> markerLines(const RichText &document)
{
    std::vector<MarkerLine> found;
    const QString &text = document.Text();
    qsizetype position = 0;
    while (position < text.size()) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), position);
        if (end < 0)
            end = text.size();
        const QStringView line = QStringView(text).mid(position, end - position);
        const int number = markerNumber(line);
        if (number > 0 && line[1] != QLatin1Char('0')) {
            const qsizetype after = 1 + QString::number(number).size();
            const QChar separator =
                after < line.size() && line[after] != QLatin1Char('\r') ? line[after] : QChar();
            found.push_back(
                {document.LineOfPosition(static_cast<int>(position)), number, separator});
        }
        position = end + 1;
    }
    return found;
}

bool beginsVariant(const QString &line)
{
    return line.startsWith(QLatin1Char('+')) || line.startsWith(QLatin1Char('-'));
}

} // namespace

std::vector<TestProblem> checkTest(const RichText &document, int questionCount)
{
    std::vector<TestProblem> problems;
    const auto error = [&](int question, int line, const QString &text) {
        problems.push_back({true, question, line, text});
    };
    const auto warning = [&](int question, int line, const QString &text) {
        problems.push_back({false, question, line, text});
    };

    // A file that is no test at all is said to be so, not listed question by question.
    const std::vector<MarkerLine> markers = markerLines(document);
    if (document.Text().trimmed().isEmpty()) {
        error(0, -1, QStringLiteral("Файл пуст."));
        return problems;
    }
    if (markers.empty()) {
        error(0, -1,
              QStringLiteral("Файл не похож на тест: в нём нет ни одного вопроса (строк, "
                             "начинающихся с #1, #2, …)."));
        return problems;
    }

    // A test that stops short of the last question is said to be short, not listed question
    // by question.
    int highest = 0;
    int counted = 0;
    std::map<int, int> firstLine;
    for (const MarkerLine &marker : markers) {
        const auto [seen, isNew] = firstLine.emplace(marker.number, marker.line);
        if (isNew && marker.number <= questionCount) {
            highest = std::max(highest, marker.number);
            ++counted;
        }
        if (!isNew) {
            warning(marker.number, marker.line,
                    QStringLiteral("номер вопроса повторяется (впервые — в строке %1): программа "
                                   "покажет только первый, а эта строка войдёт в другой вопрос")
                        .arg(seen->second + 1));
        } else if (marker.number > questionCount) {
            warning(marker.number, marker.line,
                    QStringLiteral("вопрос сверх %1: программа задаёт только вопросы с 1 по %1")
                        .arg(questionCount));
        } else if (!marker.separator.isNull() && marker.separator != QLatin1Char(' ') &&
                   marker.separator != QLatin1Char('\t')) {
            warning(marker.number, marker.line,
                    QStringLiteral("после «#%1» стоит «%2», а не пробел: этот знак не "
                                   "показывается, текст вопроса начнётся после него")
                        .arg(QString::number(marker.number), QString(marker.separator)));
        }
    }

    const bool shortTest = highest < questionCount;
    if (shortTest)
        error(0, -1,
              QStringLiteral("В тесте должно быть %1 вопросов (от #1 до #%1), а в этом файле их "
                             "%2. Допишите вопросы с #%3 по #%1.")
                  .arg(questionCount)
                  .arg(counted)
                  .arg(highest + 1));

    QuestionBlock previous;
    for (int number = 1; number <= (shortTest ? highest : questionCount); ++number) {
        const QuestionBlock block = readQuestion(document, number, questionCount, MaxVariantRows);
        if (!block.found()) {
            error(number, -1, QStringLiteral("нет строки, которая начинается с «#%1»").arg(number));
            previous = block;
            continue;
        }
        if (previous.found() && block.markerLine < previous.markerLine)
            error(number, block.markerLine,
                  QStringLiteral("стоит выше вопроса %1 (строка %2): вопросы должны идти по "
                                 "порядку номеров")
                      .arg(number - 1)
                      .arg(previous.markerLine + 1));
        previous = block;

        const bool lost =
            block.nextMarkerLine >= 0 && beginsVariant(document.Lines()[block.lastLine]);
        const QString lostText =
            lost ? QStringLiteral("вариант в строке %1 стоит прямо перед «#%2» и потому не "
                                  "считается: перед следующим вопросом нужна пустая строка")
                       .arg(block.lastLine + 1)
                       .arg(markerNumber(document.Lines()[block.nextMarkerLine]))
                 : QString();
        if (block.VariantCount() == 0) {
            error(number, block.markerLine,
                  lost ? QStringLiteral("нет ни одного варианта ответа: ") + lostText
                       : QStringLiteral("нет ни одного варианта ответа (строки, которая "
                                        "начинается с «+» или «-»)"));
            continue;
        }
        if (block.VariantCount() > MaxVariantRows) {
            error(number, block.markerLine,
                  QStringLiteral("вариантов ответа %1, а показать можно не больше %2 (от A до J)")
                      .arg(block.VariantCount())
                      .arg(MaxVariantRows));
            continue;
        }
        if (block.PlusCount == 0)
            warning(number, block.markerLine,
                    QStringLiteral("нет верного варианта (строки, которая начинается с «+»): "
                                   "ответить на вопрос верно нельзя"));
        if (lost)
            warning(number, block.lastLine, lostText);
        for (int line : block.underscoreRows)
            warning(number, line,
                    QStringLiteral("строка начинается с «_» и занимает вариант ответа как "
                                   "неверный, поэтому последний вариант вопроса не показывается"));
        for (int line : block.emptyLinesBetween)
            warning(number, line,
                    QStringLiteral("пустая строка между вариантами: вариант выше заканчивается "
                                   "на ней"));
    }

    // Pictures this system cannot draw keep their place as an empty frame.
    for (QTextBlock b = document.document()->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (!format.isImageFormat() || !format.toImageFormat().name().startsWith(
                                               QLatin1String(rtf::kUndrawnPicturePrefix)))
                continue;
            const int line = b.blockNumber();
            const auto owner = std::find_if(markers.rbegin(), markers.rend(),
                                            [line](const MarkerLine &m) { return m.line <= line; });
            if (owner != markers.rend() && owner->number <= questionCount)
                warning(owner->number, line,
                        QStringLiteral("рисунок здесь не будет показан (его формат на этом "
                                       "компьютере нарисовать нельзя): на его месте будет пустая "
                                       "рамка; вставьте его в тест как PNG или JPEG"));
        }
    }

    std::stable_sort(
        problems.begin(), problems.end(), [](const TestProblem &a, const TestProblem &b) {
            return a.question != b.question ? a.question < b.question : a.line < b.line;
        });
    return problems;
}

bool hasErrors(const std::vector<TestProblem> &problems)
{
    return std::any_of(problems.begin(), problems.end(),
                       [](const TestProblem &p) { return p.error; });
}

QString describeProblem(const TestProblem &problem)
{
    if (problem.question == 0)
        return problem.text;
    if (problem.line < 0)
        return QStringLiteral("Вопрос %1: %2.")
            .arg(QString::number(problem.question), problem.text);
    return QStringLiteral("Вопрос %1, строка %2: %3.")
        .arg(QString::number(problem.question), QString::number(problem.line + 1), problem.text);
}

QString refusalMessage(const std::vector<TestProblem> &problems)
{
    constexpr int kShown = 10;
    // What is wrong with the file as a whole leads; the questions' errors follow it.
    const auto whole = std::find_if(problems.begin(), problems.end(), [](const TestProblem &p) {
        return p.error && p.question == 0;
    });
    const auto questionErrors = std::count_if(
        problems.begin(), problems.end(), [](const auto &p) { return p.error && p.question != 0; });
    if (whole != problems.end() && questionErrors == 0)
        return QStringLiteral("Этот тест открыть нельзя. ") + whole->text;
    QString message =
        whole != problems.end()
            ? QStringLiteral("Этот тест открыть нельзя. %1\n\nКроме того:\n").arg(whole->text)
            : QStringLiteral("Этот тест открыть нельзя: программа не сможет показать "
                             "некоторые его вопросы.\n\n");
    int errors = 0;
    for (const TestProblem &problem : problems) {
        if (!problem.error || problem.question == 0)
            continue;
        if (errors++ < kShown)
            message += describeProblem(problem) + QLatin1Char('\n');
    }
    if (errors > kShown)
        message += QStringLiteral("…и ещё %1.\n").arg(errors - kShown);
    message += QStringLiteral("\nИсправьте файл теста и откройте его снова.");
    return message;
}

} // namespace merilon
