#pragma once

#include <QLocale>
#include <QObject>

class QTimer;

namespace merilon {

class AttemptController;
class Clock;
class TMainForm;
class TestDocument;
struct AttemptState;

// The main window's two timers: the time limit of an attempt with its
// elapsed-time panel, and the clock and date panels; and the greeting.
class Timers : public QObject
{
    Q_OBJECT

public:
    struct Parts
    {
        TMainForm &form;
        QTimer &Timetest;
        QTimer &Timetime;
        AttemptState &state;
        const TestDocument &test;
        AttemptController &controller;
        const Clock &clock;
    };

    explicit Timers(const Parts &parts, QObject *parent = nullptr);

    // Shows the elapsed time and ends the attempt at the time limit.
    void TimetestTimer();
    // Shows the date and the time of day.
    void TimetimeTimer();
    // The greeting of the hour and the invitation to choose a test.
    void showGreeting();

    static QString greeting(int hour);
    // The locale's long time format without its time-zone name.
    static QString longTimeFormat(const QLocale &locale);

private:
    Parts m_parts;
};

} // namespace merilon
