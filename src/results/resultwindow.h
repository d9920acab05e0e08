#pragma once

#include "content/testdocument.h"
#include "journal.h"
#include "journalplace.h"
#include "recorddata.h"

#include <QObject>
#include <cstdint>
#include <functional>

namespace merilon {

class Clock;
class Desktop;
class TFormresult;

// The score of an attempt: the percentage over the questions per attempt,
// rounded to one decimal, and the grade from 1 to 5.
struct Score
{
    double percent = 0;
    std::uint8_t grade = 1;
};

Score scoreOf(std::uint16_t correct, const TestSettings &settings);

// The percentage in the general number format of the locale: 75, 66,7.
QString percentText(double percent, const QLocale &locale);

// What the result window does: the report and the chart of an attempt.
class ResultWindow : public QObject
{
    Q_OBJECT

public:
    // `details` tells about the attempt that just ended: the examinee's names as the
    // registration holds them, the test, the questions, the time used. OK records the
    // report, with them, in the journal of `place`.
    ResultWindow(TFormresult &form, const TestDocument &test, std::function<RecordData()> details,
                 Desktop &desktop, JournalPlace place, const Clock &clock);

    // Writes the report and draws the chart for `correct` answers; the
    // caller shows the window.
    void ComputeResult(std::uint16_t correct);
    const Score &score() const { return m_score; }

    const RecordData &record() const { return m_record; }

    // Records the report in the journal and closes the window. A report that cannot reach
    // the journal is kept in the user's own folder, and the examinee is told where; when
    // that fails too, the examinee may try again or close the window without recording.
    void ButtonokClick();

private:
    // Into the journal, or else into the kept journal; `kept` says which.
    bool record(bool &kept, QString &error);

    TFormresult &m_form;
    const TestDocument &m_test;
    std::function<RecordData()> m_details;
    Desktop &m_desktop;
    JournalPlace m_place;
    const Clock &m_clock;
    Score m_score;
    std::uint16_t m_correct = 0;
    RecordData m_record;
};

} // namespace merilon
