#include "content/sealedtest.h"
#include "modal.h"
#include "program.h"
#include "results/journaltool.h"
#include "testfiles.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QStyleHints>
#include <QSysInfo>
#include <QTest>
#include <QTextStream>

using namespace merilon;

class TestFullAttempt : public QObject
{
    Q_OBJECT

private slots:
    void openToJournal();
    void sealedTestRecordsProveThemselves();
};

namespace {

// An attempt as an examinee takes it: 17 of 20 right, confirmed 5:12 after it started; the
// text of the result window.
QString takeAttempt(TestProgram &p)
{
    const TMainForm::Controls &ui = p.MainForm.controls();

    bool registered = false;
    whenModal(&p.Startform, [&](QWidget *) {
        registered = true;
        p.Startform.controls().Editfam->setText(QStringLiteral("Семёнова"));
        p.Startform.controls().Editimya->setText(QStringLiteral("Алёна"));
        p.Startform.controls().Buttonok->click();
    });
    ui.Start->trigger();
    if (!registered || !p.controller.attemptRunning())
        return QString();

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
    return report;
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

void TestFullAttempt::openToJournal()
{
    QTemporaryDir dir;
    TestProgram p(true);
    p.MainForm.show();
    p.open(testfiles::write(dir, QStringLiteral("t.tstt"), testfiles::rtf(testfiles::test())));
    const QString report = takeAttempt(p);
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

void TestFullAttempt::sealedTestRecordsProveThemselves()
{
    QTemporaryDir dir;
    const QByteArray test = testfiles::rtf(testfiles::test());
    const QString sealedTest = testfiles::write(
        dir, QStringLiteral("Физика.tstt"), sealed::seal(test, "пароль-7б", sealed::Cost{1, 64}));
    const QString passwordFile =
        testfiles::write(dir, QStringLiteral("pw.txt"), QByteArray("пароль-7б\n"));

    // One attempt under the sealed test, one under a plain one, in one journal.
    TestProgram p(true);
    p.MainForm.show();
    p.open(testfiles::write(dir, QStringLiteral("plain.tstt"), test));
    QVERIFY(!takeAttempt(p).isEmpty());
    p.desktop.dialogScripts = {[](QDialog &dialog) {
        dialog.findChild<QLineEdit *>(QStringLiteral("Editpassword"))->setText("пароль-7б");
        dialog.accept();
        return dialog.result();
    }};
    p.open(sealedTest);
    QVERIFY(p.test.recordKey());
    QVERIFY(takeAttempt(p).contains(QStringLiteral(" Процент правильных ответов: 85%")));
    const QString journal = p.journalDir.filePath(QStringLiteral("Journal.res"));
    const QByteArray written = contentOf(journal);

    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    const auto checks = [&](const QString &journalPath, const QString &against) {
        const QString table = dir.filePath(QStringLiteral("t.csv"));
        QFile::remove(table);
        QStringList arguments{"--table", table, journalPath};
        if (!against.isEmpty())
            arguments << "--verify" << against << "--password-file" << passwordFile;
        if (runJournalTool(arguments, JournalPlace{}, {}, out, err) != 0)
            return QStringList{QStringLiteral("failed")};
        QStringList column;
        const QStringList lines = QString::fromUtf8(contentOf(table)).split(QStringLiteral("\r\n"));
        for (const QString &line : lines)
            if (!line.isEmpty())
                column << (line.count(QLatin1Char(';')) == 11 ? line.section(QLatin1Char(';'), 11)
                                                              : QStringLiteral("-"));
        return column;
    };
    // Newest first: the sealed test's record, then the plain one's.
    QCOMPARE(checks(journal, sealedTest), QStringList({"Проверка", "подлинная", "без проверки"}));
    QVERIFY(outText.contains(QStringLiteral("Проверка «подлинная»: 1")));
    // Without --verify the table has no such column.
    QCOMPARE(checks(journal, QString()), QStringList({"-", "-", "-"}));

    // One digit changed in a visible line, or in what the record holds.
    QByteArray edited = written;
    QCOMPARE(edited.count("85%"), 2);
    edited.replace(edited.indexOf("85%"), 2, "95");
    const QString editedPath = testfiles::write(dir, QStringLiteral("edited.res"), edited);
    QCOMPARE(checks(editedPath, sealedTest), QStringList({"Проверка", "изменена", "без проверки"}));
    QByteArray retimed = written;
    const auto time = retimed.indexOf("&time=");
    QVERIFY(time > 0);
    retimed[time + 6] = retimed[time + 6] == '1' ? '2' : '1';
    QCOMPARE(checks(testfiles::write(dir, QStringLiteral("retimed.res"), retimed), sealedTest),
             QStringList({"Проверка", "изменена", "без проверки"}));

    // Another sealing of the same test, even under the same password, proves nothing here;
    // a plain test or a wrong password cannot check at all.
    const QString resealed = testfiles::write(dir, QStringLiteral("Физика2.tstt"),
                                              sealed::seal(test, "пароль-7б", sealed::Cost{1, 64}));
    QCOMPARE(checks(journal, resealed), QStringList({"Проверка", "без проверки", "без проверки"}));
    QCOMPARE(checks(journal, dir.filePath(QStringLiteral("plain.tstt"))), QStringList("failed"));
    testfiles::write(dir, QStringLiteral("pw.txt"), QByteArray("пароль-7в\n"));
    QCOMPARE(checks(journal, sealedTest), QStringList("failed"));
    err.flush();
    QVERIFY(errText.contains(QStringLiteral("Неверный пароль.")));
}

QTEST_MAIN(TestFullAttempt)
#include "tst_fullattempt.moc"
