#pragma once

#include "attempt/attemptcontroller.h"
#include "attempt/attemptstate.h"
#include "attempt/registration.h"
#include "attempt/timers.h"
#include "content/answerrows.h"
#include "content/questiondisplay.h"
#include "content/testdocument.h"
#include "results/infocommands.h"
#include "results/journalplace.h"
#include "results/journalviewer.h"
#include "results/modalwindows.h"
#include "results/resultwindow.h"
#include "shell/formresult.h"
#include "shell/inforform.h"
#include "shell/mainform.h"
#include "shell/startform.h"

#include <QString>
#include <QTimer>

namespace merilon {

class Desktop;

// The program's windows and parts, wired together: the one place that knows them all.
// The desktop, the clock and the program folder (where the journal and the help lie) come
// from outside, so that the program and its tests run the same wiring.
class Program
{
public:
    // `windows` stands in for the modal registration and result windows; without it the
    // real ones are shown. `place` is where results go: the journal and the kept journal.
    Program(Desktop &desktop, const Clock &clock, const QString &programDir,
            const JournalPlace &place, AttemptWindows *windows = nullptr);

    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;

    // Shows the main window with its greeting.
    void show();

    // What the journal keeps of the attempt that just ended, beyond its report.
    RecordData attemptDetails(const Clock &clock) const;

    TMainForm MainForm;
    TInforform Inforform{&MainForm};
    TStartform Startform{&MainForm};
    TFormresult Formresult{&MainForm};
    TestDocument test;
    AnswerRows rows{MainForm};
    QuestionDisplay display{MainForm, test, rows};
    AttemptState state;
    QTimer Timetest;
    QTimer Timetime;
    Registration registration;
    ResultWindow result;
    ModalAttemptWindows modalWindows{registration, result, Formresult};
    AttemptController controller;
    Timers timers;
    JournalViewer journal;
    InfoCommands info;
};

} // namespace merilon
