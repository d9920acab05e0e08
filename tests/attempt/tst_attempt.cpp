#include "program.h"
#include "shell/statusbar.h"
#include "testfiles.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <set>

using namespace merilon;

namespace {

// A program with a test opened and, when asked, an attempt started.
struct Session : TestProgram
{
    QTemporaryDir dir;
    explicit Session(bool start = true)
    {
        open(testfiles::write(dir, QStringLiteral("t.tstt"), testfiles::test()));
        if (start)
            MainForm.controls().Start->trigger();
    }
    const TMainForm::Controls &ui() const { return MainForm.controls(); }
    QString panel(int index) const { return MainForm.status().panelText(index); }
    // Answers the question on screen; the second row of every block is right.
    void answer(bool right)
    {
        rows.radio(right ? 2 : 1)->setChecked(true);
        ui().Buttondalshe->click();
    }
    QString report() { return Formresult.controls().Editresult->content().Text(); }
};

} // namespace

class TestAttempt : public QObject
{
    Q_OBJECT

private slots:
    void registrationClosed();
    void wholeAttempt();
    void secondAttempt();
    void stop();
    void timeOut();
    void closeTest_data();
    void closeTest();
    void closeWindow_data();
    void closeWindow();
    void timeOutInsideWaits_data();
    void timeOutInsideWaits();
};

void TestAttempt::registrationClosed()
{
    Session s(false);
    s.windows.register_ = false;
    s.ui().Start->trigger();
    QCOMPARE(s.panel(ModePanel), QStringLiteral("Выберите тест"));
    QVERIFY(s.ui().Start->isEnabled());
    QVERIFY(!s.ui().Stop->isEnabled());
    QVERIFY(!s.ui().Buttondalshe->isEnabled());
    QVERIFY(!s.Timetest.isActive());
    QVERIFY(s.windows.results.empty());
}

void TestAttempt::wholeAttempt()
{
    Session s;
    const TMainForm::Controls &ui = s.ui();
    QVERIFY(s.state.Registered);
    QCOMPARE(s.state.StartTime, s.clock.at);
    QVERIFY(s.Timetest.isActive());
    QCOMPARE(s.panel(ModePanel), QStringLiteral("Мерилон"));
    QCOMPARE(s.panel(ProgressPanel), QStringLiteral("Задание № 1 из 20"));
    QCOMPARE(ui.Editorvopros->statusTip(), QStringLiteral("Прочитайте вопрос"));
    QVERIFY(!ui.FileOpen1->isEnabled() && !ui.Zurnal->isEnabled() && !ui.Start->isEnabled());
    QVERIFY(ui.Stop->isEnabled() && ui.Zakruttest->isEnabled() && ui.Buttondalshe->isEnabled());
    QVERIFY(ui.Panelvybotv->isVisibleTo(&s.MainForm));
    const std::set<int> order(s.state.QuestionOrder.begin(), s.state.QuestionOrder.end());
    QCOMPARE(order.size(), size_t(50));
    QCOMPARE(s.questionArea().Lines()[0],
             QStringLiteral("Вопрос %1?").arg(s.state.QuestionOrder[0]));

    // Open is not to be had during an attempt.
    s.desktop.filter.clear();
    ui.FileOpen1->trigger();
    QVERIFY(s.desktop.filter.isEmpty());

    for (int k = 1; k <= 19; ++k)
        s.answer(k <= 13);
    QCOMPARE(s.panel(ProgressPanel), QStringLiteral("Задание № 20 из 20"));
    QCOMPARE(s.questionArea().Lines()[0],
             QStringLiteral("Вопрос %1?").arg(s.state.QuestionOrder[19]));
    QVERIFY(s.windows.results.empty());
    s.ui().Buttondalshe->click(); // the 20th, unanswered
    QCOMPARE(s.windows.results, std::vector<int>{13});
    QVERIFY(s.report().contains(QStringLiteral(" Правильных ответов: 13\r\n")));
    QVERIFY(s.report().contains(QStringLiteral("Васечкин Петя")));

    QVERIFY(ui.Start->isEnabled() && !ui.Stop->isEnabled() && !ui.Buttondalshe->isEnabled());
    QVERIFY(ui.FileOpen1->isEnabled() && ui.Zurnal->isEnabled() && ui.Zakruttest->isEnabled());
    QVERIFY(!ui.Panelvybotv->isVisibleTo(&s.MainForm));
    QVERIFY(!s.Timetest.isActive());
    QCOMPARE(s.panel(ModePanel), QStringLiteral("Выберите режим"));
    QCOMPARE(s.panel(ProgressPanel), QString());
    QCOMPARE(s.panel(ElapsedPanel), QStringLiteral("0:00:00"));
    QCOMPARE(ui.Editorvopros->statusTip(), QStringLiteral("Информация о тесте"));
    QCOMPARE(s.questionArea().Lines()[0], QStringLiteral("Время на выполнение теста 10 минут."));
    QCOMPARE(s.questionArea().Lines().Count(), 7);
}

void TestAttempt::secondAttempt()
{
    Session s;
    s.answer(true);
    const std::vector<std::int32_t> first = s.state.QuestionOrder;
    s.desktop.answers = {true};
    s.ui().Stop->trigger();
    s.Startform.controls().Editfam->setText(QStringLiteral("Семёнова"));

    s.ui().Start->trigger();
    QVERIFY(s.state.QuestionOrder != first);
    QCOMPARE(s.state.CorrectCount, 0);
    QCOMPARE(s.Startform.controls().Editfam->text(), QStringLiteral("Семёнова"));
    QCOMPARE(s.Startform.controls().Editimya->text(), QStringLiteral("Петя"));
    QCOMPARE(s.panel(ProgressPanel), QStringLiteral("Задание № 1 из 20"));
}

void TestAttempt::stop()
{
    Session s;
    for (bool right : {true, false, true, true, false})
        s.answer(right);
    s.rows.radio(2)->setChecked(true); // the question on screen is not counted

    s.desktop.answers = {false};
    s.ui().Stop->trigger();
    QCOMPARE(s.desktop.questions, QStringList{"Вы действительно хотите прервать тест?"});
    QVERIFY(s.Timetest.isActive() && s.controller.attemptRunning());

    s.desktop.answers = {true};
    s.ui().Stop->trigger();
    QCOMPARE(s.windows.results, std::vector<int>{3});
    QVERIFY(s.report().contains(QStringLiteral(" Процент правильных ответов: 15%")));
    QVERIFY(s.report().contains(QStringLiteral(" Задано вопросов: 20\r\n")));
    QCOMPARE(s.state.CorrectCount, 0);
    QVERIFY(s.ui().FileOpen1->isEnabled() && s.ui().Start->isEnabled());
}

void TestAttempt::timeOut()
{
    Session s;
    s.answer(true);
    s.controller.timeOut();
    QCOMPARE(s.desktop.warnings, QStringList{"Время теста закончилось!"});
    QCOMPARE(s.windows.results, std::vector<int>{1});
    QVERIFY(!s.ui().FileOpen1->isEnabled() && !s.ui().Zurnal->isEnabled());
    QVERIFY(s.ui().Start->isEnabled() && s.ui().Zakruttest->isEnabled());
    QVERIFY(!s.ui().Stop->isEnabled() && !s.Timetest.isActive());
    QCOMPARE(s.ui().Editorvopros->statusTip(), QStringLiteral("Прочитайте вопрос"));
    QCOMPARE(s.panel(ModePanel), QStringLiteral("Выберите режим"));
    s.controller.timeOut(); // an attempt ends once
    QCOMPARE(s.windows.results.size(), size_t(1));

    // A new attempt starts from here, and its Stop brings Open back.
    s.ui().Start->trigger();
    QVERIFY(s.controller.attemptRunning() && s.Timetest.isActive());
    s.desktop.answers = {true};
    s.ui().Stop->trigger();
    QVERIFY(s.ui().FileOpen1->isEnabled() && s.ui().Zurnal->isEnabled());
    QCOMPARE(s.ui().Editorvopros->statusTip(), QStringLiteral("Информация о тесте"));

    // Open from a finished attempt loads the test again.
    s.open(testfiles::write(s.dir, QStringLiteral("again.tstt"), testfiles::test()));
    QCOMPARE(s.panel(ModePanel), QStringLiteral("Запуск теста F5"));
    QVERIFY(s.ui().Start->isEnabled() && s.ui().Zakruttest->isEnabled());
}

void TestAttempt::closeTest_data()
{
    QTest::addColumn<bool>("attempt");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<bool>("closed");
    QTest::newRow("no attempt") << false << false << true;
    QTest::newRow("attempt, yes") << true << true << true;
    QTest::newRow("attempt, no") << true << false << false;
}

void TestAttempt::closeTest()
{
    QFETCH(bool, attempt);
    QFETCH(bool, yes);
    QFETCH(bool, closed);
    Session s(attempt);
    const QString mode = s.panel(ModePanel);
    s.desktop.answers = {yes};
    s.ui().Zakruttest->trigger();
    QCOMPARE(s.desktop.questions.size(), attempt ? 1 : 0);
    QCOMPARE(s.windows.results.size(), size_t(attempt && yes ? 1 : 0));
    QCOMPARE(s.document().TextLength() == 0, closed);
    if (closed) {
        QCOMPARE(s.questionArea().Text(), QStringLiteral("Для начала работы выбирите тест.\r\n"));
        QVERIFY(!s.ui().Zakruttest->isEnabled() && !s.ui().Start->isEnabled());
        QVERIFY(!s.ui().Stop->isEnabled() && !s.ui().Buttondalshe->isEnabled());
        QVERIFY(s.ui().FileOpen1->isEnabled() && s.ui().Zurnal->isEnabled());
        QVERIFY(!s.ui().Panelvybotv->isVisibleTo(&s.MainForm) && !s.Timetest.isActive());
        QCOMPARE(s.rows.VariantCount(), 2);
        QCOMPARE(s.panel(ModePanel), mode); // the panels keep their texts
    } else {
        QVERIFY(s.controller.attemptRunning() && s.Timetest.isActive());
    }
}

void TestAttempt::closeWindow_data()
{
    QTest::addColumn<bool>("attempt");
    QTest::addColumn<bool>("yes");
    QTest::newRow("no attempt") << false << false;
    QTest::newRow("attempt, yes") << true << true;
    QTest::newRow("attempt, no") << true << false;
}

void TestAttempt::closeWindow()
{
    QFETCH(bool, attempt);
    QFETCH(bool, yes);
    Session s(attempt);
    s.MainForm.show();
    QApplication::clipboard()->setText(QStringLiteral("чужое"));
    s.desktop.answers = {yes};
    s.ui().FileExit1->trigger();
    QCOMPARE(s.desktop.questions.size(), attempt ? 1 : 0);
    const bool closes = !attempt || yes;
    QCOMPARE(s.MainForm.isVisible(), !closes);
    QCOMPARE(s.windows.results.size(), size_t(attempt && yes ? 1 : 0));
    QCOMPARE(clipboardEmpty(), closes);
    if (!closes)
        QVERIFY(s.controller.attemptRunning() && s.Timetest.isActive());
}

void TestAttempt::timeOutInsideWaits_data()
{
    QTest::addColumn<QString>("wait");
    QTest::newRow("Stop confirmation") << "stop";
    QTest::newRow("Close test confirmation") << "close test";
    QTest::newRow("window close confirmation") << "close window";
    QTest::newRow("repaint of Next") << "next";
    QTest::newRow("result window") << "result";
}

void TestAttempt::timeOutInsideWaits()
{
    QFETCH(QString, wait);
    Session s;
    s.MainForm.show();
    s.answer(true);
    const auto timeOut = [&s] {
        s.controller.timeOut();
    };
    s.desktop.whileOpen = timeOut;
    s.desktop.answers = {true};
    const int asked = s.state.AskedCount;
    if (wait == QLatin1String("stop")) {
        s.ui().Stop->trigger();
    } else if (wait == QLatin1String("close test")) {
        s.ui().Zakruttest->trigger();
        QCOMPARE(s.document().TextLength(), 0); // Yes still closes the test
    } else if (wait == QLatin1String("close window")) {
        s.ui().FileExit1->trigger();
        QVERIFY(!s.MainForm.isVisible());
    } else if (wait == QLatin1String("result")) {
        s.desktop.whileOpen = nullptr;
        s.windows.whileOpen = timeOut; // the clock has stopped before the window shows
        s.ui().Stop->trigger();
        s.controller.timeOut();
    } else {
        s.desktop.whileOpen = nullptr;
        QTimer::singleShot(0, &s.MainForm, timeOut);
        s.answer(true);
        QCOMPARE(s.state.AskedCount, asked); // no question after the end
        QVERIFY(!s.ui().Panelvybotv->isVisibleTo(&s.MainForm));
    }
    // Stopped before its result showed, the attempt never times out.
    QCOMPARE(s.desktop.warnings, wait == QLatin1String("result")
                                     ? QStringList()
                                     : QStringList{"Время теста закончилось!"});
    QCOMPARE(s.windows.results.size(), size_t(1));
    QVERIFY(!s.controller.attemptRunning() && !s.Timetest.isActive());
}

QTEST_MAIN(TestAttempt)
#include "tst_attempt.moc"
