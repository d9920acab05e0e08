#include "richtext/richtext.h"
#include "richtext/rtfdocument.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

namespace {

struct Span
{
    QString text;
    QTextCharFormat format;
};

QList<Span> spans(const QTextDocument &doc)
{
    QList<Span> out;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it)
            out.append({it.fragment().text(), it.fragment().charFormat()});
    }
    return out;
}

QTextDocument *readBack(const QByteArray &rtf, QObject *parent)
{
    auto *doc = new QTextDocument(parent);
    QTextCursor cursor(doc);
    merilon::rtf::insertRtf(rtf, cursor);
    return doc;
}

} // namespace

class TestRtfWriter : public QObject
{
    Q_OBJECT

private slots:
    void envelope();
    void formatsRoundTrip();
    void alignmentAndParagraphsRoundTrip();
    void textEscapingRoundTrip_data();
    void textEscapingRoundTrip();
    void pictureRoundTrip();
    void photosAreDecodedAtTheSizeShown_data();
    void photosAreDecodedAtTheSizeShown();
    void hugePicturesAreRefusedUnread();
    void programDataRoundTrip();
    void foundByFuzzing();
};

void TestRtfWriter::envelope()
{
    QTextDocument latin;
    latin.setPlainText(QStringLiteral("plain"));
    const QByteArray a = merilon::rtf::writeRtf(latin);
    QVERIFY(a.startsWith("{\\rtf1\\ansi\\ansicpg1251\\deff0"));
    QVERIFY(a.contains("{\\fonttbl{\\f0"));
    QVERIFY(a.contains("\\fcharset0 "));
    QVERIFY(a.contains("{\\colortbl ;"));
    QVERIFY(a.trimmed().endsWith('}'));

    QTextDocument cyrillic;
    cyrillic.setPlainText(QStringLiteral("Журнал"));
    const QByteArray b = merilon::rtf::writeRtf(cyrillic);
    QVERIFY(b.contains("\\fcharset204 "));
    // non-ASCII as \uN with a Windows-1251 fallback, nothing above 127 raw
    QVERIFY(b.contains("\\u1046\\'c6"));
    for (const char c : b)
        QVERIFY(static_cast<unsigned char>(c) < 0x80);
}

void TestRtfWriter::formatsRoundTrip()
{
    QTextDocument doc;
    QTextCursor cursor(&doc);
    auto add = [&](const QString &text, auto setup) {
        QTextCharFormat format;
        format.setFontFamilies({QStringLiteral("Times New Roman")});
        format.setFontPointSize(12);
        setup(format);
        cursor.insertText(text, format);
    };
    add("обычный ", [](QTextCharFormat &) {});
    add("жирный ", [](QTextCharFormat &f) { f.setFontWeight(QFont::Bold); });
    add("курсив ", [](QTextCharFormat &f) { f.setFontItalic(true); });
    add("подчерк ", [](QTextCharFormat &f) { f.setFontUnderline(true); });
    add("зачерк ", [](QTextCharFormat &f) { f.setFontStrikeOut(true); });
    add("красный ", [](QTextCharFormat &f) { f.setForeground(QColor(255, 0, 0)); });
    add("синий ", [](QTextCharFormat &f) { f.setForeground(QColor(0, 0, 200)); });
    add("крупный ", [](QTextCharFormat &f) { f.setFontPointSize(16.5); });
    add("моно", [](QTextCharFormat &f) { f.setFontFamilies({QStringLiteral("Courier New")}); });

    const QByteArray rtf = merilon::rtf::writeRtf(doc);
    QTextDocument *back = readBack(rtf, this);
    QCOMPARE(back->toPlainText(), doc.toPlainText());

    const QList<Span> want = spans(doc);
    const QList<Span> got = spans(*back);
    QCOMPARE(got.size(), want.size());
    for (int i = 0; i < want.size(); ++i) {
        const QTextCharFormat &w = want[i].format;
        const QTextCharFormat &g = got[i].format;
        QCOMPARE(got[i].text, want[i].text);
        QCOMPARE(g.fontFamilies(), w.fontFamilies());
        QCOMPARE(g.fontPointSize(), w.fontPointSize());
        QCOMPARE(g.fontWeight() >= QFont::DemiBold, w.fontWeight() >= QFont::DemiBold);
        QCOMPARE(g.fontItalic(), w.fontItalic());
        QCOMPARE(g.fontUnderline(), w.fontUnderline());
        QCOMPARE(g.fontStrikeOut(), w.fontStrikeOut());
        QCOMPARE(g.hasProperty(QTextFormat::ForegroundBrush),
                 w.hasProperty(QTextFormat::ForegroundBrush));
        if (w.hasProperty(QTextFormat::ForegroundBrush))
            QCOMPARE(g.foreground().color(), w.foreground().color());
    }
    // the same colour is written once
    QCOMPARE(rtf.count("\\red255\\green0\\blue0;"), 1);
}

void TestRtfWriter::alignmentAndParagraphsRoundTrip()
{
    QTextDocument doc;
    QTextCursor cursor(&doc);
    const Qt::Alignment aligns[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight,
                                    Qt::AlignJustify, Qt::AlignLeft};
    for (int i = 0; i < 5; ++i) {
        if (i > 0)
            cursor.insertBlock();
        QTextBlockFormat block;
        block.setAlignment(aligns[i]);
        cursor.setBlockFormat(block);
        cursor.insertText(i == 4 ? QString() : QStringLiteral("строка %1").arg(i));
    }
    QTextDocument *back = readBack(merilon::rtf::writeRtf(doc), this);
    QCOMPARE(back->blockCount(), 5);
    QCOMPARE(back->toPlainText(), doc.toPlainText());
    int i = 0;
    for (QTextBlock b = back->begin(); b.isValid(); b = b.next(), ++i)
        QCOMPARE(b.blockFormat().alignment() & Qt::AlignHorizontal_Mask, aligns[i]);
}

void TestRtfWriter::textEscapingRoundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("rtf specials") << QStringLiteral("a\\b{c}d \\par {\\rtf1}");
    QTest::newRow("tab and nbsp") << QStringLiteral("a\tb\u00A0c");
    QTest::newRow("yo and quotes") << QStringLiteral("Ёё «ёлка» — “x”");
    QTest::newRow("outside 1251") << QStringLiteral("Ωα ą 中文");
    QTest::newRow("outside the BMP") << QStringLiteral("smile \U0001F600 end");
    QTest::newRow("digits after unicode") << QStringLiteral("Я123 Я-5");
}

void TestRtfWriter::textEscapingRoundTrip()
{
    QFETCH(QString, text);
    QTextDocument doc;
    doc.setPlainText(text);
    QTextDocument *back = readBack(merilon::rtf::writeRtf(doc), this);
    QCOMPARE(back->toRawText(), text);
}

void TestRtfWriter::pictureRoundTrip()
{
    QImage image(7, 5, QImage::Format_ARGB32);
    image.fill(QColor(10, 200, 30));
    merilon::RichText source;
    source.setPlain(QStringLiteral("до  после"));
    QTextDocument *doc = source.document();
    doc->addResource(QTextDocument::ImageResource, QUrl("merilon-image:test"), image);
    QTextCursor cursor(doc);
    cursor.setPosition(3);
    QTextImageFormat format;
    format.setName(QStringLiteral("merilon-image:test"));
    format.setWidth(14);
    format.setHeight(10);
    cursor.insertImage(format);

    const QByteArray rtf = source.toRtf();
    QVERIFY(rtf.contains("{\\pict\\pngblip"));

    merilon::RichText back;
    back.setRtf(rtf);
    QCOMPARE(back.Text(), source.Text());
    QTextCursor at(back.document());
    at.setPosition(4);
    const QTextImageFormat got = at.charFormat().toImageFormat();
    QVERIFY(got.isValid());
    QCOMPARE(got.width(), 14.0);
    QCOMPARE(got.height(), 10.0);
    const QImage shown =
        back.document()->resource(QTextDocument::ImageResource, QUrl(got.name())).value<QImage>();
    QCOMPARE(shown.size(), QSize(7, 5));
    QCOMPARE(shown.pixelColor(3, 2), QColor(10, 200, 30));
}

void TestRtfWriter::photosAreDecodedAtTheSizeShown_data()
{
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<QByteArray>("blip");
    QTest::addColumn<QByteArray>("shownAt"); // the picture's size words
    QTest::addColumn<QSize>("shown");
    QTest::addColumn<QSize>("mostDecoded");
    // A photo of 1600 x 1200 shown at 200 x 150: decoded no larger than it shows.
    QTest::newRow("jpeg by goal") << QByteArray("JPEG") << QByteArray("jpegblip")
                                  << QByteArray("\\picwgoal3000\\pichgoal2250") << QSize(200, 150)
                                  << QSize(200, 150);
    QTest::newRow("jpeg by scale") << QByteArray("JPEG") << QByteArray("jpegblip")
                                   << QByteArray("\\picwgoal24000\\pichgoal18000"
                                                 "\\picscalex15\\picscaley15")
                                   << QSize(240, 180) << QSize(240, 180);
    QTest::newRow("png by goal") << QByteArray("PNG") << QByteArray("pngblip")
                                 << QByteArray("\\picwgoal3000\\pichgoal2250") << QSize(200, 150)
                                 << QSize(200, 150);
    // No size given: shown at its own, but decoded no larger than the screen.
    const QSize screen = QGuiApplication::primaryScreen()->availableSize();
    const QSize onScreen = QSize(1600, 1200).scaled(screen, Qt::KeepAspectRatio);
    QTest::newRow("jpeg, no size") << QByteArray("JPEG") << QByteArray("jpegblip") << QByteArray()
                                   << QSize(1600, 1200) << onScreen;
    // Not even its pixels declared (\\picw): shown at the size its own bytes give.
    QTest::newRow("jpeg, no size words") << QByteArray("JPEG") << QByteArray("jpegblip")
                                         << QByteArray() << QSize(1600, 1200) << onScreen;
    // Shown larger than it is: never decoded larger than it is (nor than the screen).
    QTest::newRow("jpeg shown larger")
        << QByteArray("JPEG") << QByteArray("jpegblip")
        << QByteArray("\\picwgoal36000\\pichgoal27000") << QSize(2400, 1800) << onScreen;
}

void TestRtfWriter::photosAreDecodedAtTheSizeShown()
{
    QFETCH(QByteArray, format);
    QFETCH(QByteArray, blip);
    QFETCH(QByteArray, shownAt);
    QFETCH(QSize, shown);
    QFETCH(QSize, mostDecoded);
    QImage photo(1600, 1200, QImage::Format_RGB32);
    photo.fill(QColor(200, 120, 40));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(photo.save(&buffer, format.constData()));
    const QByteArray declared = QByteArrayView(QTest::currentDataTag()) == "jpeg, no size words"
                                    ? QByteArray()
                                    : QByteArray("\\picw1600\\pich1200");
    const QByteArray rtf =
        "{\\rtf1 a{\\pict\\" + blip + declared + shownAt + " " + bytes.toHex() + "}b}";

    merilon::RichText text;
    text.setRtf(rtf);
    QTextCursor at(text.document());
    at.setPosition(2);
    const QTextImageFormat image = at.charFormat().toImageFormat();
    QVERIFY(image.isValid());
    QCOMPARE(QSize(qRound(image.width()), qRound(image.height())), shown);
    const QImage decoded =
        text.document()->resource(QTextDocument::ImageResource, QUrl(image.name())).value<QImage>();
    QVERIFY(!decoded.isNull());
    QVERIFY2(decoded.width() <= mostDecoded.width() && decoded.height() <= mostDecoded.height(),
             qPrintable(QStringLiteral("%1 x %2").arg(decoded.width()).arg(decoded.height())));
    QVERIFY(decoded.width() >= mostDecoded.width() - 1); // and no smaller than that
    QCOMPARE(decoded.pixelColor(decoded.width() / 2, decoded.height() / 2).red() / 10, 20);

    // Written back, the picture is its own bytes at its own size, shown as before: nothing
    // of it is lost to the smaller copy on the screen.
    const QByteArray written = text.toRtf();
    QVERIFY2(written.contains("{\\pict\\" + blip + "\\picw1600\\pich1200\\picwgoal" +
                              QByteArray::number(shown.width() * 15) + "\\pichgoal" +
                              QByteArray::number(shown.height() * 15)),
             written.left(200).constData());
    QVERIFY(QByteArray(written).replace('\n', "").contains(bytes.toHex()));
    // and so it stays through another reading and writing
    merilon::RichText again;
    again.setRtf(written);
    QCOMPARE(again.toRtf(), written);
}

void TestRtfWriter::hugePicturesAreRefusedUnread()
{
    // A PNG and a metafile that declare 30,000 x 30,000 pixels: nothing of that size is
    // allocated; each keeps its place, as an empty frame, at the size the document gives.
    const QByteArray png = QByteArray::fromHex("89504e470d0a1a0a0000000d49484452"
                                               "0000753000007530080600000066c4d4c5");
    const QByteArray rtf = "{\\rtf1 a{\\pict\\pngblip\\picwgoal1500\\pichgoal1500 " + png.toHex() +
                           "}b{\\pict\\wmetafile8\\picwgoal450000\\pichgoal450000 "
                           "010009000003090000000000000003000000000000}c}";
    QTextDocument document;
    QTextCursor cursor(&document);
    QElapsedTimer timer;
    timer.start();
    merilon::rtf::insertRtf(rtf, cursor);
    QVERIFY(timer.elapsed() < 2000);
    QList<QTextImageFormat> pictures;
    for (const Span &span : spans(document))
        if (span.format.isImageFormat())
            pictures << span.format.toImageFormat();
    QCOMPARE(pictures.size(), 2);
    QCOMPARE(pictures[0].width(), 100.0);
    QCOMPARE(pictures[1].width(), 10000.0); // the reader's own bound on a size
    for (const QTextImageFormat &picture : pictures) {
        QVERIFY(picture.name().startsWith(QLatin1String(merilon::rtf::kUndrawnPicturePrefix)));
        const QImage frame =
            document.resource(QTextDocument::ImageResource, QUrl(picture.name())).value<QImage>();
        QVERIFY(!frame.isNull() && frame.width() <= 128 && frame.height() <= 128);
    }
    QCOMPARE(document.toPlainText().remove(QChar::ObjectReplacementCharacter),
             QStringLiteral("abc"));
}

void TestRtfWriter::programDataRoundTrip()
{
    // The data rides on one character: written before it, read back onto it, kept through a
    // copy into another document, and of no concern to the text.
    merilon::RichText text;
    text.setPlain(QStringLiteral(" Фамилия имя: Иванов\n Оценка: 5"));
    text.setCharacterData(0, "v=1&id=abc");
    text.setCharacterData(text.LineIndex(1), "second");
    const QByteArray rtf = text.toRtf();
    QCOMPARE(rtf.count("{\\*\\merilondata "), 2);

    merilon::RichText back;
    back.setRtf(rtf);
    QCOMPARE(back.Text(), text.Text());
    QCOMPARE(back.characterData(0), QByteArray("v=1&id=abc"));
    QVERIFY(back.characterData(1).isEmpty());
    QCOMPARE(back.characterData(back.LineIndex(1)), QByteArray("second"));

    merilon::RichText copy;
    copy.setPlain(QStringLiteral("старое"));
    back.SelectAll();
    copy.SetSelStart(0);
    copy.insertSelectionOf(back);
    merilon::RichText again;
    again.setRtf(copy.toRtf());
    QCOMPARE(again.characterData(0), QByteArray("v=1&id=abc"));

    // Characters side by side with the same data and format are one fragment to the document;
    // each keeps its data through a file written and read twice.
    merilon::RichText twins;
    twins.setPlain(QStringLiteral("ab\U0001F4D8c"));
    for (int i : {0, 1, 2}) // 2 is the pair
        twins.setCharacterData(i, "same");
    merilon::RichText twice;
    twice.setRtf(twins.toRtf());
    twice.setRtf(twice.toRtf());
    QCOMPARE(twice.Text(), twins.Text());
    for (int i : {0, 1, 2})
        QCOMPARE(twice.characterData(i), QByteArray("same"));
    QVERIFY(twice.characterData(4).isEmpty());

    // Read as Word writes an ignorable group: nested groups add to it, control words in it are
    // no text, a paragraph break before the text carries it over, and it is skipped where it
    // cannot belong.
    merilon::RichText read;
    read.setRtf(
        "{\\rtf1{\\*\\merilondata a{\\b b}c\\par d}\\par X{\\fonttbl{\\*\\merilondata z}}Y}");
    QCOMPARE(read.Text(), QStringLiteral("\r\nXY"));
    QCOMPARE(read.characterData(2), QByteArray("abcd"));
    QVERIFY(read.characterData(3).isEmpty());
}

void TestRtfWriter::foundByFuzzing()
{
    // What is written reads back as the same text and data: two undrawable pictures side by
    // side, which share one frame and so one fragment; the program's data before a character
    // beyond the 16-bit range, which is two code units and must not be split.
    for (const char *name :
         {"roundtrip-object-in-picture.rtf", "roundtrip-data-before-astral.rtf"}) {
        QFile file(QStringLiteral(MERILON_TEST_DATA "/") + QLatin1String(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QTextDocument document;
        QTextCursor cursor(&document);
        merilon::rtf::insertRtf(file.readAll(), cursor);
        QTextDocument again;
        QTextCursor second(&again);
        const QByteArray written = merilon::rtf::writeRtf(document);
        merilon::rtf::insertRtf(written, second);
        QCOMPARE(again.toRawText(), document.toRawText());
        QVERIFY(!document.toRawText().contains(QChar::ReplacementCharacter));
        const auto data = [](const QTextDocument &in) {
            QList<QByteArray> found;
            for (const Span &span : spans(in))
                if (const QByteArray data = merilon::rtf::dataOf(span.format); !data.isEmpty())
                    found << data;
            return found;
        };
        QCOMPARE(data(again), data(document));
    }
}

QTEST_MAIN(TestRtfWriter)
#include "tst_rtfwriter.moc"
