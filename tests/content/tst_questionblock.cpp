#include "content/questionblock.h"
#include "richtext/richtext.h"

#include <QRandomGenerator>
#include <QTest>

using namespace merilon;

namespace {

// `count` copies of `value`.
template <typename T> QList<T> copies(int count, const T &value)
{
    QList<T> list;
    for (int i = 0; i < count; ++i)
        list.append(value);
    return list;
}

// What the display takes out of a question, as plain text.
struct Shown
{
    bool found = false;
    int count = 0;
    QString question;
    QStringList rows;
    QList<bool> correct;
};

Shown show(const QString &text, int number, int questionCount)
{
    RichText document;
    document.setPlain(text);
    const QuestionBlock block = readQuestion(document, number, questionCount, MaxVariantRows);
    Shown shown;
    shown.found = block.found();
    shown.count = block.VariantCount();
    if (!shown.found)
        return shown;
    shown.question = document.rangeText(block.textFrom, block.textTo);
    for (const Variant &v : block.variants) {
        shown.rows << document.rangeText(v.from, v.to);
        shown.correct << v.correct;
    }
    return shown;
}

} // namespace

class TestQuestionBlock : public QObject
{
    Q_OBJECT

private slots:
    void showsQuestion_data();
    void showsQuestion();
    void markersCountOnlyAtLineStart();
    void reportsWhatTheCheckerNeeds();
    void staysInsideAnyDocument();
};

void TestQuestionBlock::showsQuestion_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QList<bool>>("correct");

    const QString next = QStringLiteral("#8 Следующий\n+x\n\n");
    QTest::newRow("worked example")
        << "#7 How many sides has a triangle?\n+3\n-4\n-6\n\n" + next << 7 << 3
        << "How many sides has a triangle?\n"
        << QStringList{"3\n", "4\n", "6\n"} << QList<bool>{true, false, false};
    QTest::newRow("full stop and space after the marker")
        << "#7. Вопрос\n+a\n\n" + next << 7 << 1 << " Вопрос\n"
        << QStringList{"a\n"} << QList<bool>{true};
    QTest::newRow("no separator") << "#7Вопрос\n+a\n\n" + next << 7 << 1 << "опрос\n"
                                  << QStringList{"a\n"} << QList<bool>{true};
    QTest::newRow("same text twice") << "#7 Q\n+да\n-да\n\n" + next << 7 << 2 << "Q\n"
                                     << QStringList{"да\n", "да\n"} << QList<bool>{true, false};
    QTest::newRow("hidden lines") << "#7 Q\n@скрыто\nтоже скрыто\n+a\n-b\n\n" + next << 7 << 2
                                  << "Q\n"
                                  << QStringList{"a\n", "b\n"} << QList<bool>{true, false};
    QTest::newRow("continuations of a variant")
        << "#7 Q\n+a\n@ещё a\n-b\n_и b\n\n" + next << 7 << 2 << "Q\n"
        << QStringList{"a\n@ещё a\n", "b\n_и b\n"} << QList<bool>{true, false};
    QTest::newRow("underscore line takes the first row")
        << "#7 Q\n_x\n+a\n-b\n\n" + next << 7 << 2 << "Q\n"
        << QStringList{"x\n", "a\n"} << QList<bool>{false, true};
    QTest::newRow("line before the next marker not counted")
        << "#7 Q\n+a\n-b\n" + next << 7 << 1 << "Q\n"
        << QStringList{"a\n"} << QList<bool>{true};
    QTest::newRow("one variant") << "#7 Q\n-a\n\n" + next << 7 << 1 << "Q\n"
                                 << QStringList{"a\n"} << QList<bool>{false};
    QTest::newRow("last question runs to the end")
        << "#7 Q\n-a\n+b\nещё\n\n"
        << 7 << 2 << "Q\n"
        << QStringList{"a\n", "b\nещё\n\n"} << QList<bool>{false, true};
    QTest::newRow("empty line after the last variant keeps the rule")
        << "#7 Q\n+a\n-b\n\nпримечание\n\n" + next << 7 << 2 << "Q\n"
        << QStringList{"a\n", "b\n\nпримечание\n"} << QList<bool>{true, false};

    // Where the plain search of the format goes wrong, the lines decide.
    QTest::newRow("question containing a variant line's text")
        << "#7 Сколько будет 2-1?\n-1\n+1\n\n" + next << 7 << 2 << "Сколько будет 2-1?\n"
        << QStringList{"1\n", "1\n"} << QList<bool>{false, true};
    QTest::newRow("question containing @")
        << "#7 Адрес a@b.ru?\n@скрыто\n+a\n\n" + next << 7 << 1 << "Адрес a@b.ru?\n"
        << QStringList{"a\n"} << QList<bool>{true};
    QTest::newRow("bare marker after a hyphenated variant")
        << "#7 Q\n+кто-то\n-\n\n" + next << 7 << 2 << "Q\n"
        << QStringList{"кто-то\n", "\n"} << QList<bool>{true, false};
    QTest::newRow("variant text found earlier")
        << "#7 Q\n+-11\n-1\n\n" + next << 7 << 2 << "Q\n"
        << QStringList{"-11\n", "1\n"} << QList<bool>{true, false};
    QTest::newRow("last variant stops at the block's end")
        << "#7 Q\n+a\n-b\nещё b\n#8 Следующий\n+x\n\n"
        << 7 << 2 << "Q\n"
        << QStringList{"a\n", "b\nещё b"} << QList<bool>{true, false};
    QTest::newRow("question of several paragraphs")
        << "#7 Первый абзац\n\nВторой абзац\n+a\n\n" + next << 7 << 1
        << "Первый абзац\n\nВторой абзац\n"
        << QStringList{"a\n"} << QList<bool>{true};
    QTest::newRow("questions beyond the last")
        << "#7 Q\n+a\n-b\n\n#8 Лишний\n+z\n\n"
        << 7 << 2 << "Q\n"
        << QStringList{"a\n", "b\n"} << QList<bool>{true, false};
    QTest::newRow("no line break at the end")
        << "#7 Q\n+a\n-b" << 7 << 2 << "Q\n"
        << QStringList{"a\n", "b"} << QList<bool>{true, false};
    QTest::newRow("empty line between variants")
        << "#7 Q\n+a\n\n-b\n\n" + next << 7 << 2 << "Q\n"
        << QStringList{"a\n", "b\n"} << QList<bool>{true, false};
    QTest::newRow("more variants than rows")
        << "#7 Q\n" + QStringLiteral("-v\n").repeated(12) + "\n" + next << 7 << 12 << "Q\n"
        << QStringList(copies<QString>(10, "v\n")) << copies(10, false);
}

void TestQuestionBlock::showsQuestion()
{
    QFETCH(QString, text);
    QFETCH(int, number);
    QFETCH(int, count);
    // question 7 is the last one unless the text goes on to question 8
    const int questionCount = text.contains(QStringLiteral("#8 Следующий")) ? 8 : 7;
    const Shown shown = show(text, number, questionCount);
    QVERIFY(shown.found);
    QCOMPARE(shown.count, count);
    QTEST(shown.question, "question");
    QTEST(shown.rows, "rows");
    QTEST(shown.correct, "correct");
}

void TestQuestionBlock::markersCountOnlyAtLineStart()
{
    const QString text = QStringLiteral("Ответы на #1 и #2 пишите сами.\n\n"
                                        "#10 Десятый\n+x\n\n"
                                        "#1 Первый, не #2\n+a\n\n"
                                        "#2 Второй\n+b\n\n");
    RichText document;
    document.setPlain(text);
    QCOMPARE(findMarkerLine(document, 1, 0), 5);
    QCOMPARE(findMarkerLine(document, 10, 0), 2);
    QCOMPARE(findMarkerLine(document, 2, 0), 8);
    QCOMPARE(findMarkerLine(document, 3, 0), -1);
    QCOMPARE(findAnyMarkerLine(document, 3), 5);
    QCOMPARE(markerNumber(u"#012 x"), 12);
    QCOMPARE(markerNumber(u"# 1"), -1);

    const Shown first = show(text, 1, 2);
    QCOMPARE(first.question, QStringLiteral("Первый, не #2\n"));
    QCOMPARE(first.rows, QStringList{"a\n"});
    QVERIFY(!show(text, 3, 3).found);
}

void TestQuestionBlock::reportsWhatTheCheckerNeeds()
{
    RichText document;
    document.setPlain(QStringLiteral("#1 Q\n_x\n+a\n\n-b\n-c\n#2 R\n+d\n"));
    const QuestionBlock block = readQuestion(document, 1, 2, MaxVariantRows);
    QCOMPARE(block.markerLine, 0);
    QCOMPARE(block.nextMarkerLine, 6);
    QCOMPARE(block.lastLine, 5);
    QCOMPARE(block.FirstVariantLine, 1);
    QCOMPARE(block.LastVariantLine, 4);
    QCOMPARE(block.PlusCount, 1);
    QCOMPARE(block.MinusCount, 1);
    QCOMPARE(block.underscoreRows, std::vector<int>{1});
    QCOMPARE(block.emptyLinesBetween, std::vector<int>{3});
    QCOMPARE(block.BlockEnd, document.LineIndex(6) - 1);

    const QuestionBlock last = LocateQuestion(document, 2, 2);
    QCOMPARE(last.BlockEnd, document.TextLength());
    QCOMPARE(last.LastVariantLine, document.Lines().Count() - 1);
}

void TestQuestionBlock::staysInsideAnyDocument()
{
    // Lines of every kind in random order: whatever the document, every
    // range lies inside it and every row has a line of its own.
    const QStringList pieces = {"#1 a", "#2 b", "#3", "#21 c", "+x", "-y",   "_z",   "@w",
                                "",     "",     "-",  "+",     "#",  "#1#2", "текст"};
    QRandomGenerator random(20261208);
    for (int round = 0; round < 400; ++round) {
        QStringList lines;
        const int count = random.bounded(1, 25);
        for (int i = 0; i < count; ++i)
            lines << pieces[random.bounded(pieces.size())];
        const QString text = lines.join(QLatin1Char('\n')) + (random.bounded(2) ? "\n" : "");
        RichText document;
        document.setPlain(text);
        const int length = document.TextLength();
        for (int number = 1; number <= 3; ++number) {
            const QuestionBlock block = readQuestion(document, number, 3, MaxVariantRows);
            if (!block.found())
                continue;
            QVERIFY2(0 <= block.textFrom && block.textFrom <= block.textTo &&
                         block.textTo <= length,
                     qPrintable(text));
            QVERIFY(static_cast<int>(block.variants.size()) <=
                    std::min(block.VariantCount(), MaxVariantRows));
            for (const Variant &v : block.variants) {
                QVERIFY2(0 <= v.from && v.from <= v.to && v.to <= length, qPrintable(text));
                QVERIFY(v.line > block.markerLine && v.line <= block.lastLine);
            }
        }
    }
}

QTEST_MAIN(TestQuestionBlock)
#include "tst_questionblock.moc"
