#include "program.h"

#include "results/journal.h"
#include "richtext/richedit.h"
#include "shell/desktop.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QSysInfo>
#include <algorithm>

namespace merilon {

Program::Program(Desktop &desktop, const Clock &clock, const QString &programDir,
                 const JournalPlace &place, AttemptWindows *windows)
    : test(MainForm.controls().Editortest->content(), MainForm.controls().Editorvopros->content(),
           Inforform.controls().Editotest->content()),
      registration(Startform, state, Timetest, clock),
      result(
          Formresult, test, [this, &clock] { return attemptDetails(clock); }, desktop, place,
          clock),
      controller({MainForm, test, desktop, rows, display, Inforform.controls().Editotest->content(),
                  state, Timetest, windows ? *windows : modalWindows}),
      timers({MainForm, Timetest, Timetime, state, test, controller, clock}),
      journal(MainForm, desktop, Journal(place.journal)),
      info(MainForm, Inforform, desktop, programDir, place)
{}

RecordData Program::attemptDetails(const Clock &clock) const
{
    RecordData details;
    details.surname = Startform.controls().Editfam->text();
    details.name = Startform.controls().Editimya->text();
    details.test = test.fileName();
    QStringList questions;
    for (std::size_t k = 0; k < state.AnsweredRight.size() && k < state.QuestionOrder.size(); ++k)
        questions << QString::number(state.QuestionOrder[k]) +
                         QLatin1Char(state.AnsweredRight[k] ? '+' : '-');
    details.questions = questions.join(QLatin1Char(' '));
    if (state.StartTime.isValid())
        details.secondsUsed = int(std::max<qint64>(0, state.StartTime.secsTo(clock.now())));
    details.computer = QSysInfo::machineHostName();
    details.version = QStringLiteral(MERILON_VERSION);
    return details;
}

void Program::show()
{
    timers.showGreeting();
    MainForm.show();
}

} // namespace merilon
