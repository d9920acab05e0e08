#pragma once

// The program's windows and parts wired as start-up wires them, with a
// scripted desktop.

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
#include "scripteddesktop.h"
#include "shell/formresult.h"
#include "shell/inforform.h"
#include "shell/mainform.h"
#include "shell/richedit.h"
#include "shell/startform.h"
#include "ui_inforform.h"
#include "ui_mainform.h"
#include "ui_startform.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <utility>
#include <vector>

// Whether the clipboard holds nothing at all.
inline bool clipboardEmpty()
{
    const QMimeData *data = QApplication::clipboard()->mimeData();
    return !data || data->formats().isEmpty();
}

// The clock of the tests: it stands where it is set.
struct TestClock final : merilon::Clock
{
    QDateTime at = QDateTime(QDate(2026, 12, 8), QTime(9, 30));
    QDateTime now() const override { return at; }
};

// The registration and result windows without their modal loops: the real
// handlers run, as the examinee's OK would run them.
struct ScriptedWindows final : merilon::AttemptWindows
{
    merilon::Registration *registration = nullptr;
    merilon::ResultWindow *result = nullptr;
    bool register_ = true;           // OK, or the close box
    std::vector<int> results;        // the counts reported
    std::function<void()> whileOpen; // runs inside the next modal window

    void showRegistration() override
    {
        if (auto during = std::exchange(whileOpen, nullptr))
            during();
        if (register_)
            registration->ButtonokClick();
    }
    void showResult(std::uint16_t correct) override
    {
        results.push_back(correct);
        result->ComputeResult(correct);
        if (auto during = std::exchange(whileOpen, nullptr))
            during();
    }
};

struct Program
{
    // With `modal`, the registration and result windows are the real ones.
    explicit Program(bool modal = false) : modal(modal) {}

    const bool modal;
    ScriptedDesktop desktop;
    TestClock clock;
    QTemporaryDir journalDir; // where the journal of the run lies
    merilon::TMainForm MainForm;
    merilon::TInforform Inforform{&MainForm};
    merilon::TStartform Startform{&MainForm};
    merilon::TFormresult Formresult{&MainForm};
    merilon::TestDocument test{MainForm.widgets().Editortest->content(),
                               MainForm.widgets().Editorvopros->content(),
                               Inforform.widgets().Editotest->content()};
    merilon::AnswerRows rows{MainForm};
    merilon::QuestionDisplay display{MainForm, test, rows};
    merilon::AttemptState state;
    QTimer Timetest;
    merilon::Registration registration{Startform, state, Timetest, clock};
    merilon::ResultWindow result{
        Formresult, test,
        [this] {
            return merilon::ResultWindow::Names{Startform.widgets().Editfam->text(),
                                                Startform.widgets().Editimya->text()};
        },
        desktop, merilon::Journal(journalDir.filePath(QStringLiteral("Journal.res")))};
    ScriptedWindows windows = [this] {
        ScriptedWindows w;
        w.registration = &registration;
        w.result = &result;
        return w;
    }();
    merilon::ModalAttemptWindows modalWindows{registration, result, Formresult};
    merilon::AttemptController controller{
        {MainForm, test, desktop, rows, display, Inforform.widgets().Editotest->content(), state,
         Timetest, modal ? static_cast<merilon::AttemptWindows &>(modalWindows) : windows}};
    QTimer Timetime;
    merilon::Timers timers{{MainForm, Timetest, Timetime, state, test, controller, clock}};
    merilon::JournalViewer journal{
        MainForm, desktop, merilon::Journal(journalDir.filePath(QStringLiteral("Journal.res")))};
    merilon::InfoCommands info{MainForm, Inforform, desktop, QStringLiteral("/программа")};

    merilon::RichText &document() { return MainForm.widgets().Editortest->content(); }
    merilon::RichText &questionArea() { return MainForm.widgets().Editorvopros->content(); }
    void open(const QString &path)
    {
        desktop.nextFile = path;
        MainForm.widgets().FileOpen1->trigger();
    }
};
