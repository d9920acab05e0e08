// An attempt as an examinee meets it in the real main window: window sizes, mouse, keyboard
// and the hint panel.
#include "program.h"
#include "program/startup.h"
#include "richtext/qtcompat.h"
#include "shell/fonts.h"
#include "shell/menubar.h"
#include "shell/statusbar.h"
#include "testfiles.h"

#include <QAbstractButton>
#include <QAbstractTextDocumentLayout>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleHints>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTranslator>

using namespace merilon;

namespace {

// Question 1 has ten variants, one of them long; question 2 has two.
QString examineeTest()
{
    QString ten = QStringLiteral("#1 Десять вариантов?\n");
    for (int k = 1; k <= 10; ++k)
        ten += (k == 3 ? QStringLiteral("+") : QStringLiteral("-")) +
               QStringLiteral("вариант %1\n").arg(k);
    ten.replace(QStringLiteral("-вариант 7\n"),
                QStringLiteral("-вариант 7, в котором очень много слов, чтобы он никак не "
                               "поместился в одну строку ряда ответа даже в широком окне, и ещё "
                               "немного слов сверх того, и ещё, и ещё, и ещё раз, до самого "
                               "конца этой длинной строки\n"));
    ten += QLatin1Char('\n');
    return testfiles::test(50, {{1, ten}, {2, QStringLiteral("#2 Два варианта?\n+да\n-нет\n\n")}});
}

struct Window : TestProgram
{
    QTemporaryDir dir;
    Window()
    {
        open(testfiles::write(dir, QStringLiteral("t.tstt"), examineeTest()));
        MainForm.resize(692, 501);
        MainForm.show();
        QVERIFY(QTest::qWaitForWindowExposed(&MainForm));
        // Keys go to the active window only: a window still waiting for activation (as
        // under load) would leave the focus nowhere.
        MainForm.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&MainForm));
    }
    const TMainForm::Controls &ui() const { return MainForm.controls(); }
    void start()
    {
        ui().Start->trigger();
        QVERIFY(controller.attemptRunning());
    }
    void show(int question)
    {
        display.ShowQuestion(std::uint16_t(question));
        rows.LayoutAnswerRows();
    }
    // Whether the widget shows a focus mark: it looks otherwise without the focus.
    static bool focusMarkShown(QWidget *widget)
    {
        if (QApplication::focusWidget() != widget)
            return false;
        const QImage focused = widget->grab().toImage();
        widget->clearFocus();
        const QImage unfocused = widget->grab().toImage();
        widget->setFocus(Qt::TabFocusReason);
        return focused != unfocused;
    }
    // Presses a key on whatever has the focus, as the keyboard would.
    static void press(int key, const QString &text = QString(), quint32 scanCode = 0,
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget *target = QApplication::focusWidget();
        QVERIFY(target);
        QKeyEvent down(QEvent::KeyPress, key, modifiers, scanCode, 0, 0, text);
        QApplication::sendEvent(target, &down);
        QKeyEvent up(QEvent::KeyRelease, key, modifiers, scanCode, 0, 0, text);
        QApplication::sendEvent(target, &up);
    }
    int checkedRow() const
    {
        for (int k = 1; k <= rows.VariantCount(); ++k)
            if (rows.radio(k)->isChecked())
                return k;
        return 0;
    }
    // Whether the whole of the widget can be seen inside every parent up to the window.
    static bool wholeInSight(const QWidget *w)
    {
        return w->isVisible() && w->visibleRegion().boundingRect() == w->rect();
    }
};

} // namespace

class TestExaminee : public QObject
{
    Q_OBJECT

private slots:
    void init() { QGuiApplication::styleHints()->setMouseDoubleClickInterval(400); }
    // First, as the program sets itself up before its first window: Qt 5 keeps the font a
    // window matched before Wine's Tahoma was loaded.
    void captionsAndFonts();
    void lettersAtEveryWidth_data();
    void lettersAtEveryWidth();
    void longAnswerScrolls();
    void doubleClickOnNext();
    void keyboardOnly();
    void focusOnRowAWithItsMark();
    void smallestWindowKeepsALinePerRow();
    void arrowsMoveAndChoose();
    void lettersChooseWhateverTheLayout();
    void hintFollowsARestingPointer();
    void menuBarSeparatorShows();
};

void TestExaminee::lettersAtEveryWidth_data()
{
    QTest::addColumn<int>("question");
    QTest::addColumn<int>("rows");
    QTest::newRow("ten rows") << 1 << 10;
    QTest::newRow("two rows") << 2 << 2;
}

void TestExaminee::lettersAtEveryWidth()
{
    QFETCH(int, question);
    QFETCH(int, rows);
    Window w;
    w.start();
    w.show(question);
    QCOMPARE(int(w.rows.VariantCount()), rows);
    for (int width : {692, 680, 650, 600, 450, 300, w.MainForm.minimumWidth()}) {
        w.MainForm.resize(width, 501);
        QTRY_COMPARE(w.MainForm.width(), width);
        for (int k = 1; k <= rows; ++k) {
            QRadioButton *radio = w.rows.radio(k);
            QVERIFY2(Window::wholeInSight(radio),
                     qPrintable(QStringLiteral("width %1, row %2").arg(width).arg(k)));
            QTest::mouseClick(radio, Qt::LeftButton);
            QVERIFY(radio->isChecked());
        }
        // the rows' texts take the rest
        QCOMPARE(w.ui().Panelgroupodinotv->width(), 39);
    }
}

void TestExaminee::longAnswerScrolls()
{
    Window w;
    w.start();
    w.show(1);
    RichEdit *longRow = w.rows.editor(7);
    RichEdit *shortRow = w.rows.editor(2);
    QCOMPARE(longRow->height(), 20);
    // Too low for a scroll bar with two arrows and a handle: two arrow buttons side by side,
    // each as wide as a scroll bar and as high as the row; at the top only Down is on.
    QAbstractButton *up = longRow->stepButton(false);
    QAbstractButton *down = longRow->stepButton(true);
    QTRY_VERIFY(up && down && up->isVisible() && down->isVisible());
    QVERIFY(!longRow->verticalScrollBar()->isVisible());
    QVERIFY(!shortRow->stepButton(false) || !shortRow->stepButton(false)->isVisible());
    QVERIFY(!shortRow->verticalScrollBar()->isVisible());
    const int extent = longRow->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    QCOMPARE(down->width(), extent);
    QCOMPARE(down->height(), longRow->contentsRect().height());
    QCOMPARE(up->geometry().right() + 1, down->geometry().left());
    QVERIFY(down->geometry().right() < longRow->width());
    QVERIFY(longRow->viewport()->geometry().right() < up->geometry().left());
    QVERIFY(!up->isEnabled() && down->isEnabled());
    down->click();
    QVERIFY(longRow->verticalScrollBar()->value() > 0);
    QVERIFY(up->isEnabled());
    up->click();
    QCOMPARE(longRow->verticalScrollBar()->value(), 0);
    QWheelEvent wheel(QPointF(20, 10), QPointF(longRow->viewport()->mapToGlobal(QPoint(20, 10))),
                      {}, QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(longRow->viewport(), &wheel);
    QVERIFY(longRow->verticalScrollBar()->value() > 0);
    // Wheeled on to the end, the last line of text sits at the row's bottom, not a blank line.
    for (int i = 0; i < 10; ++i)
        QApplication::sendEvent(longRow->viewport(), &wheel);
    QScrollBar *bar = longRow->verticalScrollBar();
    QCOMPARE(bar->value(), bar->maximum());
    QVERIFY(!down->isEnabled());
    const QTextDocument *text = longRow->document();
    QTextBlock last = text->lastBlock();
    if (last.length() <= 1)
        last = last.previous();
    const qreal lastLineBottom =
        text->documentLayout()->blockBoundingRect(last).bottom() + text->documentMargin();
    QVERIFY2(lastLineBottom - bar->value() >= longRow->viewport()->height() - 1,
             qPrintable(QStringLiteral("text ends at %1 of a %2 px row")
                            .arg(lastLineBottom - bar->value())
                            .arg(longRow->viewport()->height())));

    // Enlarged and shrunk back: every row shows its text from the top again.
    w.MainForm.resize(900, 800);
    QTRY_COMPARE(w.MainForm.height(), 800);
    w.MainForm.resize(692, 501);
    QTRY_COMPARE(w.MainForm.height(), 501);
    for (int k = 1; k <= 10; ++k)
        QCOMPARE(w.rows.editor(k)->verticalScrollBar()->value(), 0);

    // A row high enough for a scroll bar needs no buttons.
    w.MainForm.resize(692, 900);
    QTRY_VERIFY(longRow->height() >= 3 * extent + 2 * longRow->frameWidth());
    QTRY_VERIFY(!up->isVisible() && !down->isVisible());
}

void TestExaminee::doubleClickOnNext()
{
    Window w;
    w.start();
    QPushButton *next = w.ui().Buttondalshe;
    const QPoint centre = next->rect().center();
    QCOMPARE(w.state.AskedCount, 1);

    // The second click 40 ms after the first lands while Next reads the answer.
    QCoreApplication::postEvent(next, new QMouseEvent(QEvent::MouseButtonPress, centre,
                                                      next->mapToGlobal(centre), Qt::LeftButton,
                                                      Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(next, new QMouseEvent(QEvent::MouseButtonRelease, centre,
                                                      next->mapToGlobal(centre), Qt::LeftButton,
                                                      Qt::NoButton, Qt::NoModifier));
    QTest::mouseClick(next, Qt::LeftButton);
    QCoreApplication::processEvents();
    QCOMPARE(w.state.AskedCount, 2);
    QVERIFY(next->isEnabled());

    // 200 ms after the first it lands on the next question: still the same click.
    QTest::qWait(200);
    QTest::mouseDClick(next, Qt::LeftButton);
    QTest::mouseClick(next, Qt::LeftButton);
    QCOMPARE(w.state.AskedCount, 2);

    // A click after the double-click interval is the examinee's next answer.
    QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 50);
    // (past the double-click time, or the press would belong to the key's answer)
    QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 50);
    QTest::mouseClick(next, Qt::LeftButton);
    QCOMPARE(w.state.AskedCount, 3);
}

void TestExaminee::keyboardOnly()
{
    Window w;
    w.start();
    QPushButton *next = w.ui().Buttondalshe;
    // Enter and the keypad's Enter press a focused Next.
    next->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), next);
    QTest::keyClick(next, Qt::Key_Return);
    QCOMPARE(w.state.AskedCount, 2);
    QTest::keyClick(next, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(w.state.AskedCount, 3);

    // Tab goes round the radio buttons and Next only. (Next lost the focus while it was off
    // during the answer; where the focus went then depends on timing, so start from Next.)
    next->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), next);
    QSet<QWidget *> reached;
    for (int i = 0; i < 8; ++i) {
        QVERIFY(QApplication::focusWidget());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        reached.insert(QApplication::focusWidget());
    }
    QVERIFY(reached.contains(next));
    QVERIFY(reached.contains(w.rows.radio(1)) || reached.contains(w.rows.radio(2)) ||
            reached.contains(w.rows.radio(3)));
    for (QWidget *widget : reached)
        QVERIFY2(qobject_cast<QRadioButton *>(widget) || widget == next,
                 qPrintable(widget->objectName()));
    QVERIFY(!(w.ui().Editorvopros->focusPolicy() & Qt::TabFocus));
    // The rows are one group, as the system's radio buttons are: from row A one Tab reaches
    // Next, so that Space, Tab and Enter answer a question.
    w.show(1); // ten rows
    w.rows.focusFirstRow();
    QTRY_COMPARE(QApplication::focusWidget(), w.rows.radio(1));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), next);
    for (int k = 1; k <= w.rows.VariantCount(); ++k)
        QCOMPARE(w.rows.editor(k)->focusPolicy(), Qt::NoFocus);
}

void TestExaminee::focusOnRowAWithItsMark()
{
    // After the registration and after each Next, by key or by mouse, the focus is on row A
    // and shows, so that Space ticks what the examinee sees.
    Window w;
    w.start();
    QTRY_COMPARE(QApplication::focusWidget(), w.rows.radio(1));
    QVERIFY(Window::focusMarkShown(w.rows.radio(1)));

    QPushButton *next = w.ui().Buttondalshe;
    next->setFocus(Qt::TabFocusReason);
    QTest::keyClick(next, Qt::Key_Return);
    QCOMPARE(w.state.AskedCount, 2);
    QTRY_COMPARE(QApplication::focusWidget(), w.rows.radio(1));
    QVERIFY(Window::focusMarkShown(w.rows.radio(1)));

    // (past the double-click time, or the press would belong to the key's answer)
    QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 50);
    QTest::mouseClick(next, Qt::LeftButton);
    QCOMPARE(w.state.AskedCount, 3);
    QTRY_COMPARE(QApplication::focusWidget(), w.rows.radio(1));
    QVERIFY(Window::focusMarkShown(w.rows.radio(1)));
    QTest::keyClick(w.rows.radio(1), Qt::Key_Space);
    QVERIFY(w.rows.radio(1)->isChecked());
}

void TestExaminee::smallestWindowKeepsALinePerRow()
{
    // Made as small as it goes, the window still gives each of ten rows a whole line.
    Window w;
    w.start();
    w.show(1); // ten rows
    w.MainForm.resize(500, 300);
    QTRY_VERIFY(w.MainForm.height() > 300);
    QCOMPARE(w.MainForm.height(), w.MainForm.minimumHeight());
    w.rows.LayoutAnswerRows();
    for (int k = 1; k <= 10; ++k) {
        RichEdit *row = w.rows.editor(k);
        const int line = QFontMetrics(row->font()).lineSpacing();
        QVERIFY2((!row->verticalScrollBar()->isVisible() &&
                  (!row->stepButton(true) || !row->stepButton(true)->isVisible())) ||
                     k == 7, // only the long one scrolls
                 qPrintable(QStringLiteral("row %1 scrolls").arg(k)));
        QVERIFY2(row->viewport()->height() >= line,
                 qPrintable(QStringLiteral("row %1: %2 px for a line of %3")
                                .arg(k)
                                .arg(row->viewport()->height())
                                .arg(line)));
        // its radio button still takes a click
        QRadioButton *radio = w.rows.radio(k);
        QTest::mouseClick(radio, Qt::LeftButton);
        QVERIFY2(radio->isChecked(), qPrintable(QStringLiteral("row %1").arg(k)));
    }
}

void TestExaminee::arrowsMoveAndChoose()
{
    Window w;
    w.start();
    w.show(1); // ten rows
    w.rows.focusFirstRow();
    QTRY_COMPARE(QApplication::focusWidget(), w.rows.radio(1));
    const struct
    {
        int key;
        int row;
    } steps[] = {{Qt::Key_Down, 2}, {Qt::Key_Right, 3}, {Qt::Key_Up, 2},    {Qt::Key_Left, 1},
                 {Qt::Key_Up, 10},  {Qt::Key_Down, 1},  {Qt::Key_Left, 10}, {Qt::Key_Right, 1}};
    for (const auto &step : steps) {
        Window::press(step.key);
        QCOMPARE(w.checkedRow(), step.row);
        QCOMPARE(QApplication::focusWidget(), w.rows.radio(step.row));
    }
    // Two rows: round the two.
    w.show(2);
    w.rows.focusFirstRow();
    Window::press(Qt::Key_Up);
    QCOMPARE(w.checkedRow(), 2);
    Window::press(Qt::Key_Down);
    QCOMPARE(w.checkedRow(), 1);
}

void TestExaminee::lettersChooseWhateverTheLayout()
{
    Window w;
    w.start();
    w.show(1); // ten rows
    w.rows.focusFirstRow();
    QTRY_VERIFY(QApplication::focusWidget());
    // The Latin layout.
    Window::press(Qt::Key_C, QStringLiteral("c"));
    QCOMPARE(w.checkedRow(), 3);
    QCOMPARE(QApplication::focusWidget(), w.rows.radio(3));
    Window::press(Qt::Key_J, QStringLiteral("J"), 0, Qt::ShiftModifier);
    QCOMPARE(w.checkedRow(), 10);
    // The Russian layout: the key marked D gives "в", the key marked A gives "Ф" with Shift.
    Window::press(0x0412, QStringLiteral("в"));
    QCOMPARE(w.checkedRow(), 4);
    Window::press(0x0424, QStringLiteral("Ф"), 0, Qt::ShiftModifier);
    QCOMPARE(w.checkedRow(), 1);
    // Another layout: the key in the place of E, whatever it gives.
#ifdef Q_OS_WIN
    const quint32 scanCodeOfE = 0x12;
#else
    const quint32 scanCodeOfE = 0x12 + 8;
#endif
    Window::press(0x01E9, QStringLiteral("ǩ"), scanCodeOfE);
    QCOMPARE(w.checkedRow(), 5);
    // With Ctrl or Alt a letter is a shortcut's, and a key from the question area works too.
    Window::press(Qt::Key_B, QStringLiteral("b"), 0, Qt::ControlModifier);
    QCOMPARE(w.checkedRow(), 5);
    w.ui().Editorvopros->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), w.ui().Editorvopros);
    Window::press(Qt::Key_B, QStringLiteral("b"));
    QCOMPARE(w.checkedRow(), 2);
    // A letter past the rows in use chooses nothing.
    w.show(2);
    w.rows.focusFirstRow();
    Window::press(Qt::Key_A, QStringLiteral("a"));
    Window::press(Qt::Key_C, QStringLiteral("c"));
    QCOMPARE(w.checkedRow(), 1);
    // Between attempts the letters choose nothing.
    w.ui().Stop->setEnabled(true);
    w.desktop.answers = {true};
    w.ui().Stop->trigger();
    QVERIFY(!w.controller.attemptRunning());
    w.ui().Buttondalshe->setFocus();
    Window::press(Qt::Key_B, QStringLiteral("b"));
    QCOMPARE(w.rows.radio(2)->isChecked(), false);
}

void TestExaminee::hintFollowsARestingPointer()
{
    Window w;
    StatusBar &bar = w.MainForm.status();
    QWidget *question = w.ui().Editorvopros;
    QCursor::setPos(question->mapToGlobal(question->rect().center()));
    QTRY_COMPARE(bar.panelText(HintPanel), QStringLiteral("Информация о тесте"));
    // The control under the resting pointer gets another hint: the panel follows.
    w.start();
    QTRY_COMPARE(bar.panelText(HintPanel), QStringLiteral("Прочитайте вопрос"));
    w.desktop.answers = {true};
    w.ui().Stop->trigger();
    QVERIFY(!w.controller.attemptRunning());
    QTRY_COMPARE(bar.panelText(HintPanel), QStringLiteral("Информация о тесте"));
}

void TestExaminee::menuBarSeparatorShows()
{
    Window w;
    auto *bar = qobject_cast<MenuBar *>(w.MainForm.menuBar());
    QVERIFY(bar);
    QVERIFY(bar->actions().first()->isSeparator());
    const int x = bar->leadingSeparatorX();
    QVERIFY(x >= 0);
    QVERIFY(bar->actionGeometry(w.ui().MenuFile->menuAction()).left() > x + 1);
    // the line is drawn: a pixel of the separator differs from the bar's background
    const QImage image = bar->grab().toImage();
    QVERIFY(image.pixelColor(x, bar->height() / 2) != image.pixelColor(x + 3, bar->height() / 2));
}

void TestExaminee::captionsAndFonts()
{
    QTranslator russian;
    setUpApplication(russian);
    Window w;
    // Captions are the layouts' own: the system adds no application name to them.
    QCOMPARE(QGuiApplication::applicationDisplayName(), QStringLiteral("Merilon"));
    QCOMPARE(w.MainForm.windowTitle(), QStringLiteral("Мерилон и обучение"));
    if (!merilon::hasFontFamily(QStringLiteral("Tahoma")))
        QSKIP("no Tahoma here, and none from Wine's fonts");
    QCOMPARE(QFontInfo(windowFont()).family(), QStringLiteral("Tahoma"));
}

QTEST_MAIN(TestExaminee)
#include "tst_examinee.moc"
