#include "modal.h"
#include "program.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

using namespace merilon;

namespace {

// Types text into a field one character at a time, as a keyboard does;
// Qt's keyClicks cannot send Cyrillic.
void type(QWidget *field, const QString &text)
{
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(field, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(field, &release);
    }
}

} // namespace

class TestRegistration : public QObject
{
    Q_OBJECT

private slots:
    void keyFilter_data();
    void keyFilter();
    void editingKeysAndPaste();
    void enterEscapeAndTab();
    void realDialogOkAndCloseBox();
    void realConfirmation_data();
    void realConfirmation();
};

void TestRegistration::keyFilter_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("result");
    QTest::newRow("Latin") << "Ivanov"
                           << "";
    QTest::newRow("Cyrillic") << "Иванов"
                              << "Иванов";
    QTest::newRow("Ё and ё") << "Семён Ёлкин"
                             << "Семён Ёлкин";
    QTest::newRow("hyphen") << "Петров-Водкин"
                            << "Петров-Водкин";
    QTest::newRow("digits and punctuation") << "Аня2,.'!"
                                            << "Аня";
    QTest::newRow("control characters") << QStringLiteral("Я\x01\x16\x1b\r\t") << "Я";
    QTest::newRow("other alphabets") << "Ґалина Їжак"
                                     << "алина жак";
}

void TestRegistration::keyFilter()
{
    QFETCH(QString, typed);
    TestProgram p;
    for (QLineEdit *field : {p.Startform.controls().Editfam, p.Startform.controls().Editimya}) {
        field->clear();
        type(field, typed);
        QTEST(field->text(), "result");
    }
}

void TestRegistration::editingKeysAndPaste()
{
    TestProgram p;
    QLineEdit *field = p.Startform.controls().Editfam;
    QCOMPARE(field->text(), QStringLiteral("Васечкин"));
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClick(field, Qt::Key_Home);
    QTest::keyClick(field, Qt::Key_Delete);
    QCOMPARE(field->text(), QStringLiteral("асечки"));
    field->insert(QStringLiteral("Smith 42")); // what reaches the field otherwise stays
    QCOMPARE(field->text(), QStringLiteral("Smith 42асечки"));
}

void TestRegistration::enterEscapeAndTab()
{
    TestProgram p;
    TStartform &form = p.Startform;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.controls().Editfam->setFocus();
    QTest::keyClick(form.controls().Editfam, Qt::Key_Return);
    QTest::keyClick(&form, Qt::Key_Enter);
    QTest::keyClick(&form, Qt::Key_Escape);
    QVERIFY(form.isVisible());
    QVERIFY(!p.state.Registered);
    // Tab goes from the surname to OK, and on to the first name.
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.controls().Editfam->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), form.controls().Editfam);
    QTest::keyClick(form.controls().Editfam, Qt::Key_Tab);
    QTRY_COMPARE(QApplication::focusWidget(), form.controls().Buttonok);
    QCOMPARE(form.controls().Editfam->text(), QStringLiteral("Васечкин"));
    QCOMPARE(form.controls().Buttonok->nextInFocusChain(), form.controls().Editimya);
    QVERIFY(!form.controls().Buttonok->isDefault() && !form.controls().Buttonok->autoDefault());
    form.hide();
}

void TestRegistration::realDialogOkAndCloseBox()
{
    TestProgram p;
    p.clock.at = QDateTime(QDate(2026, 12, 8), QTime(10, 15, 30));
    p.state.CorrectCount = 9;
    whenModal(&p.Startform, [&p](QWidget *) { p.Startform.controls().Buttonok->click(); });
    QVERIFY(p.registration.run());
    QVERIFY(p.state.Registered);
    QCOMPARE(p.state.StartTime, p.clock.at);
    QCOMPARE(p.state.CorrectCount, 0);
    QVERIFY(p.Timetest.isActive());

    p.state.Registered = false;
    p.Timetest.stop();
    whenModal(&p.Startform, [](QWidget *modal) { modal->close(); });
    QVERIFY(!p.registration.run());
    QVERIFY(!p.state.Registered && !p.Timetest.isActive());
}

void TestRegistration::realConfirmation_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("yes");
    QTest::newRow("Enter takes the default, Yes") << int(Qt::Key_Return) << true;
    QTest::newRow("Escape answers No") << int(Qt::Key_Escape) << false;
}

void TestRegistration::realConfirmation()
{
    QFETCH(int, key);
    SystemDesktop desktop;
    QStringList buttons;
    QString caption;
    whenModal(nullptr, [&](QWidget *modal) {
        caption = modal->windowTitle();
        for (const QPushButton *b : modal->findChildren<QPushButton *>())
            buttons << b->text();
        QTest::keyClick(modal, Qt::Key(key));
    });
    QTEST(desktop.confirm(nullptr, QStringLiteral("Вы действительно хотите прервать тест?")),
          "yes");
    QCOMPARE(caption, QStringLiteral("Подтвердите"));
    buttons.sort();
    QCOMPARE(buttons, (QStringList{"&Да", "&Нет"}));
}

QTEST_MAIN(TestRegistration)
#include "tst_registration.moc"
