#include "recordingsink.h"
#include "shell/rtfreader.h"

#include <QElapsedTimer>
#include <QTest>

using merilon::rtf::Align;
using merilon::rtf::Picture;

namespace {

// Data-driven cases that read a fixture and compare its plain text.
void textColumns()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
}

void compareText()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QCOMPARE(readRtf(rtf).plain(), text);
}

} // namespace

class TestRtfReader : public QObject
{
    Q_OBJECT

private slots:
    void codePages_data();
    void codePages();
    void unicodeAndSkipping_data();
    void unicodeAndSkipping();
    void destinations_data();
    void destinations();
    void symbolsAndBreaks_data();
    void symbolsAndBreaks();
    void characterFormats();
    void colourTable();
    void paragraphAlignment();
    void pictures();
    void envelopeFaults_data();
    void envelopeFaults();
    void deepNestingIsFlattened();
    void binaryLengthIsNotTrusted();
    void looksLikeRtf();
    void richEditJournal();
};

void TestRtfReader::codePages_data()
{
    textColumns();

    QTest::newRow("ansicpg1251")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2}")
        << QStringLiteral("Привет");
    QTest::newRow("raw bytes follow ansicpg")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1251 \xcf\xf0\xe8}") << QStringLiteral("При");
    QTest::newRow("ansi without cpg is 1252")
        << QByteArray("{\\rtf1\\ansi \\'e9\\'e0}") << QStringLiteral("éà");
    QTest::newRow("fcharset204 beats ansicpg1252")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset204 Arial;}"
                      "{\\f1\\froman\\fcharset0 Times;}}\\f0 \\'c4\\'e0 \\f1\\'e9}")
        << QStringLiteral("Да é");
    QTest::newRow("default font's charset")
        << QByteArray("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fcharset204 Arial;}}\\'dd}")
        << QStringLiteral("Э");
    QTest::newRow("fcharset238 central european")
        << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset238 Arial CE;}}\\f0 \\'b9\\'e6}")
        << QStringLiteral("ąć");
    QTest::newRow("fcharset1 is the ansi page")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset1 X;}}\\f0 \\'df}")
        << QStringLiteral("Я");
    QTest::newRow("font switch inside a group ends with it")
        << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset0 A;}{\\f1\\fcharset204 B;}}\\f0 "
                      "{\\f1\\'df}\\'df}")
        << QStringLiteral("Яß");
    QTest::newRow("control character by hex") << QByteArray("{\\rtf1 a\\'4") << QStringLiteral("a");
}

void TestRtfReader::codePages()
{
    compareText();
}

void TestRtfReader::unicodeAndSkipping_data()
{
    textColumns();

    QTest::newRow("default uc1") << QByteArray("{\\rtf1 \\u1071?\\u1103?}") << QStringLiteral("Яя");
    QTest::newRow("negative N") << QByteArray("{\\rtf1 \\u-4064?}") << QString(QChar(0xF020));
    QTest::newRow("uc2 with hex fallback")
        << QByteArray("{\\rtf1\\uc2\\u1071\\'c0\\'c1X}") << QStringLiteral("ЯX");
    QTest::newRow("uc0 skips nothing")
        << QByteArray("{\\rtf1\\uc0\\u1071 X}") << QStringLiteral("ЯX");
    QTest::newRow("uc scoped to group")
        << QByteArray("{\\rtf1{\\uc2\\u1071??}\\u1071?A}") << QStringLiteral("ЯЯA");
    QTest::newRow("skip ends at brace")
        << QByteArray("{\\rtf1\\uc3\\u1071{\\b B}}") << QStringLiteral("ЯB");
    QTest::newRow("uc negative") << QByteArray("{\\rtf1\\uc-5\\u1071 X}") << QStringLiteral("ЯX");
    QTest::newRow("uc huge") << QByteArray("{\\rtf1\\uc99999999999999\\u1071 abc}")
                             << QStringLiteral("Я");
    QTest::newRow("surrogate pair joined")
        << QByteArray("{\\rtf1 \\u-10179?\\u-8704?}") << QStringLiteral("\U0001F600");
    QTest::newRow("lone surrogate replaced")
        << QByteArray("{\\rtf1 \\u-10179?x}") << QStringLiteral("\uFFFDx");
    QTest::newRow("control characters and breaks by number")
        << QByteArray("{\\rtf1 a\\u1?\\u13?\\u9?b\\u8233?c\\u65532?}") << QStringLiteral("a\tb\nc");
    QTest::newRow("N out of range") << QByteArray("{\\rtf1 \\u99999?}") << QStringLiteral("\uFFFD");
    QTest::newRow("upr reads ud only")
        << QByteArray("{\\rtf1{\\upr{\\fonttbl{\\f0 A;}}\\'cf\\'f0{\\*\\ud{\\u1055?\\u1088?}}}}")
        << QStringLiteral("Пр");
}

void TestRtfReader::unicodeAndSkipping()
{
    compareText();
}

void TestRtfReader::destinations_data()
{
    textColumns();

    QTest::newRow("ignorable unknown")
        << QByteArray("{\\rtf1 A{\\*\\unknownword hidden {nested}}B{\\*\\generator x;}C}")
        << QStringLiteral("ABC");
    QTest::newRow("unknown word ignored, text kept")
        << QByteArray("{\\rtf1 A{\\frobnicate7 B}C}") << QStringLiteral("ABC");
    QTest::newRow("stylesheet info header footer")
        << QByteArray("{\\rtf1{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}{\\author W}}"
                      "{\\header H}{\\footer F}X}")
        << QStringLiteral("X");
    QTest::newRow("field result kept, instruction skipped")
        << QByteArray("{\\rtf1 a{\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt link}}b}")
        << QStringLiteral("alinkb");
    QTest::newRow("font table text is not content")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fswiss Arial;}\\f1 Times}Z}") << QStringLiteral("Z");
    QTest::newRow("escaped braces and backslash")
        << QByteArray("{\\rtf1 \\{a\\}\\\\}") << QStringLiteral("{a}\\");
    QTest::newRow("table cell by cell")
        << QByteArray("{\\rtf1\\trowd\\cellx100\\cellx200 A\\cell B\\cell\\row C}")
        << QStringLiteral("A\tB\t\nC");
}

void TestRtfReader::destinations()
{
    compareText();
}

void TestRtfReader::symbolsAndBreaks_data()
{
    textColumns();

    QTest::newRow("par") << QByteArray("{\\rtf1 a\\par b\\par}") << QStringLiteral("a\nb\n");
    QTest::newRow("line starts a line")
        << QByteArray("{\\rtf1 a\\line b}") << QStringLiteral("a\nb");
    QTest::newRow("backslash newline is par")
        << QByteArray("{\\rtf1 a\\\r\nb}") << QStringLiteral("a\nb");
    QTest::newRow("bare newlines ignored") << QByteArray("{\\rtf1 a\r\nb}") << QStringLiteral("ab");
    QTest::newRow("tab") << QByteArray("{\\rtf1 a\\tab b}") << QStringLiteral("a\tb");
    QTest::newRow("nbsp, optional and nonbreaking hyphen")
        << QByteArray("{\\rtf1 a\\~b\\-c\\_d}") << QStringLiteral("a\u00A0bc\u2011d");
    QTest::newRow("dashes and quotes")
        << QByteArray("{\\rtf1 \\emdash\\endash\\lquote\\rquote\\ldblquote\\rdblquote\\bullet}")
        << QStringLiteral("\u2014\u2013\u2018\u2019\u201C\u201D\u2022");
    QTest::newRow("space after word eaten once")
        << QByteArray("{\\rtf1\\b  x}") << QStringLiteral(" x");
}

void TestRtfReader::symbolsAndBreaks()
{
    compareText();
}

void TestRtfReader::characterFormats()
{
    const auto sink = readRtf("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}\\f0\\fs28 "
                              "n\\b b\\i i\\b0\\ul u\\ulnone\\strike s\\plain p{\\f1\\fs20 c}"
                              "\\ul0 x}");
    const auto &runs = sink.paragraphs.at(0).runs;
    QStringList texts;
    for (const auto &run : runs)
        texts << run.text;
    QCOMPARE(texts, (QStringList{"n", "b", "i", "u", "s", "p", "c", "x"}));
    QCOMPARE(runs[0].style.family, QStringLiteral("Arial"));
    QCOMPARE(runs[0].style.halfPoints, 28);
    QVERIFY(runs[1].style.bold && !runs[1].style.italic);
    QVERIFY(runs[2].style.bold && runs[2].style.italic);
    QVERIFY(!runs[3].style.bold && runs[3].style.italic && runs[3].style.underline);
    QVERIFY(!runs[4].style.underline && runs[4].style.strike);
    // \plain resets everything to the defaults, the font to the default font
    QVERIFY(!runs[5].style.italic && !runs[5].style.strike);
    QCOMPARE(runs[5].style.halfPoints, 24);
    QCOMPARE(runs[6].style.family, QStringLiteral("Courier New"));
    QCOMPARE(runs[6].style.halfPoints, 20);
    // the group's end restores the state before it
    QCOMPARE(runs[7].style.halfPoints, 24);
    QVERIFY(!runs[7].style.underline);
}

void TestRtfReader::colourTable()
{
    const auto sink = readRtf("{\\rtf1{\\colortbl;\\red255\\green0\\blue0;\\red0\\green128\\blue0;}"
                              "a\\cf1 r\\cf2 g\\cf0 z\\cf9 o\\cf-3 n}");
    const auto &runs = sink.paragraphs.at(0).runs;
    QCOMPARE(runs.size(), 4);
    QVERIFY(runs[0].style.autoColor);
    QVERIFY(!runs[1].style.autoColor);
    QCOMPARE(runs[1].style.color, qRgb(255, 0, 0));
    QCOMPARE(runs[2].style.color, qRgb(0, 128, 0));
    // index 0, a missing index and a negative one are the automatic colour
    QCOMPARE(runs[3].text, QStringLiteral("zon"));
    QVERIFY(runs[3].style.autoColor);
}

void TestRtfReader::paragraphAlignment()
{
    const auto sink = readRtf("{\\rtf1\\pard\\qc a\\par\\pard b\\par\\qr c\\par\\qj d}");
    QCOMPARE(sink.paragraphs.size(), 4);
    QCOMPARE(sink.paragraphs[0].style.align, Align::Center);
    QCOMPARE(sink.paragraphs[1].style.align, Align::Left);
    QCOMPARE(sink.paragraphs[2].style.align, Align::Right);
    QCOMPARE(sink.paragraphs[3].style.align, Align::Justify);
    QVERIFY(sink.finished);
}

void TestRtfReader::pictures()
{
    // hex, split over lines, with goal size in twips
    auto sink = readRtf("{\\rtf1 a{\\pict\\pngblip\\picwgoal300\\pichgoal150 89504e\r\n470d0a}b}");
    QCOMPARE(sink.plain(), QStringLiteral("a\uFFFCb"));
    QCOMPARE(sink.pictures.size(), 1);
    QCOMPARE(sink.pictures[0].kind, Picture::Kind::Png);
    QCOMPARE(sink.pictures[0].data, QByteArray("\x89PNG\r\n", 6));
    QCOMPARE(sink.pictures[0].widthPx, 20);
    QCOMPARE(sink.pictures[0].heightPx, 10);

    // binary data, jpeg, inside \shppict with a \nonshppict alternative
    static const char withBinary[] = "{\\rtf1{\\*\\shppict{\\pict\\jpegblip\\bin4 \xff\xd8}{x}}"
                                     "{\\nonshppict{\\pict\\wmetafile8 0102}}c}";
    sink = readRtf(QByteArrayView(withBinary, sizeof withBinary - 1));
    QCOMPARE(sink.pictures.size(), 1);
    QCOMPARE(sink.pictures[0].kind, Picture::Kind::Jpeg);
    QCOMPARE(sink.pictures[0].data, QByteArray("\xff\xd8}{", 4));
    QCOMPARE(sink.plain(), QStringLiteral("\uFFFCc"));

    // metafiles and pictures without a format are skipped
    sink = readRtf("{\\rtf1{\\pict\\wmetafile8 0102}{\\pict 0304}d}");
    QVERIFY(sink.pictures.isEmpty());
    QCOMPARE(sink.plain(), QStringLiteral("d"));
}

void TestRtfReader::envelopeFaults_data()
{
    textColumns();

    QTest::newRow("byte-order mark and space")
        << QByteArray("\xEF\xBB\xBF \r\n{\\rtf1 ok}") << QStringLiteral("ok");
    QTest::newRow("NUL and text after final brace")
        << QByteArray("{\\rtf1 ok}\0garbage{\\b x}", 25) << QStringLiteral("ok");
    QTest::newRow("missing final brace keeps content")
        << QByteArray("{\\rtf1 Hello {\\b world") << QStringLiteral("Hello world");
    QTest::newRow("ends inside control word") << QByteArray("{\\rtf1 a\\") << QStringLiteral("a");
    QTest::newRow("ends inside hex") << QByteArray("{\\rtf1 a\\'") << QStringLiteral("a");
    QTest::newRow("extra closing braces") << QByteArray("{\\rtf1 a}}}b") << QStringLiteral("a");
    QTest::newRow("extra closing brace inside")
        << QByteArray("{\\rtf1 {a}}}") << QStringLiteral("a");
    QTest::newRow("control word over 32 letters")
        << QByteArray("{\\rtf1 a\\" + QByteArray(40, 'b') + " c\\" + QByteArray(33, 'p') + "ar d}")
        << QStringLiteral("acd");
    QTest::newRow("word of exactly 32 letters is looked up")
        << QByteArray("{\\rtf1 a\\abcdefghijklmnopqrstuvwxyzabcdef b}") << QStringLiteral("ab");
    QTest::newRow("numbers that overflow")
        << QByteArray("{\\rtf1\\fs99999999999999999999999 a\\f-99999999999999999999 b"
                      "\\u-99999999999999999999?c\\ansicpg99999999999999999 \\'e0}")
        << QStringLiteral("ab\uFFFDcà");
    QTest::newRow("NUL bytes in text") << QByteArray("{\\rtf1 a\0b}", 10) << QStringLiteral("ab");
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("just a brace") << QByteArray("{") << QString();
}

void TestRtfReader::envelopeFaults()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    const auto sink = readRtf(rtf);
    QVERIFY(sink.finished);
    QCOMPARE(sink.plain(), text);
}

void TestRtfReader::deepNestingIsFlattened()
{
    const int depth = 100000;
    QByteArray rtf = "{\\rtf1 a";
    rtf += QByteArray(depth, '{');
    rtf += "\\b deep";
    rtf += QByteArray(depth, '}');
    rtf += " z}tail";
    QElapsedTimer timer;
    timer.start();
    const auto sink = readRtf(rtf);
    QVERIFY2(timer.elapsed() < 5000, "deep nesting must not take long");
    QCOMPARE(sink.plain(), QStringLiteral("adeep z"));
}

void TestRtfReader::binaryLengthIsNotTrusted()
{
    // a length far beyond the input: the rest is skipped, nothing allocated
    const auto sink = readRtf("{\\rtf1 a\\bin999999999999999999 bbbb}");
    QCOMPARE(sink.plain(), QStringLiteral("a"));
    // binary bytes are not RTF: braces inside do not count
    const auto second = readRtf("{\\rtf1 a\\bin3 }}}b}");
    QCOMPARE(second.plain(), QStringLiteral("ab"));
    // \bin as the fallback of \u is skipped as one character with its data
    const auto third = readRtf("{\\rtf1 \\u1071\\bin2 xyc}");
    QCOMPARE(third.plain(), QStringLiteral("Яc"));
}

void TestRtfReader::looksLikeRtf()
{
    QVERIFY(merilon::rtf::looksLikeRtf("{\\rtf1}"));
    QVERIFY(merilon::rtf::looksLikeRtf("\xEF\xBB\xBF\r\n\t {\\rtf"));
    QVERIFY(!merilon::rtf::looksLikeRtf("{\\rt"));
    QVERIFY(!merilon::rtf::looksLikeRtf("x{\\rtf1}"));
    QVERIFY(!merilon::rtf::looksLikeRtf(""));
}

void TestRtfReader::richEditJournal()
{
    // what the Windows rich-edit control writes for a result journal
    QFile file(QStringLiteral(MERILON_TEST_DATA "/richedit-journal.rtf"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const auto sink = readRtf(file.readAll());
    const QString text = sink.plain();
    QVERIFY2(text.startsWith(QStringLiteral("Иванов Петр")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Оценка: 5")));
    QVERIFY(text.contains(QStringLiteral("Сидорова Анна")));
    QCOMPARE(sink.paragraphs[0].runs[0].style.family, QStringLiteral("Times New Roman"));
    QVERIFY(sink.paragraphs[0].runs[0].style.bold);
}

QTEST_GUILESS_MAIN(TestRtfReader)
#include "tst_rtfreader.moc"
