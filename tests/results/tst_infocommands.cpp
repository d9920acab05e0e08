#include "program.h"
#include "shell/aboutbox.h"
#include "testfiles.h"

#include <QTemporaryDir>
#include <QTest>

using namespace merilon;

class TestInfoCommands : public QObject
{
    Q_OBJECT

private slots:
    void alwaysAvailable();
    void helpFile();
};

void TestInfoCommands::alwaysAvailable()
{
    QTemporaryDir dir;
    Program p;
    const Ui::TMainForm &ui = p.MainForm.widgets();
    const QString text = p.Inforform.widgets().Editotest->content().Text();
    ui.Inform->trigger();
    ui.About->trigger();
    QCOMPARE(p.desktop.dialogs, (QStringList{"Inforform", "AboutBox"}));
    QVERIFY(p.MainForm.findChildren<TAboutBox *>().isEmpty()); // made for each showing

    // During an attempt the commands stay on and the time runs on.
    p.open(testfiles::write(dir, QStringLiteral("t.tstt"), testfiles::test()));
    ui.Start->trigger();
    for (QAction *action : {ui.Inform, ui.About, ui.Helpfile})
        QVERIFY(action->isEnabled());
    bool running = false;
    p.desktop.whileOpen = [&p, &running] {
        running = p.Timetest.isActive();
    };
    ui.Inform->trigger();
    QVERIFY(running);
    QCOMPARE(p.Inforform.widgets().Editotest->content().Text(), text);
    QVERIFY(p.controller.attemptRunning());
}

void TestInfoCommands::helpFile()
{
    Program p;
    p.MainForm.widgets().Helpfile->trigger();
    QCOMPARE(p.desktop.documents, QStringList{"/программа/Help-T.chm"});
    QVERIFY(p.desktop.errors.isEmpty() && p.desktop.warnings.isEmpty());
    QCOMPARE(p.MainForm.widgets().Helpfile->shortcut(), QKeySequence(Qt::Key_F1));
}

QTEST_MAIN(TestInfoCommands)
#include "tst_infocommands.moc"
