#include "program.h"
#include "testfiles.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

using namespace merilon;
using testfiles::rtfBody;

namespace {

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
    Program p;
    p.open(m_path);
    QVERIFY(p.desktop.warnings.isEmpty() && p.desktop.errors.isEmpty());
    p.MainForm.widgets().GroupBox1->setTitle(QString());
    QApplication::clipboard()->setText(QStringLiteral("чужое"));

    p.display.ShowQuestion(1);

    const RichText &question = p.questionArea();
    QCOMPARE(question.Lines()[0],
             QStringLiteral("Жирный и курсив и красный") + QChar::ObjectReplacementCharacter);
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
    QVERIFY(p.MainForm.widgets().Panelvybotv->isVisibleTo(&p.MainForm));
    QCOMPARE(p.MainForm.widgets().GroupBox1->title(),
             QStringLiteral("Укажите один вариант ответа"));
    QVERIFY(clipboardEmpty());
}

void TestQuestionDisplay::rowsFollowTheQuestion()
{
    Program p;
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
    Program p;
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

QTEST_MAIN(TestQuestionDisplay)
#include "tst_questiondisplay.moc"
