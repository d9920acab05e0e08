// What qtcompat.h promises, checked against whichever Qt the build uses: with Qt 6 these are
// Qt's own classes, and the same cases then hold the Qt 5 versions to what Qt 6 does.
#include "richtext/qtcompat.h"

#include <QBuffer>
#include <QImageWriter>
#include <QTest>
#include <utility>

namespace {

QByteArray encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.write(image);
    return bytes;
}

} // namespace

class TestQtCompat : public QObject
{
    Q_OBJECT

private slots:
    void byteViewLengths();
    void byteViewSearches();
    void byteViewParts();
    void decodesUtf8();
    void decodesUtf8AcrossCalls();
    void decodesUtf16();
    void decodesByName();
    void encodesWithoutMarkUnlessAsked();
    void encodingOfMark_data();
    void encodingOfMark();
    void imagesWithinBound();
};

void TestQtCompat::byteViewLengths()
{
    // An array ends at its first NUL; a pointer with a size keeps every byte.
    const char withNul[] = "ab\0cd";
    QCOMPARE(QByteArrayView(withNul).size(), qsizetype(2));
    QCOMPARE(QByteArrayView(withNul, 5).size(), qsizetype(5));
    const char *pointer = withNul;
    QCOMPARE(QByteArrayView(pointer).size(), qsizetype(2));
    QVERIFY(QByteArrayView().isNull() && QByteArrayView().isEmpty());
    QVERIFY(QByteArrayView(QByteArray()).isNull());
    QVERIFY(!QByteArrayView(QByteArray("")).isNull());
    const QByteArray bytes("x\0y", 3);
    QCOMPARE(QByteArrayView(bytes).size(), qsizetype(3));
    QCOMPARE(QByteArrayView(bytes).toByteArray(), bytes);
    constexpr QByteArrayView constant("MERILON ");
    static_assert(constant.size() == 8);
}

void TestQtCompat::byteViewSearches()
{
    const QByteArrayView view("one\r\ntwo\r\n");
    QCOMPARE(view.indexOf("\r\n"), qsizetype(3));
    QCOMPARE(view.indexOf("\r\n", 4), qsizetype(8));
    QCOMPARE(view.indexOf("\r\n", -2), qsizetype(8)); // counted from the end
    QCOMPARE(view.indexOf("\r\n", -10), qsizetype(3));
    QCOMPARE(view.indexOf('\n', -100), qsizetype(4)); // a byte from the start
    QCOMPARE(view.indexOf(QByteArrayView(""), -100), qsizetype(0));
    QCOMPARE(view.indexOf("three"), qsizetype(-1));
    QCOMPARE(view.indexOf('t'), qsizetype(5));
    QCOMPARE(view.indexOf(QByteArrayView(""), 10), qsizetype(10));
    QCOMPARE(view.indexOf(QByteArrayView(""), 11), qsizetype(-1));
    QVERIFY(view.contains("two") && !view.contains('z'));
    QVERIFY(view.startsWith("one") && !view.startsWith("one\r\ntwo\r\n!"));
    QVERIFY(view.endsWith("\r\n") && view.endsWith('\n') && !view.endsWith("one"));
    QVERIFY(!QByteArrayView().startsWith('a') && QByteArrayView().startsWith(""));
    QVERIFY(view == QByteArray("one\r\ntwo\r\n") && view != "one");
    QVERIFY(QByteArrayView("a\0b", 3) != QByteArrayView("a\0c", 3));
}

void TestQtCompat::byteViewParts()
{
    const QByteArrayView view(" \t{x}\r\n ");
    QCOMPARE(view.trimmed(), QByteArrayView("{x}"));
    QVERIFY(QByteArrayView(" \n").trimmed().isEmpty());
    const QByteArrayView word("sealed");
    QCOMPARE(word.first(3), QByteArrayView("sea"));
    QCOMPARE(word.last(2), QByteArrayView("ed"));
    QCOMPARE(word.sliced(2), QByteArrayView("aled"));
    QCOMPARE(word.sliced(1, 3), QByteArrayView("eal"));
    QCOMPARE(word.chopped(2), QByteArrayView("seal"));
    QCOMPARE(word.front(), 's');
    QCOMPARE(word.back(), 'd');
    QByteArray collected;
    for (const char c : word.sliced(4))
        collected += c;
    QCOMPARE(collected, QByteArray("ed"));
}

void TestQtCompat::decodesUtf8()
{
    const QByteArray text = QStringLiteral("Журнал").toUtf8();
    QStringDecoder clean(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QCOMPARE(clean.decode(text), QStringLiteral("Журнал"));
    QVERIFY(clean.isValid() && !clean.hasError());

    // A wrong byte, and a character cut off at the end, are errors that stay errors.
    QStringDecoder wrong(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QCOMPARE(wrong.decode("a\xFF"
                          "b"),
             QStringLiteral("a\uFFFDb"));
    QVERIFY(wrong.hasError());
    QCOMPARE(wrong.decode("c"), QStringLiteral("c"));
    QVERIFY(wrong.hasError());
    QStringDecoder cut(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QCOMPARE(cut.decode(text.chopped(1)), QStringLiteral("Журна\uFFFD"));
    QVERIFY(cut.hasError());

    // The byte order mark goes unless it is asked for.
    const QByteArray marked = "\xEF\xBB\xBF" + text;
    QStringDecoder plain(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QCOMPARE(plain.decode(marked), QStringLiteral("Журнал"));
    QStringDecoder keeping(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                       QStringConverter::Flag::ConvertInitialBom);
    QCOMPARE(keeping.decode(marked), QChar(QChar::ByteOrderMark) + QStringLiteral("Журнал"));
    QVERIFY(!keeping.hasError());
}

void TestQtCompat::decodesUtf8AcrossCalls()
{
    // Without Stateless, a character split between two calls is one character.
    const QByteArray text = QStringLiteral("ёж").toUtf8();
    QStringDecoder decoder(QStringConverter::Utf8);
    QString out = decoder.decode(text.left(1));
    out += decoder(text.mid(1));
    QCOMPARE(out, QStringLiteral("ёж"));
    QVERIFY(!decoder.hasError());
}

void TestQtCompat::decodesUtf16()
{
    QStringDecoder little(QStringConverter::Utf16LE);
    QCOMPARE(little.decode(QByteArray("\x16\x04\x30\x00", 4)), QStringLiteral("Ж0"));
    QStringDecoder big(QStringConverter::Utf16BE);
    QCOMPARE(big.decode(QByteArray("\x04\x16\x00\x30", 4)), QStringLiteral("Ж0"));
    QVERIFY(!little.hasError() && !big.hasError());
}

void TestQtCompat::decodesByName()
{
#ifdef Q_OS_WIN
    QSKIP("The Windows build reads East Asian code pages with the system's converters: its Qt "
          "has no converters by name beyond Unicode and Latin-1.");
#endif
    QStringDecoder shiftJis("Shift_JIS", QStringConverter::Flag::Stateless);
    QVERIFY(shiftJis.isValid());
    QCOMPARE(shiftJis.decode("\x82\xA0"), QStringLiteral("あ"));
    QVERIFY(!QStringDecoder("no such encoding").isValid());
    QCOMPARE(QStringDecoder("no such encoding").decode("abc"), QString());
}

void TestQtCompat::encodesWithoutMarkUnlessAsked()
{
    QStringEncoder little(QStringConverter::Utf16LE);
    QCOMPARE(QByteArray(little(QStringLiteral("Ж0"))), QByteArray("\x16\x04\x30\x00", 4));
    QStringEncoder big(QStringConverter::Utf16BE);
    QCOMPARE(QByteArray(big(QStringLiteral("Ж0"))), QByteArray("\x04\x16\x00\x30", 4));
    QStringEncoder utf8(QStringConverter::Utf8);
    QCOMPARE(QByteArray(utf8(QStringLiteral("ё"))), QByteArray("\xD1\x91"));
    QStringEncoder marked(QStringConverter::Utf8, QStringConverter::Flag::WriteBom);
    QCOMPARE(QByteArray(marked(QStringLiteral("ё"))), QByteArray("\xEF\xBB\xBF\xD1\x91"));
}

void TestQtCompat::encodingOfMark_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("encoding"); // -1: none
    QTest::newRow("utf-8") << QByteArray("\xEF\xBB\xBFx") << int(QStringConverter::Utf8);
    QTest::newRow("utf-8 mark alone") << QByteArray("\xEF\xBB\xBF") << int(QStringConverter::Utf8);
    QTest::newRow("utf-16le") << QByteArray("\xFF\xFEx\x00", 4) << int(QStringConverter::Utf16LE);
    QTest::newRow("utf-16be") << QByteArray("\xFE\xFF\x00x", 4) << int(QStringConverter::Utf16BE);
    QTest::newRow("utf-32le") << QByteArray("\xFF\xFE\x00\x00", 4)
                              << int(QStringConverter::Utf32LE);
    QTest::newRow("utf-32be") << QByteArray("\x00\x00\xFE\xFF", 4)
                              << int(QStringConverter::Utf32BE);
    QTest::newRow("no mark") << QByteArray("[Журнал]") << -1;
    QTest::newRow("half a mark") << QByteArray("\xEF\xBB") << -1;
    QTest::newRow("empty") << QByteArray() << -1;
}

void TestQtCompat::encodingOfMark()
{
    QFETCH(QByteArray, data);
    QFETCH(int, encoding);
    const auto found = QStringConverter::encodingForData(data);
    QCOMPARE(found ? int(*found) : -1, encoding);
}

void TestQtCompat::imagesWithinBound()
{
    // One megabyte: 512 x 512 pixels of 32 bits fill it; a pixel more is too many.
    QImage fits(512, 512, QImage::Format_ARGB32);
    fits.fill(Qt::transparent);
    QImage over(513, 512, QImage::Format_ARGB32);
    over.fill(Qt::transparent);
    for (const auto &[image, allowed] : {std::pair{fits, true}, std::pair{over, false}}) {
        QByteArray bytes = encoded(image, "png");
        QBuffer buffer(&bytes);
        QImageReader reader(&buffer, "png");
        QImage read;
        QCOMPARE(merilon::readImageWithin(reader, &read, 1), allowed);
        QCOMPARE(read.size(), allowed ? image.size() : QImage().size());
    }

    // A JPEG decoded smaller is measured at the size it is decoded at.
    QImage photo(1000, 1000, QImage::Format_RGB32);
    photo.fill(Qt::gray);
    QByteArray bytes = encoded(photo, "jpeg");
    QBuffer whole(&bytes);
    QImageReader wholeReader(&whole, "jpeg");
    QImage read;
    QVERIFY(!merilon::readImageWithin(wholeReader, &read, 1));
    QBuffer small(&bytes);
    QImageReader smallReader(&small, "jpeg");
    smallReader.setScaledSize(QSize(400, 400));
    QVERIFY(merilon::readImageWithin(smallReader, &read, 1));
    QCOMPARE(read.size(), QSize(400, 400));
}

QTEST_MAIN(TestQtCompat)
#include "tst_qtcompat.moc"
