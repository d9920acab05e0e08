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
    void helpFileWithTheSharedFiles();
    void helpFromANetworkFolder();
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
    p.desktop.refusedDocuments = QStringList{QStringLiteral(".chm")};
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
    p.desktop.refusedDocuments = QStringList{QStringLiteral(".chm"), QStringLiteral(".html")};
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

void TestInfoCommands::helpFileWithTheSharedFiles()
{
    // Installed on Linux: the program in bin, the help file beside the guide's pages in
    // share/merilon/help. A help file beside the program (Windows, the build) comes first.
    QTemporaryDir root;
    const QString bin = root.filePath(QStringLiteral("bin"));
    const QString shared = root.filePath(QStringLiteral("share/merilon/help/Help-T.chm"));
    QVERIFY(QDir().mkpath(bin) && QDir().mkpath(QFileInfo(shared).path()));
    QVERIFY(QFile(shared).open(QIODevice::WriteOnly));
    TestProgram p;
    InfoCommands help(p.MainForm, p.Inforform, p.desktop, bin, p.place);
    help.HelpfileExecute();
    QCOMPARE(p.desktop.documents, QStringList{shared});
    QVERIFY(p.desktop.warnings.isEmpty());

    const QString beside = QDir(bin).filePath(QStringLiteral("Help-T.chm"));
    QVERIFY(QFile(beside).open(QIODevice::WriteOnly));
    p.desktop.documents.clear();
    help.HelpfileExecute();
    QCOMPARE(p.desktop.documents, QStringList{beside});
}

void TestInfoCommands::helpFromANetworkFolder()
{
    // Run from a shared folder, F1 opens the guide's pages: Windows would show the compiled
    // file's pages blank there. From a local folder the compiled file comes first.
    QTemporaryDir root;
    const QString folder = root.filePath(QStringLiteral("Мерилон"));
    QVERIFY(QDir().mkpath(folder + QStringLiteral("/help")));
    const QString chm =
        testfiles::write(root, QStringLiteral("Мерилон/Help-T.chm"), QByteArray("x"));
    const QString guide =
        testfiles::write(root, QStringLiteral("Мерилон/help/index.html"), QByteArray("<html>"));
    TestProgram p;
    InfoCommands help(p.MainForm, p.Inforform, p.desktop, folder, p.place);
    help.HelpfileExecute();
    QCOMPARE(p.desktop.documents, QStringList{chm});

    p.desktop.documents.clear();
    p.desktop.networkFolders = QStringList{root.path()};
    help.HelpfileExecute();
    QCOMPARE(p.desktop.documents, QStringList{guide});

    // Without the guide's pages there, the compiled file is still tried.
    QVERIFY(QFile::remove(guide));
    p.desktop.documents.clear();
    help.HelpfileExecute();
    QCOMPARE(p.desktop.documents, QStringList{chm});
    QVERIFY(p.desktop.warnings.isEmpty());
}

QTEST_MAIN(TestInfoCommands)
#include "tst_infocommands.moc"
