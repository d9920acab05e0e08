#include "program.h"
#include "shell/statusbar.h"
#include "testfiles.h"

#include <QAction>
#include <QTemporaryDir>
#include <QTest>

using namespace merilon;

class TestTimers : public QObject
{
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }
    void timeLimit();
    void clockPanels();
    void zoneLeavesTheLongFormat_data();
    void zoneLeavesTheLongFormat();
    void greeting_data();
    void greeting();
};

void TestTimers::timeLimit()
{
    QTemporaryDir dir;
    TestProgram p;
    p.open(testfiles::write(dir, QStringLiteral("t.tstt"), testfiles::test()));
    p.MainForm.controls().Start->trigger();
    QCOMPARE(p.Timetest.interval(), 1000);
    QVERIFY(p.Timetest.isActive());
    const QDateTime start = p.state.StartTime;
    const QString format = Timers::longTimeFormat(QLocale());

    p.clock.at = start.addSecs(9 * 60 + 59);
    p.timers.TimetestTimer();
    QCOMPARE(p.MainForm.status().panelText(ElapsedPanel),
             QLocale().toString(QTime(0, 9, 59), format));
    QVERIFY(p.desktop.warnings.isEmpty() && p.controller.attemptRunning());

    // The first tick at ten minutes or later, however late it comes.
    p.clock.at = start.addSecs(10 * 60 + 7);
    p.desktop.whileOpen = nullptr;
    p.timers.TimetestTimer();
    QCOMPARE(p.desktop.warnings, QStringList{"Время теста закончилось!"});
    QCOMPARE(p.windows.results.size(), size_t(1));
    QVERIFY(!p.Timetest.isActive() && !p.controller.attemptRunning());
    QCOMPARE(p.MainForm.status().panelText(ElapsedPanel), QStringLiteral("0:00:00"));
}

void TestTimers::clockPanels()
{
    TestProgram p;
    QCOMPARE(p.Timetime.interval(), 1000);
    QVERIFY(p.Timetime.isActive());
    p.clock.at = QDateTime(QDate(2026, 12, 8), QTime(14, 5, 9));
    p.timers.TimetimeTimer();
    const QString clock = p.MainForm.status().panelText(ClockPanel);
    QVERIFY2(clock.contains(QStringLiteral("14:05:09")), qPrintable(clock));
    QVERIFY(!clock.contains(QStringLiteral("UTC")) && !clock.contains(QStringLiteral("GMT")));
    QCOMPARE(p.MainForm.status().panelText(DatePanel),
             QLocale().toString(QDate(2026, 12, 8), QLocale::ShortFormat));
    QVERIFY(!p.MainForm.status().panelText(DatePanel).contains(QStringLiteral("14:05")));
}

void TestTimers::zoneLeavesTheLongFormat_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::newRow("Russian") << QLocale(QLocale::Russian, QLocale::Russia);
    QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedStates);
    QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany);
}

void TestTimers::zoneLeavesTheLongFormat()
{
    QFETCH(QLocale, locale);
    const QString format = Timers::longTimeFormat(locale);
    QVERIFY(format.contains(QLatin1Char('s')));
    QVERIFY2(!format.contains(QLatin1Char('t')), qPrintable(format));
    QCOMPARE(format, format.trimmed());
    const QString shown = locale.toString(QTime(7, 8, 9), format);
    QVERIFY2(shown.contains(QStringLiteral("08:09")) || shown.contains(QStringLiteral("8:09")),
             qPrintable(shown));
}

void TestTimers::greeting_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("first");
    QTest::newRow("midnight") << QTime(0, 0) << "Доброй ночи.";
    QTest::newRow("06:59:59") << QTime(6, 59, 59) << "Доброй ночи.";
    QTest::newRow("07:00") << QTime(7, 0) << "Доброе утро.";
    QTest::newRow("11:59") << QTime(11, 59) << "Доброе утро.";
    QTest::newRow("12:00") << QTime(12, 0) << "Добрый день.";
    QTest::newRow("18:00") << QTime(18, 0) << "Добрый вечер.";
    QTest::newRow("23:59") << QTime(23, 59) << "Добрый вечер.";
}

void TestTimers::greeting()
{
    QFETCH(QTime, time);
    TestProgram p;
    p.clock.at = QDateTime(QDate(2026, 12, 8), time);
    p.timers.showGreeting();
    QTEST(p.questionArea().Lines()[0], "first");
    QCOMPARE(p.questionArea().Lines()[1], QStringLiteral("Для начала работы выберите тест."));
    QCOMPARE(p.questionArea().Lines().Count(), 2);
}

QTEST_MAIN(TestTimers)
#include "tst_timers.moc"
