#include "richtext/richedit.h"
#include "shell/mainform.h"
#include "shell/menubar.h"
#include "shell/statusbar.h"

#include <QApplication>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

using merilon::TMainForm;

class TestMainForm : public QObject
{
    Q_OBJECT

private slots:
    void commandsInDeclarationOrder();
    void initialState();
    void shortcutsWorkWithFocusInQuestionArea();
    void hintsGoToTheHintPanel();
    void hintPanelTakesTheRest();
    void panelTextsEndAfterAWholeWord();
    void statusTextsShowWhole();
    void controlsFollowTheirEdges();
};

void TestMainForm::commandsInDeclarationOrder()
{
    TMainForm form;
    struct Want
    {
        const char *name, *category, *caption, *hint, *shortcut;
        bool enabled, picture;
    };
    const Want want[] = {
        {"Inform", "Тест", "Информация", "Информация о тесте (Ctrl+I)", "Ctrl+I", true, true},
        {"FileOpen1", "Файл", "Открыть", "Открыть тест", "Ctrl+O", true, true},
        {"Zurnal", "Файл", "Журнал", "Посмотреть журнал тестирования (Ctrl+J)", "Ctrl+J", true,
         true},
        {"Zakruttest", "Файл", "Закрыть", "Закрыть тест (Ctrl+Q)", "Ctrl+Q", false, true},
        {"FileExit1", "Файл", "Выход", "Выход из теста", "Alt+F4", true, true},
        {"Start", "Тест", "Начать", "Начать тест", "F5", false, true},
        {"Stop", "Тест", "Закончить", "Закончить тест (Alt+X)", "Alt+X", false, true},
        {"Helpfile", "Справка", "Просмотр справки", "Просмотр справки о программе", "F1", true,
         true},
        {"About", "Справка", "О программе", "Просмотр информации о программе", "", true, false},
    };
    const QList<QAction *> actions = form.ActionManager1();
    QCOMPARE(actions.size(), 9);
    for (int i = 0; i < 9; ++i) {
        QAction *a = actions[i];
        QCOMPARE(a->objectName(), QString::fromUtf8(want[i].name));
        QCOMPARE(a->property("category").toString(), QString::fromUtf8(want[i].category));
        QCOMPARE(a->text(), QString::fromUtf8(want[i].caption));
        QCOMPARE(a->statusTip(), QString::fromUtf8(want[i].hint));
        QCOMPARE(a->shortcut(), QKeySequence(QString::fromUtf8(want[i].shortcut)));
        QCOMPARE(a->isEnabled(), want[i].enabled);
        QCOMPARE(!a->icon().isNull(), want[i].picture);
        QVERIFY(a->toolTip().isEmpty() || a->toolTip() == a->text());
    }
    // the pictures: thirteen, 16 x 16, with transparency
    for (int i = 0; i < 13; ++i) {
        const QImage image = TMainForm::ImageList1(i).pixmap(16, 16).toImage();
        QCOMPARE(image.size(), QSize(16, 16));
        QVERIFY(image.hasAlphaChannel());
        QCOMPARE(image.pixelColor(0, 0).alpha() < 255 || image.pixelColor(15, 0).alpha() < 255,
                 true);
    }
    // menu bar: a separator first, then the three menus in order
    const QList<QAction *> bar = form.controls().ActionMainMenuBar1->actions();
    QCOMPARE(bar.size(), 4);
    QVERIFY(bar[0]->isSeparator());
    QCOMPARE(bar[1]->text(), QStringLiteral("Файл"));
    QCOMPARE(bar[2]->text(), QStringLiteral("Тест"));
    QCOMPARE(bar[3]->text(), QStringLiteral("Справка"));
    const QList<QAction *> file = form.controls().MenuFile->actions();
    QCOMPARE(file.size(), 6);
    QCOMPARE(file[0], form.controls().FileOpen1);
    QCOMPARE(file[1], form.controls().Zurnal);
    QVERIFY(file[2]->isSeparator() && file[4]->isSeparator());
    QCOMPARE(file[3], form.controls().Zakruttest);
    QCOMPARE(file[5], form.controls().FileExit1);
    QCOMPARE(
        form.controls().MenuTest->actions(),
        (QList<QAction *>{form.controls().Inform, form.controls().Start, form.controls().Stop}));
}

void TestMainForm::initialState()
{
    TMainForm form;
    const auto &w = form.controls();
    QCOMPARE(form.objectName(), QStringLiteral("MainForm"));
    QCOMPARE(form.windowTitle(), QStringLiteral("Мерилон и обучение"));
    QCOMPARE(form.size(), QSize(692, 501));
    QVERIFY(w.Editorvopros->isReadOnly());
    QCOMPARE(w.Editorvopros->statusTip(), QStringLiteral("Информация о тесте"));
    QVERIFY(w.Editorvopros->toolTip().isEmpty());
    QCOMPARE(w.Editorvopros->font().pointSizeF(), 11.0);
    QVERIFY(w.Editorvopros->font().families().contains(QStringLiteral("Times New Roman")));
    QVERIFY(w.Editortest->isHidden());
    QVERIFY(w.Panelvybotv->isHidden());
    QVERIFY(!w.Buttondalshe->isEnabled());
    QCOMPARE(w.Buttondalshe->text(), QStringLiteral("Дальше"));
    QCOMPARE(w.GroupBox1->title(), QStringLiteral("Укажите один вариант ответа"));
    QVERIFY(w.Radiootv1->isChecked());
    QCOMPARE(w.Radiootv2->text(), QStringLiteral("B"));
    QVERIFY(w.Editorvarotv1->isReadOnly() && w.Editorvarotv2->isReadOnly());

    merilon::StatusBar &bar = form.status();
    QCOMPARE(bar.panelCount(), 6);
    // The mode panel as designed, or as wide as its longest text needs in a wider Tahoma.
    const int widths[] = {100, 150, 70, 70, 70};
    QVERIFY(bar.panelWidth(0) >= 100 && bar.panelWidth(0) <= 110);
    for (int i = 1; i < 5; ++i)
        QCOMPARE(bar.panelWidth(i), widths[i]);
    QCOMPARE(bar.panelText(merilon::ModePanel), QStringLiteral("Выберите тест"));
    for (int i = 1; i < 6; ++i)
        QCOMPARE(bar.panelText(i), QString());
}

void TestMainForm::shortcutsWorkWithFocusInQuestionArea()
{
    TMainForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    for (QAction *a : form.ActionManager1())
        a->setEnabled(true);
    form.controls().Editorvopros->setFocus();
    const struct
    {
        QAction *action;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    } keys[] = {
        {form.controls().FileOpen1, Qt::Key_O, Qt::ControlModifier},
        {form.controls().Zurnal, Qt::Key_J, Qt::ControlModifier},
        {form.controls().Zakruttest, Qt::Key_Q, Qt::ControlModifier},
        {form.controls().Inform, Qt::Key_I, Qt::ControlModifier},
        {form.controls().Start, Qt::Key_F5, Qt::NoModifier},
        {form.controls().Stop, Qt::Key_X, Qt::AltModifier},
        {form.controls().Helpfile, Qt::Key_F1, Qt::NoModifier},
    };
    for (const auto &k : keys) {
        QSignalSpy spy(k.action, &QAction::triggered);
        QTest::keyClick(form.controls().Editorvopros, k.key, k.modifiers);
        QVERIFY2(spy.count() == 1, qPrintable(k.action->objectName()));
    }
}

void TestMainForm::hintsGoToTheHintPanel()
{
    TMainForm form;
    form.show();
    const auto &w = form.controls();
    merilon::StatusBar &bar = form.status();

    // entering a control with a hint shows it; leaving it empties the panel
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(w.Editorvopros, &enter);
    QCOMPARE(bar.panelText(merilon::HintPanel), QStringLiteral("Информация о тесте"));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(w.Editorvopros, &leave);
    QCOMPARE(bar.panelText(merilon::HintPanel), QString());

    // a menu command under the highlight
    w.MenuFile->popup(QPoint(0, 0));
    w.MenuFile->setActiveAction(w.Zurnal);
    QCOMPARE(bar.panelText(merilon::HintPanel),
             QStringLiteral("Посмотреть журнал тестирования (Ctrl+J)"));
    w.MenuFile->hide();

    // nothing else writes over the panels
    form.ShowHint(QString());
    QCOMPARE(bar.panelText(merilon::HintPanel), QString());
    QCOMPARE(bar.panelText(merilon::ModePanel), QStringLiteral("Выберите тест"));
}

void TestMainForm::hintPanelTakesTheRest()
{
    TMainForm form;
    form.show();
    merilon::StatusBar &bar = form.status();
    form.resize(900, 501);
    const int wider = bar.panelWidth(merilon::ModePanel) - 100;
    QCOMPARE(bar.panelWidth(merilon::HintPanel), bar.width() - 467 - wider);
    bar.resize(300, bar.height());
    QCOMPARE(bar.panelWidth(merilon::HintPanel), 0);
    QCOMPARE(bar.panelWidth(merilon::ModePanel), 100 + wider);
}

void TestMainForm::panelTextsEndAfterAWholeWord()
{
    // Every command's hint in the hint panel at the window's design size and narrower: what
    // shows lies inside the bar and is the whole hint or its first whole words and "…".
    TMainForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    merilon::StatusBar &bar = form.status();
    auto *panel = bar.findChild<QLabel *>(QStringLiteral("Panel%1").arg(merilon::HintPanel));
    QVERIFY(panel);
    for (int width : {692, 650, 600}) {
        form.resize(width, 501);
        QTRY_COMPARE(form.width(), width);
        for (QAction *action : form.ActionManager1()) {
            const QString hint = action->statusTip();
            form.ShowHint(hint);
            QApplication::processEvents();
            const QString shown = panel->text();
            const QString what =
                QStringLiteral("%1 px: «%2» shows «%3»").arg(width).arg(hint, shown);
            QVERIFY2(shown == hint || (shown.endsWith(QChar(0x2026)) &&
                                       hint.startsWith(shown.chopped(1) + QLatin1Char(' '))),
                     qPrintable(what));
            // the panel lies inside what the bar shows of the panels (left of the size grip),
            // and the text inside the panel, however it is aligned
            const QWidget *strip = panel->parentWidget();
            QVERIFY2(panel->geometry().right() < strip->width(), qPrintable(what));
            QVERIFY2(strip->geometry().right() < bar.width() - 10, qPrintable(what));
            QVERIFY2(panel->fontMetrics().horizontalAdvance(shown) <=
                         panel->contentsRect().width() - 2,
                     qPrintable(what));
        }
    }
}

void TestMainForm::statusTextsShowWhole()
{
    // Every text the program puts into the fixed panels shows whole at the designed size, in
    // the program's Tahoma (Wine's, where that is the one there is).
    TMainForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    merilon::StatusBar &bar = form.status();
    const QList<std::pair<int, QString>> texts{
        {merilon::ModePanel, QStringLiteral("Выберите тест")},
        {merilon::ModePanel, QStringLiteral("Выберите режим")},
        {merilon::ModePanel, QStringLiteral("Запуск теста F5")},
        {merilon::ModePanel, QStringLiteral("Мерилон")},
        {merilon::ModePanel, QStringLiteral("Журнал")},
        {merilon::ProgressPanel, QStringLiteral("Задание № 20 из 20")},
        {merilon::ElapsedPanel, QStringLiteral("0:10:00")},
        {merilon::ClockPanel, QStringLiteral("23:59:59")},
        {merilon::DatePanel, QStringLiteral("28.02.2026")},
    };
    for (const auto &[index, text] : texts) {
        bar.setPanelText(index, text);
        const auto *panel = bar.findChild<QLabel *>(QStringLiteral("Panel%1").arg(index));
        QVERIFY(panel);
        QVERIFY2(panel->text() == text &&
                     panel->fontMetrics().horizontalAdvance(text) <= panel->contentsRect().width(),
                 qPrintable(QStringLiteral("«%1» shows as «%2» in %3 px (%4 px needed)")
                                .arg(text, panel->text())
                                .arg(panel->contentsRect().width())
                                .arg(panel->fontMetrics().horizontalAdvance(text))));
    }
}

void TestMainForm::controlsFollowTheirEdges()
{
    TMainForm form;
    form.show();
    const auto &w = form.controls();
    w.Panelvybotv->show();
    QSignalSpy resized(&form, &TMainForm::FormResize);
    const QRect question = w.Editorvopros->geometry();
    const QRect panel = w.Panelvybotv->geometry();
    const QRect button = w.Buttondalshe->geometry();
    form.resize(form.width() + 100, form.height() + 60);
    QVERIFY(resized.count() >= 1);
    QCOMPARE(w.Editorvopros->width(), question.width() + 100);
    QCOMPARE(w.Editorvopros->height(), question.height());
    QCOMPARE(w.Panelvybotv->width(), panel.width() + 100);
    QCOMPARE(w.Panelvybotv->height(), panel.height() + 60);
    QCOMPARE(w.Buttondalshe->width(), button.width() + 100);
    QCOMPARE(w.Buttondalshe->y(), button.y() + 60);
}

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
