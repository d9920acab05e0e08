#include "startup.h"

#include "attempt/attemptcontroller.h"
#include "content/answerrows.h"
#include "content/questiondisplay.h"
#include "content/testdocument.h"
#include "shell/desktop.h"
#include "shell/inforform.h"
#include "shell/mainform.h"
#include "ui_inforform.h"
#include "ui_mainform.h"

#include <QApplication>
#include <QTranslator>

namespace merilon {

int runProgram(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Merilon"));
    QApplication::setApplicationDisplayName(QStringLiteral("Мерилон"));

    // The standard dialogs speak Russian whatever the system's language.
    QTranslator qtRussian;
    if (qtRussian.load(QStringLiteral(":/translations/qtbase_ru.qm")))
        QApplication::installTranslator(&qtRussian);

    SystemDesktop desktop;
    TMainForm MainForm;
    TInforform Inforform(&MainForm);
    TestDocument test(MainForm.widgets().Editortest->content(),
                      MainForm.widgets().Editorvopros->content(),
                      Inforform.widgets().Editotest->content());
    AnswerRows rows(MainForm);
    QuestionDisplay display(MainForm, test, rows);
    AttemptController controller(MainForm, test, desktop);

    MainForm.show();
    return QApplication::exec();
}

} // namespace merilon
