#include "modal.h"
#include "program.h"
#include "testfiles.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleHints>
#include <QTest>

using namespace merilon;

class TestFullAttempt : public QObject
{
    Q_OBJECT

private slots:
    void openToJournal();
};

void TestFullAttempt::openToJournal()
{
    QTemporaryDir dir;
    TestProgram p(true);
    p.MainForm.show();
    p.open(testfiles::write(dir, QStringLiteral("t.tstt"), testfiles::rtf(testfiles::test())));
    const TMainForm::Controls &ui = p.MainForm.controls();

    bool registered = false;
    whenModal(&p.Startform, [&](QWidget *) {
        registered = true;
        p.Startform.controls().Editfam->setText(QStringLiteral("Семёнова"));
        p.Startform.controls().Editimya->setText(QStringLiteral("Алёна"));
        p.Startform.controls().Buttonok->click();
    });
    ui.Start->trigger();
    QVERIFY(registered);
    QVERIFY(p.controller.attemptRunning());

    // An examinee's clicks, each after the double-click interval of the one before.
    QGuiApplication::styleHints()->setMouseDoubleClickInterval(40);
    for (int k = 1; k < 20; ++k) {
        p.rows.radio(k <= 16 ? 2 : 1)->setChecked(true);
        QTest::mouseClick(ui.Buttondalshe, Qt::LeftButton);
        QTest::qWait(50);
    }
    QString report;
    whenModal(&p.Formresult, [&](QWidget *) {
        report = p.Formresult.controls().Editresult->content().Text();
        QTest::mouseClick(p.Formresult.controls().Buttonok, Qt::LeftButton);
    });
    p.rows.radio(2)->setChecked(true);
    QTest::mouseClick(ui.Buttondalshe, Qt::LeftButton); // the 20th answer
    QVERIFY2(report.contains(QStringLiteral(" Правильных ответов: 17\r\n")), qPrintable(report));
    QVERIFY(report.contains(QStringLiteral(" Оценка: 4")));
    QVERIFY(!p.Formresult.isVisible());
    QVERIFY(!p.controller.attemptRunning());

    RichText journal;
    QString error;
    QVERIFY(
        journal.Lines().LoadFromFile(p.journalDir.filePath(QStringLiteral("Journal.res")), &error));
    QCOMPARE(journal.Lines()[0], QStringLiteral(" Фамилия имя: Семёнова Алёна"));
    QCOMPARE(journal.Lines()[3], QStringLiteral(" Процент правильных ответов: 85%"));
}

QTEST_MAIN(TestFullAttempt)
#include "tst_fullattempt.moc"
