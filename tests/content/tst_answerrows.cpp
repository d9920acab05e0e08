#include "program.h"

#include <QGroupBox>
#include <QRadioButton>
#include <QTest>

using namespace merilon;

class TestAnswerRows : public QObject
{
    Q_OBJECT

private slots:
    void rowsAreMadeAndRemoved();
    void rowsShareThePanel();
    void readsTheChosenRow_data();
    void readsTheChosenRow();
};

void TestAnswerRows::rowsAreMadeAndRemoved()
{
    TestProgram p;
    AnswerRows &rows = p.rows;
    QRadioButton *first = rows.radio(1);
    QVERIFY(first && first->isChecked()); // as laid out

    // Before the first question the reset looks for rows 5 to 3.
    rows.ResetAnswerRows();
    QCOMPARE(rows.VariantCount(), 2);
    QVERIFY(!first->isChecked());

    rows.CreateAnswerRows(5);
    QCOMPARE(rows.VariantCount(), 5);
    QStringList letters;
    for (int k = 1; k <= 5; ++k) {
        QVERIFY(rows.radio(k) && rows.editor(k));
        letters << rows.radio(k)->text();
        QCOMPARE(rows.radio(k)->parentWidget(), p.MainForm.controls().Panelgroupodinotv);
        QCOMPARE(rows.editor(k)->parentWidget(), p.MainForm.controls().Panelgroupedit);
        QCOMPARE(rows.editor(k)->statusTip(), QStringLiteral("Укажите вариант ответа"));
        QVERIFY(rows.editor(k)->isReadOnly());
    }
    QCOMPARE(letters.join(QString()), QStringLiteral("ABCDE"));
    QVERIFY(!rows.radio(6));

    rows.ResetAnswerRows();
    QCOMPARE(rows.VariantCount(), 2);
    QVERIFY(!rows.radio(3) && !rows.editor(3) && !rows.radio(5));
    QCOMPARE(rows.radio(1), first);
    QCOMPARE(p.MainForm.findChildren<QRadioButton *>().size(), 2);

    // Rows from 3 up are made again for the next question that needs them.
    rows.CreateAnswerRows(10);
    QCOMPARE(rows.radio(10)->text(), QStringLiteral("J"));
    rows.ResetAnswerRows();
    rows.CreateAnswerRows(3);
    QCOMPARE(p.MainForm.findChildren<QRadioButton *>().size(), 3);
}

void TestAnswerRows::rowsShareThePanel()
{
    TestProgram p;
    AnswerRows &rows = p.rows;
    QWidget *panel = p.MainForm.controls().Panelgroupedit;
    QCOMPARE(panel->height(), 201);
    rows.CreateAnswerRows(10);
    for (int k = 1; k <= 10; ++k) {
        QCOMPARE(rows.editor(k)->geometry(), QRect(0, (k - 1) * 20, panel->width(), 20));
        QCOMPARE(rows.radio(k)->geometry(), QRect(6, (k - 1) * 20, 32, 20));
    }

    // A taller window: every row an equal share, the buttons centred on them.
    p.MainForm.show();
    p.MainForm.resize(800, 657);
    QTRY_VERIFY(panel->height() > 201);
    // the answer area keeps its margins inside the window
    const TMainForm::Controls &ui = p.MainForm.controls();
    QCOMPARE(ui.GroupBox1->width(), ui.Panelvybotv->width() - 3);
    QCOMPARE(ui.GroupBox1->height(), ui.Panelvybotv->height() - 42);
    QCOMPARE(panel->width(), ui.GroupBox1->width() - 45);
    const int height = panel->height() / 10;
    for (int k = 1; k <= 10; ++k) {
        QCOMPARE(rows.editor(k)->geometry(), QRect(0, (k - 1) * height, panel->width(), height));
        QCOMPARE(rows.radio(k)->y(), (k - 1) * height + height / 2 - 10);
    }

    // One row in use: it takes the whole panel and row 2 stays below it.
    rows.ResetAnswerRows();
    rows.setVariantCount(1);
    rows.LayoutAnswerRows();
    QCOMPARE(rows.editor(1)->height(), panel->height());
    QCOMPARE(rows.editor(2)->y(), panel->height());
    QVERIFY(rows.radio(2)->isVisibleTo(&p.MainForm));
}

void TestAnswerRows::readsTheChosenRow_data()
{
    QTest::addColumn<int>("chosen"); // 0: none
    QTest::addColumn<int>("counted");
    QTest::newRow("none") << 0 << 0;
    QTest::newRow("correct") << 2 << 1;
    QTest::newRow("wrong") << 3 << 0;
    QTest::newRow("second correct") << 4 << 1;
    QTest::newRow("row past the variants") << 5 << 0;
}

void TestAnswerRows::readsTheChosenRow()
{
    QFETCH(int, chosen);
    TestProgram p;
    AnswerRows &rows = p.rows;
    rows.ResetAnswerRows();
    rows.CreateAnswerRows(5);
    const bool flags[] = {false, true, false, true, false};
    for (int k = 1; k <= 5; ++k) {
        AnswerRows::setCorrect(rows.radio(k), flags[k - 1]);
        AnswerRows::uncheck(rows.radio(k));
    }
    AnswerRows::setCorrect(rows.radio(5), true);
    rows.setVariantCount(4); // row 5 is not one of the question's
    if (chosen)
        rows.radio(chosen)->setChecked(true);

    std::uint16_t CorrectCount = 7;
    rows.ReadAnswer(CorrectCount);
    QTEST(int(CorrectCount) - 7, "counted");
    QVERIFY(!p.MainForm.controls().Panelgroupodinotv->isEnabled());
}

QTEST_MAIN(TestAnswerRows)
#include "tst_answerrows.moc"
