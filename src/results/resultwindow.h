#pragma once

#include "content/testdocument.h"
#include "journal.h"

#include <QObject>
#include <cstdint>
#include <functional>

namespace merilon {

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
    struct Names
    {
        QString surname;
        QString name;
    };

    // `names` gives the examinee's names as the registration holds them;
    // OK records the report in `journal`.
    ResultWindow(TFormresult &form, const TestDocument &test, std::function<Names()> names,
                 Desktop &desktop, Journal journal);

    // Writes the report and draws the chart for `correct` answers; the
    // caller shows the window.
    void ComputeResult(std::uint16_t correct);
    const Score &score() const { return m_score; }

    // Records the report in the journal and closes the window. When the
    // journal cannot be written the examinee may try again or close the
    // window without recording.
    void ButtonokClick();

private:
    TFormresult &m_form;
    const TestDocument &m_test;
    std::function<Names()> m_names;
    Desktop &m_desktop;
    Journal m_journal;
    Score m_score;
};

} // namespace merilon
