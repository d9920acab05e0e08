#include "content/testcheck.h"
#include "program.h"
#include "richtext/rtfdocument.h"
#include "testfiles.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QGroupBox>
#include <QImage>
#include <QMimeData>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

using namespace merilon;
using testfiles::rtfBody;

namespace {

QByteArray encoded(const QImage &image, const char *format)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return buffer.data();
}

// A Windows metafile that fills a rectangle 40 x 20 units with red.
QByteArray redRectangleWmf()
{
    QByteArray wmf;
    const auto word = [&wmf](int v) {
        wmf.append(char(v & 0xFF));
        wmf.append(char((v >> 8) & 0xFF));
    };
    const auto record = [&](int function, std::initializer_list<int> params) {
        const int size = 3 + int(params.size());
        word(size);
        word(0);
        word(function);
        for (int p : params)
            word(p);
    };
    // header: memory metafile, 9 words, version 3, 40 words in all, one object, the
    // longest record 7 words
    for (int v : {1, 9, 0x0300, 40, 0, 1, 7, 0, 0})
        word(v);
    record(0x020B, {0, 0});                 // SetWindowOrg
    record(0x020C, {20, 40});               // SetWindowExt
    record(0x02FC, {0, 0x00FF, 0x0000, 0}); // CreateBrushIndirect: solid red
    record(0x012D, {0});                    // SelectObject
    record(0x041B, {20, 40, 0, 0});         // Rectangle
    record(0x0000, {});                     // end
    return wmf;
}

// Every run of a document with its format.
QList<QTextFragment> fragments(const RichText &text)
{
    QList<QTextFragment> all;
    for (QTextBlock b = text.document()->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            all << it.fragment();
    return all;
}

QTextCharFormat formatOf(const RichText &text, const QString &run)
{
    for (const QTextFragment &f : fragments(text))
        if (f.text().contains(run))
            return f.charFormat();
    return {};
}

QByteArray pictureRtf()
{
    QImage image(2, 2, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QBuffer png;
    png.open(QIODevice::WriteOnly);
    image.save(&png, "PNG");
    return "{\\pict\\pngblip\\picw2\\pich2 " + png.data().toHex() + "}";
}

} // namespace

class TestQuestionDisplay : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void showsQuestionWithItsFormatting();
    void rowsFollowTheQuestion();
    void brokenDocumentsShowWhatTheyCan();
    void everyPictureKindShows();

private:
    QTemporaryDir m_dir;
    QString m_path;
};

void TestQuestionDisplay::initTestCase()
{
    using testfiles::block;
    // Question 1 formatted at 20 points, question 2 of four variants and
    // question 3 of two.
    const QByteArray first =
        "#1 \\b " + rtfBody("Жирный") + "\\b0  " + rtfBody("и") + " \\i " + rtfBody("курсив") +
        "\\i0  " + rtfBody("и") + " \\cf1 " + rtfBody("красный") + "\\cf0 " + pictureRtf() +
        "\\par\n\\i +\\cf1 " + rtfBody("верно") + "\\cf0\\i0\\par\n-" + rtfBody("нет") +
        "\\par\n-\\b " + rtfBody("тоже") + "\\b0  " + rtfBody("нет") + "\\par\n\\par\n";
    const QString rest = testfiles::test(
        50, {{1, QString()}, {2, "#2 Четыре\n-a\n-b\n+c\n-d\n\n"}, {3, "#3 Два\n+да\n-нет\n\n"}},
        QString());
    m_path = testfiles::write(m_dir, QStringLiteral("formatted.tstt"),
                              testfiles::rtfDocument(first + rtfBody(rest)));
}

void TestQuestionDisplay::showsQuestionWithItsFormatting()
{
    TestProgram p;
    p.open(m_path);
    QVERIFY(p.desktop.warnings.isEmpty() && p.desktop.errors.isEmpty());
    p.MainForm.controls().GroupBox1->setTitle(QString());
    QApplication::clipboard()->setText(QStringLiteral("чужое"));

    p.display.ShowQuestion(1);

    const RichText &question = p.questionArea();
    QCOMPARE(question.Lines()[0], QStringLiteral("Жирный и курсив и красный") +
                                      QChar(QChar::ObjectReplacementCharacter));
    QVERIFY(formatOf(question, QStringLiteral("Жирный")).fontWeight() >= QFont::Bold);
    QVERIFY(formatOf(question, QStringLiteral("курсив")).fontItalic());
    QCOMPARE(formatOf(question, QStringLiteral("красный")).foreground().color(), QColor(Qt::red));
    bool picture = false;
    for (const QTextFragment &f : fragments(question)) {
        picture = picture || f.charFormat().isImageFormat();
        if (!f.charFormat().isImageFormat())
            QCOMPARE(f.charFormat().fontPointSize(), 11.0);
    }
    QVERIFY(picture);
    QVERIFY(question.ReadOnly());

    AnswerRows &rows = p.rows;
    QCOMPARE(rows.VariantCount(), 3);
    const RichText &row1 = rows.editor(1)->content();
    QCOMPARE(row1.Lines()[0], QStringLiteral("верно"));
    QVERIFY(formatOf(row1, QStringLiteral("верно")).fontItalic());
    QCOMPARE(formatOf(row1, QStringLiteral("верно")).foreground().color(), QColor(Qt::red));
    QCOMPARE(formatOf(row1, QStringLiteral("верно")).fontPointSize(), 11.0);
    QCOMPARE(rows.editor(3)->content().Lines()[0], QStringLiteral("тоже нет"));
    QVERIFY(formatOf(rows.editor(3)->content(), QStringLiteral("тоже")).fontWeight() >=
            QFont::Bold);
    QVERIFY(AnswerRows::isCorrect(rows.radio(1)));
    QVERIFY(!AnswerRows::isCorrect(rows.radio(2)) && !AnswerRows::isCorrect(rows.radio(3)));
    for (int k = 1; k <= 3; ++k) {
        QVERIFY(!rows.radio(k)->isChecked());
        QVERIFY(rows.editor(k)->isReadOnly());
    }
    QVERIFY(p.MainForm.controls().Panelvybotv->isVisibleTo(&p.MainForm));
    QCOMPARE(p.MainForm.controls().GroupBox1->title(),
             QStringLiteral("Укажите один вариант ответа"));
    QVERIFY(clipboardEmpty());
}

void TestQuestionDisplay::rowsFollowTheQuestion()
{
    TestProgram p;
    p.open(m_path);
    AnswerRows &rows = p.rows;
    QRadioButton *first = rows.radio(1);
    RichEdit *firstText = rows.editor(1);

    p.display.ShowQuestion(2);
    QCOMPARE(rows.VariantCount(), 4);
    QCOMPARE(rows.editor(4)->content().Lines()[0], QStringLiteral("d"));
    QVERIFY(AnswerRows::isCorrect(rows.radio(3)));
    rows.radio(4)->setChecked(true);

    QApplication::clipboard()->setText(QStringLiteral("чужое"));
    p.display.ShowQuestion(3);
    QCOMPARE(rows.VariantCount(), 2);
    QVERIFY(!rows.radio(3) && !rows.editor(4));
    QCOMPARE(rows.radio(1), first);
    QCOMPARE(rows.editor(1), firstText);
    QCOMPARE(p.questionArea().Lines()[0], QStringLiteral("Два"));
    QCOMPARE(rows.editor(1)->content().Lines()[0], QStringLiteral("да"));
    QCOMPARE(rows.editor(2)->content().Lines()[0], QStringLiteral("нет"));
    QVERIFY(AnswerRows::isCorrect(rows.radio(1)) && !AnswerRows::isCorrect(rows.radio(2)));
    QVERIFY(!rows.radio(1)->isChecked() && !rows.radio(2)->isChecked());
    QVERIFY(clipboardEmpty());
}

void TestQuestionDisplay::brokenDocumentsShowWhatTheyCan()
{
    // Whatever reaches the document without Open's check.
    TestProgram p;
    p.document().setPlain(QStringLiteral("#1 Много\n") + QStringLiteral("-v\n").repeated(12) +
                          QStringLiteral("\n#3 Без вариантов"));
    p.display.ShowQuestion(1);
    QCOMPARE(p.rows.VariantCount(), 10);
    QCOMPARE(p.rows.radio(10)->text(), QStringLiteral("J"));
    QCOMPARE(p.rows.editor(10)->content().Lines()[0], QStringLiteral("v"));

    p.display.ShowQuestion(2);
    QCOMPARE(p.rows.VariantCount(), 0);
    QVERIFY(!p.rows.radio(3));
    QCOMPARE(p.questionArea().Text(), QString());

    p.display.ShowQuestion(3);
    QCOMPARE(p.rows.VariantCount(), 0);
    QCOMPARE(p.questionArea().Lines()[0], QStringLiteral("Без вариантов"));
}

void TestQuestionDisplay::everyPictureKindShows()
{
    // One picture of each kind a teacher's document may hold, in the question and in a row.
    QImage green(12, 6, QImage::Format_RGB32);
    green.fill(Qt::green);
    const QByteArray png = encoded(green, "PNG").toHex();
    const QByteArray jpeg = encoded(green, "JPEG").toHex();
    const QByteArray dib = encoded(green, "BMP").mid(14).toHex();
    const QByteArray wmf = redRectangleWmf().toHex();
    const QByteArray size = "\\picwgoal600\\pichgoal300 "; // 40 x 20 pixels
    const QByteArray pictures[] = {
        "{\\*\\shppict{\\pict\\pngblip" + size + png + "}}{\\nonshppict{\\pict\\wmetafile8 01}}",
        "{\\pict\\jpegblip" + size + jpeg + "}",
        "{\\pict\\jpegblip" + size + png + "}", // PNG bytes under the JPEG word
        "{\\pict\\dibitmap0" + size + dib + "}",
        "{\\pict\\wmetafile8" + size + wmf + "}",
        "{\\object\\objemb{\\*\\objclass Equation.3}{\\*\\objdata 0102}{\\result{\\pict\\pngblip" +
            size + png + "}}}",
        "{\\shp{\\*\\shpinst{\\sp{\\sn shapeType}{\\sv 75}}{\\sp{\\sn pib}{\\sv {\\pict\\pngblip" +
            size + png + "}}}}{\\shprslt{\\pict\\wmetafile8 01}}}",
        "{\\pict\\emfblip" + size + "0100000000}", // no system draws these bytes
    };
    QByteArray first = "#1 " + rtfBody("Рисунки:");
    for (const QByteArray &picture : pictures)
        first += " " + picture;
    first += "\\par\n+" + rtfBody("формула ") + pictures[4] + "\\par\n-" + rtfBody("рамка ") +
             pictures[7] + "\\par\n\\par\n";
    const QString rest = testfiles::test(50, {{1, QString()}}, QString());
    QTemporaryDir dir;
    const QString path = testfiles::write(dir, QStringLiteral("pictures.tstt"),
                                          testfiles::rtfDocument(first + rtfBody(rest)));
    TestProgram p;
    p.open(path);
    QVERIFY(p.desktop.warnings.isEmpty() && p.desktop.errors.isEmpty());
    p.display.ShowQuestion(1);

    const auto images = [](const RichText &text) {
        QList<QTextImageFormat> found;
        for (const QTextFragment &f : fragments(text))
            if (f.charFormat().isImageFormat())
                found << f.charFormat().toImageFormat();
        return found;
    };
    const QList<QTextImageFormat> shown = images(p.questionArea());
    QCOMPARE(shown.size(), 8);
    for (qsizetype i = 0; i < shown.size(); ++i) {
        QCOMPARE(shown[i].width(), 40.0);
        QCOMPARE(shown[i].height(), 20.0);
        const QImage image = p.questionArea()
                                 .document()
                                 ->resource(QTextDocument::ImageResource, QUrl(shown[i].name()))
                                 .value<QImage>();
        QVERIFY2(!image.isNull(), qPrintable(QString::number(i)));
        const bool framed = shown[i].name().startsWith(QLatin1String(rtf::kUndrawnPicturePrefix));
        QVERIFY2(framed == (i == 7), qPrintable(QString::number(i)));
        if (i < 4) // the bitmaps are green
            QCOMPARE(image.pixelColor(image.width() / 2, image.height() / 2).green() > 200, true);
    }
    // The metafile is drawn: red inside its frame.
    const QImage metafile = p.questionArea()
                                .document()
                                ->resource(QTextDocument::ImageResource, QUrl(shown[4].name()))
                                .value<QImage>();
    const QColor middle = metafile.pixelColor(metafile.width() / 2, metafile.height() / 2);
    QVERIFY2(middle.red() > 200 && middle.green() < 80, qPrintable(middle.name()));

    // In the rows: the formula drawn, the frame kept.
    const QList<QTextImageFormat> row1 = images(p.rows.editor(1)->content());
    const QList<QTextImageFormat> row2 = images(p.rows.editor(2)->content());
    QVERIFY(row1.size() == 1 && row2.size() == 1);
    QCOMPARE(row1[0].width(), 40.0);
    QVERIFY(!row1[0].name().startsWith(QLatin1String(rtf::kUndrawnPicturePrefix)));
    QVERIFY(p.rows.editor(1)
                ->content()
                .document()
                ->resource(QTextDocument::ImageResource, QUrl(row1[0].name()))
                .isValid());
    QVERIFY(row2[0].name().startsWith(QLatin1String(rtf::kUndrawnPicturePrefix)));

    // The checker tells the teacher which pictures will not show, with question and line.
    RichText document;
    QString error;
    QVERIFY(TestDocument::load(path, document, &error));
    QStringList said;
    for (const TestProblem &problem : checkTest(document, 50))
        said << describeProblem(problem);
    QCOMPARE(said.size(), 2);
    QVERIFY2(
        said[0].startsWith(QStringLiteral("Вопрос 1, строка 1: рисунок здесь не будет показан")),
        qPrintable(said[0]));
    QVERIFY(said[1].startsWith(QStringLiteral("Вопрос 1, строка 3: рисунок")));
}

QTEST_MAIN(TestQuestionDisplay)
#include "tst_questiondisplay.moc"
