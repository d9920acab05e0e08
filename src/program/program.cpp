#include "program.h"

#include "results/journal.h"
#include "richtext/richedit.h"
#include "shell/desktop.h"

#include <QLineEdit>

namespace merilon {

Program::Program(Desktop &desktop, const Clock &clock, const QString &programDir,
                 AttemptWindows *windows)
    : test(MainForm.controls().Editortest->content(), MainForm.controls().Editorvopros->content(),
           Inforform.controls().Editotest->content()),
      registration(Startform, state, Timetest, clock),
      result(
          Formresult, test,
          [this] {
              return ResultWindow::Names{Startform.controls().Editfam->text(),
                                         Startform.controls().Editimya->text()};
          },
          desktop, Journal(Journal::pathIn(programDir))),
      controller({MainForm, test, desktop, rows, display, Inforform.controls().Editotest->content(),
                  state, Timetest, windows ? *windows : modalWindows}),
      timers({MainForm, Timetest, Timetime, state, test, controller, clock}),
      journal(MainForm, desktop, Journal(Journal::pathIn(programDir))),
      info(MainForm, Inforform, desktop, programDir)
{}

void Program::show()
{
    timers.showGreeting();
    MainForm.show();
}

} // namespace merilon
