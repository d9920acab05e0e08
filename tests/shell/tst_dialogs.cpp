#include "shell/aboutbox.h"
#include "shell/formresult.h"
#include "shell/formzurnal.h"
#include "shell/inforform.h"
#include "shell/richedit.h"
#include "shell/startform.h"
#include "ui_aboutbox.h"
#include "ui_formresult.h"
#include "ui_formzurnal.h"
#include "ui_startform.h"

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
    QVERIFY(!result.widgets().Editresult->isEnabled());
    QCOMPARE(result.widgets().Editresult->font().pixelSize(), 13);
    QVERIFY(result.widgets().Editresult->font().italic());
    QCOMPARE(result.widgets().Editresult->lineWrapMode(), QTextEdit::NoWrap);
}

void TestDialogs::registrationLayout()
{
    TStartform form;
    const Ui::TStartform &ui = form.widgets();
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
    Ui::TFormzurnal &ui = form.widgets();
    QCOMPARE(ui.Button1->text(), QStringLiteral("Копировать"));
    QCOMPARE(ui.Button2->text(), QStringLiteral("Печатать"));
    QCOMPARE(ui.Button3->text(), QStringLiteral("Отмена"));
    QCOMPARE(ui.copydoc->shortcut(), QKeySequence(QStringLiteral("Ctrl+C")));
    QCOMPARE(ui.printdoc->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));
    QCOMPARE(ui.Button1->nextInFocusChain(), ui.Button3);
    QCOMPARE(ui.Button3->nextInFocusChain(), ui.Button2);
    QCOMPARE(ui.Editorzur->content().Text(), QStringLiteral("\r\n"));
    QSignalSpy copied(ui.copydoc, &QAction::triggered);
    ui.Button1->click();
    QCOMPARE(copied.size(), 1);

    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.resize(518, 473);
    QTRY_COMPARE(ui.Button1->geometry(), QRect(6, 440, 125, 25));
    QCOMPARE(ui.Button2->geometry(), QRect(145, 440, 125, 25));
    QCOMPARE(ui.Button3->geometry(), QRect(386, 440, 125, 25));
    QCOMPARE(ui.Editorzur->geometry(), QRect(8, 8, 401, 321));
    // Ctrl+C anywhere in the window is the copy command.
    ui.Editorzur->setFocus();
    QTest::keyClick(ui.Editorzur, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(copied.size(), 2);
}

void TestDialogs::aboutBox()
{
    TAboutBox about;
    const Ui::TAboutBox &ui = about.widgets();
    QCOMPARE(ui.ProductName->text(), QStringLiteral("Название: «Мерилон»"));
    QCOMPARE(ui.Version->text(), QStringLiteral("Версия: 1.1.1.1"));
    QVERIFY(ui.Comments->text().startsWith(QStringLiteral("Комментарий:       Программа")));
    QVERIFY(ui.OKButton->isDefault());
    QCOMPARE(ui.ProgramIcon->pixmap().size(), QSize(32, 32)); // the program's icon
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    QTest::keyClick(&about, Qt::Key_Return);
    QVERIFY(!about.isVisible());
    QCOMPARE(about.result(), int(QDialog::Accepted));
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
