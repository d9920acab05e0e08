#include "platformfaults.h"
#include "richtext/richtext.h"
#include "shell/fonts.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

using namespace merilon;

namespace {

const QString kWord = QStringLiteral("НЕ является");
// Upright strokes only, so that the slant shows the face and not the letters' shapes.
const QString kStrokes = QStringLiteral("НННН");

// What a word looks like when drawn: its ink and its advance; and of the strokes, their slant
// (how far right the ink of the top half lies against that of the bottom half).
struct Look
{
    double ink = 0;
    int advance = 0;
    double slant = 0;
};

Look inkOf(const QImage &image)
{
    Look look;
    double top = 0, topInk = 0, bottom = 0, bottomInk = 0;
    const int middle = image.height() / 2;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const double ink = 255 - qGray(image.pixel(x, y));
            look.ink += ink;
            (y < middle ? top : bottom) += ink * x;
            (y < middle ? topInk : bottomInk) += ink;
        }
    if (topInk > 0 && bottomInk > 0)
        look.slant = top / topInk - bottom / bottomInk;
    return look;
}

QImage image(const QFont &font, const QString &text)
{
    QImage image(400, 60, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(10, 42, text);
    painter.end();
    return image;
}

Look drawn(const QFont &font)
{
    Look look = inkOf(image(font, kWord));
    look.advance = QFontMetrics(font).horizontalAdvance(kWord);
    look.slant = inkOf(image(font, kStrokes)).slant;
    return look;
}

QFont styled(const QString &family, bool bold, bool italic)
{
    QFont font(family);
    font.setPixelSize(28);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

} // namespace

class TestFonts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { loadWindowFonts(); }
    void everyStyleIsDrawnAsAsked_data();
    void everyStyleIsDrawnAsAsked();
    void boldTahomaInAQuestion();
};

void TestFonts::everyStyleIsDrawnAsAsked_data()
{
    QTest::addColumn<QString>("family");
    for (const char *family : {"Tahoma", "Times New Roman", "Arial", "Courier New", "Verdana",
                               "Calibri", "DejaVu Sans", "Шрифт, которого нет"})
        QTest::newRow(family) << QString::fromUtf8(family);
}

// Wine's own Tahoma Bold, the one this program no longer registers elsewhere, has regular
// strokes: under Wine the system draws it so, where Windows has a real bold face.
bool winesTahoma(const QString &family)
{
    return testfiles::underWine() && family == QLatin1String("Tahoma");
}
constexpr char kWinesTahoma[] = "Wine's tahomabd.ttf has regular strokes; Windows' is bold";

void TestFonts::everyStyleIsDrawnAsAsked()
{
    QFETCH(QString, family);
    if (winesTahoma(family))
        QSKIP(kWinesTahoma);
    const Look regular = drawn(styled(family, false, false));
    const Look bold = drawn(styled(family, true, false));
    const Look italic = drawn(styled(family, false, true));
    const Look boldItalic = drawn(styled(family, true, true));
    const auto what = [&](const char *style, const Look &look) {
        return qPrintable(QStringLiteral("%1 %2: ink %3 (regular %4), slant %5 (regular %6), "
                                         "advance %7 (regular %8)")
                              .arg(family, QLatin1String(style))
                              .arg(look.ink)
                              .arg(regular.ink)
                              .arg(look.slant)
                              .arg(regular.slant)
                              .arg(look.advance)
                              .arg(regular.advance));
    };
    // Bold strokes carry clearly more ink; an advance that grows without the ink (a bold
    // face with regular strokes) would spread the letters out.
    QVERIFY2(bold.ink > regular.ink * 1.2, what("bold", bold));
    QVERIFY2(boldItalic.ink > italic.ink * 1.2, what("bold italic", boldItalic));
    QVERIFY2(bold.advance <= regular.advance * 1.25, what("bold", bold));
    // Italic leans right: the top of the letters lies right of their foot.
    QVERIFY2(italic.slant > regular.slant + 1.5, what("italic", italic));
    QVERIFY2(boldItalic.slant > bold.slant + 1.5, what("bold italic", boldItalic));
    QVERIFY2(italic.ink < bold.ink, what("italic", italic));
}

void TestFonts::boldTahomaInAQuestion()
{
    // The same word twice in a question set in Tahoma, regular and then bold, as a teacher's
    // RTF has it, drawn by the document the question area shows.
    if (winesTahoma(QStringLiteral("Tahoma")))
        QSKIP(kWinesTahoma);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("q.rtf"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f1\\fswiss\\fcharset204 Tahoma;}}"
               "\\f1\\fs40 \\'cd\\'c5\\par{\\b \\'cd\\'c5}\\par}");
    file.close();
    RichText text;
    QString error;
    QVERIFY2(text.Lines().LoadFromFile(path, &error), qPrintable(error));
    QTextDocument *document = text.document();
    document->setTextWidth(300);
    QImage image(300, int(document->size().height()) + 4, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    document->drawContents(&painter);
    painter.end();
    const QTextBlock first = document->firstBlock();
    const int split = int(document->documentLayout()->blockBoundingRect(first).bottom());
    const Look regular = inkOf(image.copy(0, 0, image.width(), split));
    const Look bold = inkOf(image.copy(0, split, image.width(), image.height() - split));
    QVERIFY2(regular.ink > 0, "nothing drawn");
    QVERIFY2(bold.ink > regular.ink * 1.2,
             qPrintable(QStringLiteral("bold %1, regular %2").arg(bold.ink).arg(regular.ink)));
}

QTEST_MAIN(TestFonts)
#include "tst_fonts.moc"
