#pragma once

// The program's windows and parts wired as start-up wires them, with a
// scripted desktop.

#include "program/program.h"
#include "richtext/richedit.h"
#include "scripteddesktop.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
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

// The program as start-up wires it, with the desktop, the clock and (unless `modal`) the
// modal windows scripted, and its program folder, where the journal lies, a temporary one.
struct TestProgram
{
    explicit TestProgram(bool modal = false) : modal(modal)
    {
        windows.registration = &program.registration;
        windows.result = &program.result;
    }

    const bool modal;
    ScriptedDesktop desktop;
    TestClock clock;
    QTemporaryDir journalDir{QDir::tempPath() +
                             QStringLiteral("/программа-XXXXXX")}; // the program folder
    ScriptedWindows windows;
    // The journal beside the program unless a merilon.ini there says otherwise; the kept
    // journal in a folder of its own inside it, for the user's.
    merilon::JournalPlace place = merilon::JournalPlace::locate(
        journalDir.path(), {journalDir.filePath(QStringLiteral("merilon.ini"))},
        journalDir.filePath(QStringLiteral("пользователь")));
    merilon::Program program{desktop, clock, journalDir.path(), place, modal ? nullptr : &windows};

    // The parts, by the names the tests use.
    merilon::TMainForm &MainForm = program.MainForm;
    merilon::TInforform &Inforform = program.Inforform;
    merilon::TStartform &Startform = program.Startform;
    merilon::TFormresult &Formresult = program.Formresult;
    merilon::TestDocument &test = program.test;
    merilon::AnswerRows &rows = program.rows;
    merilon::QuestionDisplay &display = program.display;
    merilon::AttemptState &state = program.state;
    QTimer &Timetest = program.Timetest;
    QTimer &Timetime = program.Timetime;
    merilon::Registration &registration = program.registration;
    merilon::ResultWindow &result = program.result;
    merilon::AttemptController &controller = program.controller;
    merilon::Timers &timers = program.timers;
    merilon::JournalViewer &journal = program.journal;
    merilon::InfoCommands &info = program.info;

    merilon::RichText &document() { return MainForm.controls().Editortest->content(); }
    merilon::RichText &questionArea() { return MainForm.controls().Editorvopros->content(); }
    void open(const QString &path)
    {
        desktop.nextFile = path;
        MainForm.controls().FileOpen1->trigger();
    }
};
