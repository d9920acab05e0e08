#include "richtext/richedit.h"
#include "shell/aboutbox.h"
#include "shell/dialogframe.h"
#include "shell/formresult.h"
#include "shell/formzurnal.h"
#include "shell/inforform.h"
#include "shell/passwordform.h"
#include "shell/startform.h"
#include "shell/statusbar.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace merilon;

class TestDialogs : public QObject
{
    Q_OBJECT

private slots:
    void frames();
    void registrationLayout();
    void journalLayout();
    void aboutBox();
    void enterPressesTheFocusedButton();
    void labelsAndPanelsKeepWholeWords();
    void passwordWindow();
};

void TestDialogs::frames()
{
    QWidget owner;
    TStartform start(&owner);
    TFormresult result(&owner);
    TFormzurnal journal(&owner);
    TInforform info(&owner);
    TAboutBox about(&owner);
    struct Frame
    {
        QDialog *dialog;
        QString caption;
        QSize client;
        bool fixed;
        bool closeButton;
    };
    for (const Frame &f : {Frame{&start, "Введите информацию о себе", {289, 90}, true, true},
                           Frame{&result, "Результаты теста", {530, 211}, true, false},
                           Frame{&journal, "Журнал", {418, 373}, false, true},
                           Frame{&info, "Информация о тесте", {365, 259}, true, true},
                           Frame{&about, "About", {298, 213}, true, true}}) {
        QCOMPARE(f.dialog->windowTitle(), f.caption);
        QCOMPARE(f.dialog->size(), f.client);
        QCOMPARE(f.dialog->minimumSize() == f.dialog->maximumSize(), f.fixed);
        QCOMPARE(bool(f.dialog->windowFlags() & Qt::WindowCloseButtonHint), f.closeButton);
        QVERIFY(f.dialog->isModal());
        QCOMPARE(f.dialog->font().pixelSize(), 11);
    }
    QVERIFY(journal.windowFlags() & Qt::WindowMinMaxButtonsHint);
    QVERIFY(!result.controls().Editresult->isEnabled());
    QCOMPARE(result.controls().Editresult->font().pixelSize(), 13);
    QVERIFY(result.controls().Editresult->font().italic());
    QCOMPARE(result.controls().Editresult->lineWrapMode(), QTextEdit::NoWrap);
}

void TestDialogs::registrationLayout()
{
    TStartform form;
    const TStartform::Controls &ui = form.controls();
    QCOMPARE(ui.Editfam->geometry(), QRect(8, 24, 137, 21));
    QCOMPARE(ui.Editimya->geometry(), QRect(160, 24, 121, 21));
    QCOMPARE(ui.Buttonok->geometry(), QRect(8, 56, 273, 25));
    QCOMPARE(ui.Label1->text(), QStringLiteral("Ваша фамилия"));
    QCOMPARE(ui.Label2->text(), QStringLiteral("Ваше имя"));
    QCOMPARE(ui.Editfam->text(), QStringLiteral("Васечкин"));
    QCOMPARE(ui.Editimya->text(), QStringLiteral("Петя"));
    // Hints are tooltips in this window.
    QCOMPARE(ui.Editfam->toolTip(),
             QStringLiteral("Введите свою фамилию и имя, например: Васечкин Петя"));
    QCOMPARE(ui.Buttonok->toolTip(), QStringLiteral("Начать тест"));
    QVERIFY(ui.Editimya->toolTip().isEmpty());
}

void TestDialogs::journalLayout()
{
    TFormzurnal form;
    const TFormzurnal::Controls &ui = form.controls();
    QCOMPARE(ui.Button1->text(), QStringLiteral("Копировать"));
    QCOMPARE(ui.Button2->text(), QStringLiteral("Печатать"));
    QCOMPARE(ui.Button3->text(), QStringLiteral("Отмена"));
    QCOMPARE(ui.copydoc->shortcut(), QKeySequence(QStringLiteral("Ctrl+C")));
    QCOMPARE(ui.printdoc->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));
    QCOMPARE(ui.Buttontable->text(), QStringLiteral("Таблица…"));
    QCOMPARE(ui.tabledoc->shortcut(), QKeySequence(QStringLiteral("Ctrl+T")));
    QVERIFY(ui.Buttontable->statusTip().contains(QStringLiteral("Ctrl+T")));
    QCOMPARE(ui.Button1->nextInFocusChain(), ui.Button3);
    QCOMPARE(ui.Button3->nextInFocusChain(), ui.Button2);
    QCOMPARE(ui.Button2->nextInFocusChain(), ui.Buttontable);
    QCOMPARE(ui.Editorzur->content().Text(), QStringLiteral("\r\n"));
    QSignalSpy copied(ui.copydoc, &QAction::triggered);
    ui.Button1->click();
    QCOMPARE(copied.size(), 1);

    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.resize(518, 473);
    // Four buttons share the row that held three.
    QTRY_COMPARE(ui.Button1->geometry(), QRect(6, 440, 97, 25));
    QCOMPARE(ui.Button2->geometry(), QRect(109, 440, 97, 25));
    QCOMPARE(ui.Buttontable->geometry(), QRect(212, 440, 97, 25));
    QCOMPARE(ui.Button3->geometry(), QRect(415, 440, 97, 25));
    QCOMPARE(ui.Editorzur->geometry(), QRect(8, 8, 401, 321));
    // Ctrl+C anywhere in the window is the copy command (a window shortcut: the window must
    // be the active one, or the key reaches no shortcut).
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    ui.Editorzur->setFocus();
    QTest::keyClick(ui.Editorzur, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(copied.size(), 2);
}

void TestDialogs::aboutBox()
{
    TAboutBox about;
    const TAboutBox::Controls &ui = about.controls();
    QCOMPARE(ui.ProductName->text(), QStringLiteral("Название: «Мерилон»"));
    QCOMPARE(ui.Version->text(), QStringLiteral("Версия: 1.1.1.1"));
    QVERIFY(ui.Comments->text().startsWith(QStringLiteral("Комментарий:       Программа")));
    QVERIFY(ui.OKButton->isDefault());
    QCOMPARE(ui.ProgramIcon->property("pixmap").value<QPixmap>().size(),
             QSize(32, 32)); // the program's icon
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    QTest::keyClick(&about, Qt::Key_Return);
    QVERIFY(!about.isVisible());
    QCOMPARE(about.result(), int(QDialog::Accepted));
}

void TestDialogs::enterPressesTheFocusedButton()
{
    // As on Windows, a focused push button takes Enter and the keypad's Enter.
    QWidget owner;
    TFormresult result(&owner);
    TFormzurnal journal(&owner);
    TInforform info(&owner);
    const QList<QPushButton *> buttons{result.controls().Buttonok, journal.controls().Button1,
                                       journal.controls().Button2, journal.controls().Button3,
                                       info.controls().Buttonok};
    for (QPushButton *button : buttons) {
        button->window()->show();
        QApplication::setActiveWindow(button->window());
        QVERIFY(QTest::qWaitForWindowActive(button->window()));
        button->setFocus();
        QSignalSpy clicked(button, &QPushButton::clicked);
        QTest::keyClick(button, Qt::Key_Return);
        QTest::keyClick(button, Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY2(clicked.size() == 2, qPrintable(button->window()->objectName() + QLatin1Char(' ') +
                                                 button->objectName() + QLatin1Char(' ') +
                                                 QString::number(clicked.size())));
        button->window()->hide();
    }
    // The registration window keeps its rule: Enter does nothing there.
    TStartform start(&owner);
    start.show();
    QApplication::setActiveWindow(&start);
    QVERIFY(QTest::qWaitForWindowActive(&start));
    start.controls().Buttonok->setFocus();
    QSignalSpy clicked(start.controls().Buttonok, &QPushButton::clicked);
    QTest::keyClick(start.controls().Buttonok, Qt::Key_Return);
    QCOMPARE(clicked.size(), 0);
}

void TestDialogs::labelsAndPanelsKeepWholeWords()
{
    const QFontMetrics metrics(QFont(QStringLiteral("DejaVu Sans"), 9));
    const QString hint = QStringLiteral("Посмотреть журнал тестирования (Ctrl+J)");
    QCOMPARE(fitAtWords(hint, metrics, 10000), hint);
    const QString cut = fitAtWords(hint, metrics, metrics.horizontalAdvance(hint) - 5);
    QCOMPARE(cut, QStringLiteral("Посмотреть журнал тестирования…"));
    QVERIFY(hint.startsWith(cut.chopped(1) + QLatin1Char(' ')));

    // A fixed label of a wider font widens to its text, or breaks it at words.
    QWidget window;
    window.resize(200, 100);
    auto *version = new QLabel(QStringLiteral("Версия: 1.1.1.1"), &window);
    version->setGeometry(10, 10, 20, 13);
    auto *longer = new QLabel(hint + QStringLiteral(" ") + hint, &window);
    longer->setGeometry(10, 40, 100, 13);
    keepLabelsWhole(window);
    QVERIFY(version->width() >= version->fontMetrics().horizontalAdvance(version->text()));
    QVERIFY(longer->wordWrap());

    // A long hint in a narrow panel starts at the panel's left, whole words only; the whole
    // text is still the panel's.
    StatusBar bar;
    bar.resize(300, 20);
    bar.setPanels({100, 100}, 100);
    bar.setPanelText(0, hint);
    QCOMPARE(bar.panelText(0), hint);
    auto *panel = bar.findChild<QLabel *>(QStringLiteral("Panel0"));
    QVERIFY(panel->text().endsWith(QStringLiteral("…")));
    QVERIFY(hint.startsWith(panel->text().chopped(1)));
    QVERIFY(panel->alignment() & Qt::AlignLeft);
}

void TestDialogs::passwordWindow()
{
    QWidget owner;
    for (const char *family : {"Tahoma", "DejaVu Serif"}) {
        QFont font(QString::fromLatin1(family));
        font.setPointSize(family[0] == 'T' ? 8 : 11);
        QApplication::setFont(font);
        TPasswordform form(&owner);
        const TPasswordform::Controls &ui = form.controls();
        QCOMPARE(form.objectName(), QStringLiteral("Passwordform"));
        QVERIFY(form.isModal());
        QCOMPARE(form.minimumSize(), form.maximumSize());
        // The prompt whole on one line whatever the font; the window holds it and its buttons.
        QCOMPARE(ui.Labelprompt->text(),
                 QStringLiteral("Тест защищён паролем. Введите пароль учителя:"));
        QVERIFY(ui.Labelprompt->width() >=
                ui.Labelprompt->fontMetrics().horizontalAdvance(ui.Labelprompt->text()));
        QVERIFY(form.rect().contains(ui.Labelprompt->geometry()));
        QVERIFY(form.rect().contains(ui.Buttoncancel->geometry()));
        QVERIFY(!ui.Buttonok->geometry().intersects(ui.Buttoncancel->geometry()));
        QCOMPARE(ui.Editpassword->echoMode(), QLineEdit::Password);
        QCOMPARE(ui.Buttoncancel->text(), QStringLiteral("Отмена"));

        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(ui.Labelerror->isHidden());
        QCOMPARE(QApplication::focusWidget(), ui.Editpassword);
        // Enter gives the password; afterwards the field holds it no more.
        ui.Editpassword->insert(QStringLiteral("пароль"));
        QTest::keyClick(ui.Editpassword, Qt::Key_Return);
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QCOMPARE(form.takePassword(), QStringLiteral("пароль"));
        QVERIFY(ui.Editpassword->text().isEmpty());
        // A wrong one is said in red, with the field empty and the caret in it.
        ui.Editpassword->insert(QStringLiteral("старый"));
        form.setWrongPassword(true);
        form.show();
        QVERIFY(!ui.Labelerror->isHidden());
        QCOMPARE(ui.Labelerror->text(), QStringLiteral("Неверный пароль."));
        QCOMPARE(ui.Labelerror->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        QCOMPARE(ui.Labelerror->font(), ui.Labelprompt->font());
        QVERIFY(ui.Editpassword->text().isEmpty());
        QVERIFY(form.rect().contains(ui.Labelerror->geometry()));
        // Escape gives up.
        QTest::keyClick(ui.Editpassword, Qt::Key_Escape);
        QCOMPARE(form.result(), int(QDialog::Rejected));
    }
    QApplication::setFont(QFont());
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
