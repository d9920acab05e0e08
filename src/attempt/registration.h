#pragma once

#include <QObject>

class QTimer;

namespace merilon {

class Clock;
class TStartform;
struct AttemptState;

// What the registration window does: its OK starts the attempt's clock, and
// its two fields take only Russian letters, spaces and hyphens.
class Registration : public QObject
{
    Q_OBJECT

public:
    Registration(TStartform &form, AttemptState &state, QTimer &Timetest, const Clock &clock);

    // Shows the window modally; true when it was closed by OK.
    bool run();

    void ButtonokClick();

    // Whether a typed character reaches a name field.
    static bool acceptsCharacter(QChar c);

protected:
    // EditfamKeyPress and EditimyaKeyPress.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TStartform &m_form;
    AttemptState &m_state;
    QTimer &m_timer;
    const Clock &m_clock;
};

} // namespace merilon
