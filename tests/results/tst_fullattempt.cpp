#include "modal.h"
#include "program.h"
#include "testfiles.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QStyleHints>
#include <QSysInfo>
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
    const QDateTime started = p.clock.at;
    p.clock.at = started.addSecs(312);                  // 5:12 later
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

    // What the record knows beyond its lines.
    QFile file(p.journalDir.filePath(QStringLiteral("Journal.res")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<JournalRecord> records = readJournalRecords(file.readAll());
    QCOMPARE(records.size(), 1);
    const TableRow &row = records[0].row;
    QCOMPARE(records[0].id.size(), 32);
    QCOMPARE(row.surname, QStringLiteral("Семёнова"));
    QCOMPARE(row.name, QStringLiteral("Алёна"));
    QCOMPARE(row.test, QStringLiteral("t.tstt"));
    QCOMPARE(row.asked, 20);
    QCOMPARE(row.correct, 17);
    QCOMPARE(row.percent, 85.0);
    QCOMPARE(row.grade, 4);
    QCOMPARE(row.secondsUsed, 312);
    QCOMPARE(row.confirmed, p.clock.at);
    QCOMPARE(row.computer, QSysInfo::machineHostName());
    // Each question asked once, its answer marked: 17 right, the three rows A wrong.
    file.seek(0);
    const QString data = QString::fromLatin1(QByteArray::fromPercentEncoding(file.readAll()));
    const qsizetype at = data.indexOf(QStringLiteral("questions="));
    QVERIFY(at > 0);
    const QStringList asked =
        data.mid(at + 10, data.indexOf(QLatin1Char('&'), at) - at - 10).split(QLatin1Char(' '));
    QCOMPARE(asked.size(), 20);
    QCOMPARE(asked.filter(QStringLiteral("+")).size(), 17);
    QCOMPARE(QSet<QString>(asked.begin(), asked.end()).size(), 20);
}

QTEST_MAIN(TestFullAttempt)
#include "tst_fullattempt.moc"
