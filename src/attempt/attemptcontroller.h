#pragma once

#include "attemptstate.h"
#include "questionorder.h"

#include <QElapsedTimer>
#include <QObject>
#include <cstdint>

class QTimer;

namespace merilon {

class AnswerRows;
class Desktop;
class QuestionDisplay;
class RichText;
class TMainForm;
class TestDocument;

// The windows an attempt shows modally: the registration before it and the
// result after it. The program shows the real ones; tests script them.
class AttemptWindows
{
public:
    virtual ~AttemptWindows() = default;
    // The registration window; its OK registers the examinee.
    virtual void showRegistration() = 0;
    // The report of `correct` answers, then the result window until its OK.
    virtual void showResult(std::uint16_t correct) = 0;
};

// The command logic of the main window: which commands are on in which
// state, what each command does, and how an attempt ends.
class AttemptController : public QObject
{
    Q_OBJECT

public:
    struct Parts
    {
        TMainForm &form;
        TestDocument &test;
        Desktop &desktop;
        AnswerRows &rows;
        QuestionDisplay &display;
        RichText &information; // the test information text
        AttemptState &state;
        QTimer &Timetest;
        AttemptWindows &windows;
    };

    explicit AttemptController(const Parts &parts, QObject *parent = nullptr);

    void FileOpen1Execute();
    void FileOpen1Accept(const QString &path);
    void StartExecute();
    void ButtondalsheClick();
    void StopExecute();
    void ZakruttestExecute();
    void FormCloseQuery(bool &CanClose);
    void FormClose();
    // The time limit is reached: the attempt ends with a warning.
    void timeOut();

    bool attemptRunning() const { return m_running; }

protected:
    // Keeps the second click of a double click on Next from answering the
    // question it brought up.
    bool eventFilter(QObject *watched, QEvent *event) override;
    QuestionOrderGenerator &questionOrder() { return m_order; }

private:
    enum class End { LastAnswer, Stop, TimeOut };
    void endAttempt(End how);
    // Stops the clock, shows the warning if there is one and then the
    // result; the attempt is over.
    void finish(const QString &warning = QString());
    // Whether the attempt that was running when a wait began still runs.
    bool stillRunning(unsigned attempt) const { return m_running && m_attempt == attempt; }
    void showProgress();

    Parts m_parts;
    QuestionOrderGenerator m_order;
    bool m_running = false;
    unsigned m_attempt = 0;
    QElapsedTimer m_questionShown; // since the click that showed this question
    bool m_swallowRelease = false;
};

} // namespace merilon
