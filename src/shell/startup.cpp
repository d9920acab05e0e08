#include "startup.h"

#include "attempt/attemptcontroller.h"
#include "attempt/registration.h"
#include "attempt/timers.h"
#include "content/answerrows.h"
#include "content/questiondisplay.h"
#include "content/testdocument.h"
#include "results/infocommands.h"
#include "results/journalviewer.h"
#include "results/modalwindows.h"
#include "results/resultwindow.h"
#include "shell/desktop.h"
#include "shell/fonts.h"
#include "shell/formresult.h"
#include "shell/inforform.h"
#include "shell/mainform.h"
#include "shell/singleinstance.h"
#include "shell/startform.h"
#include "ui_inforform.h"
#include "ui_mainform.h"
#include "ui_startform.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>
#include <QTranslator>

namespace merilon {

void setUpApplication(QTranslator &russian)
{
    QApplication::setApplicationName(QStringLiteral("Merilon"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/merilon.png")));
    loadWindowFonts();
    // The standard dialogs speak Russian whatever the system's language.
    if (russian.load(QStringLiteral(":/translations/qtbase_ru.qm")))
        QApplication::installTranslator(&russian);
}

int runProgram(int argc, char *argv[])
{
    // A second copy ends at once and silently.
    SingleInstanceGuard guard;
    if (!guard.CheckSingleInstance(QStringLiteral("Merilon")))
        return 0;

    QApplication app(argc, argv);
    QTranslator qtRussian;
    setUpApplication(qtRussian);

    SystemDesktop desktop;
    SystemClock clock;
    TMainForm MainForm;
    TInforform Inforform(&MainForm);
    TStartform Startform(&MainForm);
    TFormresult Formresult(&MainForm);

    RichText &information = Inforform.widgets().Editotest->content();
    TestDocument test(MainForm.widgets().Editortest->content(),
                      MainForm.widgets().Editorvopros->content(), information);
    AnswerRows rows(MainForm);
    QuestionDisplay display(MainForm, test, rows);

    AttemptState state;
    QTimer Timetest;
    Registration registration(Startform, state, Timetest, clock);
    ResultWindow result(
        Formresult, test,
        [&Startform] {
            return ResultWindow::Names{Startform.widgets().Editfam->text(),
                                       Startform.widgets().Editimya->text()};
        },
        desktop, Journal(Journal::pathIn(QCoreApplication::applicationDirPath())));
    ModalAttemptWindows windows(registration, result, Formresult);
    AttemptController controller(
        {MainForm, test, desktop, rows, display, information, state, Timetest, windows});
    QTimer Timetime;
    Timers timers({MainForm, Timetest, Timetime, state, test, controller, clock});
    timers.showGreeting();
    JournalViewer journal(MainForm, desktop,
                          Journal(Journal::pathIn(QCoreApplication::applicationDirPath())));
    InfoCommands info(MainForm, Inforform, desktop, QCoreApplication::applicationDirPath());

    MainForm.show();
    return QApplication::exec();
}

} // namespace merilon
