#include "program.h"
#include "shell/aboutbox.h"
#include "shell/inforform.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace merilon;

class TestInfoCommands : public QObject
{
    Q_OBJECT

private slots:
    void alwaysAvailable();
    void helpFile();
    void htmlGuideWhereNoViewer();
};

void TestInfoCommands::alwaysAvailable()
{
    QTemporaryDir dir;
    TestProgram p;
    const TMainForm::Controls &ui = p.MainForm.controls();
    const QString text = p.Inforform.controls().Editotest->content().Text();
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
    QCOMPARE(p.Inforform.controls().Editotest->content().Text(), text);
    QVERIFY(p.controller.attemptRunning());

    // Under the information: the journal this computer writes, whole, above the OK button.
    const TInforform::Controls &info = p.Inforform.controls();
    QVERIFY(info.Labeljournal->text().contains(QDir::toNativeSeparators(p.place.journal)));
    QVERIFY(info.Labeljournal->text().contains(QStringLiteral("Запись в журнал возможна.")));
    QVERIFY(info.Labeljournal->geometry().bottom() < info.Buttonok->geometry().top());
    QVERIFY(info.Labeljournal->height() >=
            info.Labeljournal->heightForWidth(info.Labeljournal->width()));
    QVERIFY(info.Buttonok->geometry().bottom() < p.Inforform.height());
}

void TestInfoCommands::helpFile()
{
    TestProgram p;
    p.MainForm.controls().Helpfile->trigger();
    QCOMPARE(p.desktop.documents, QStringList{p.journalDir.filePath("Help-T.chm")});
    QVERIFY(p.desktop.errors.isEmpty() && p.desktop.warnings.isEmpty());
    QCOMPARE(p.MainForm.controls().Helpfile->shortcut(), QKeySequence(Qt::Key_F1));
}

void TestInfoCommands::htmlGuideWhereNoViewer()
{
    // A desktop with no viewer for compiled help gets the guide's HTML pages beside the program,
    // or, installed on Linux, in share/merilon.
    QTemporaryDir root;
    const QString bin = root.filePath(QStringLiteral("bin"));
    QVERIFY(QDir().mkpath(bin));
    TestProgram p;
    InfoCommands help(p.MainForm, p.Inforform, p.desktop, bin, p.place);
    p.desktop.refusedDocuments = {QStringLiteral(".chm")};
    const auto press = [&] {
        p.desktop.documents.clear();
        help.HelpfileExecute();
        return p.desktop.documents;
    };
    const QString chm = QDir(bin).filePath(QStringLiteral("Help-T.chm"));
    // Neither the help file nor the guide: a warning names both and where they should be.
    QCOMPARE(press(), QStringList{chm});
    QVERIFY(p.desktop.errors.isEmpty());
    QCOMPARE(p.desktop.warnings.size(), 1);
    QCOMPARE(p.desktop.warnings.takeFirst(),
             QStringLiteral("Справку открыть нельзя: файла справки нет: %1, а папки help со "
                            "страницами справки рядом с программой нет (%2).")
                 .arg(QDir::toNativeSeparators(chm),
                      QDir::toNativeSeparators(QDir(bin).filePath(QStringLiteral("help")))));
    // The help file with no viewer for it, and no guide.
    QVERIFY(QFile(chm).open(QIODevice::WriteOnly));
    QCOMPARE(press(), QStringList{chm});
    QCOMPARE(p.desktop.warnings.size(), 1);
    QVERIFY2(p.desktop.warnings.takeFirst().startsWith(
                 QStringLiteral("Справку открыть нельзя: для файла справки %1 на этом компьютере "
                                "нет программы просмотра, а папки help")
                     .arg(QDir::toNativeSeparators(chm))),
             qPrintable(p.desktop.warnings.value(0)));

    const QString shared = root.filePath(QStringLiteral("share/merilon/help/index.html"));
    QVERIFY(QDir().mkpath(QFileInfo(shared).path()));
    QVERIFY(QFile(shared).open(QIODevice::WriteOnly));
    QCOMPARE(press(), (QStringList{chm, shared}));

    const QString beside = QDir(bin).filePath(QStringLiteral("help/index.html"));
    QVERIFY(QDir().mkpath(QFileInfo(beside).path()));
    QVERIFY(QFile(beside).open(QIODevice::WriteOnly));
    QCOMPARE(press(), (QStringList{chm, beside}));

    QVERIFY(p.desktop.warnings.isEmpty());
    // A guide that no browser opens either.
    p.desktop.refusedDocuments = {QStringLiteral(".chm"), QStringLiteral(".html")};
    QCOMPARE(press(), (QStringList{chm, beside}));
    QCOMPARE(p.desktop.warnings.size(), 1);
    QVERIFY2(p.desktop.warnings.takeFirst().endsWith(
                 QStringLiteral("а страницы справки (%1) не открылись: на этом компьютере не "
                                "задан браузер.")
                     .arg(QDir::toNativeSeparators(QDir::cleanPath(beside)))),
             "");

    // The compiled help opens where there is a viewer: no second document, nothing said.
    p.desktop.refusedDocuments.clear();
    QCOMPARE(press(), QStringList{chm});
    QVERIFY(p.desktop.warnings.isEmpty());

    // The real desktop refuses a file that is not there without starting anything.
    SystemDesktop desktop;
    QVERIFY(!desktop.openDocument(root.filePath(QStringLiteral("нет/Help-T.chm"))));
}

QTEST_MAIN(TestInfoCommands)
#include "tst_infocommands.moc"
