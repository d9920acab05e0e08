#include "registration.h"

#include "attemptstate.h"
#include "shell/startform.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace merilon {

Registration::Registration(TStartform &form, AttemptState &state, QTimer &Timetest,
                           const Clock &clock)
    : QObject(&form), m_form(form), m_state(state), m_timer(Timetest), m_clock(clock)
{
    connect(form.controls().Buttonok, &QPushButton::clicked, this, &Registration::ButtonokClick);
    form.controls().Editfam->installEventFilter(this);
    form.controls().Editimya->installEventFilter(this);
}

bool Registration::run()
{
    m_form.controls().Editfam->setFocus();
    return m_form.exec() == QDialog::Accepted;
}

void Registration::ButtonokClick()
{
    m_state.StartTime = m_clock.now();
    m_timer.start();
    m_state.CorrectCount = 0;
    m_state.Registered = true;
    m_form.accept();
}

bool Registration::acceptsCharacter(QChar c)
{
    const char16_t u = c.unicode();
    return u == 8 || u == u' ' || u == u'-' || (u >= 0x0410 && u <= 0x044F) || u == 0x0401 ||
           u == 0x0451;
}

bool Registration::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const QString text = key->text();
        // Keys that type nothing (arrows, Home, Delete) edit as usual, and
        // Tab moves on to the next control.
        const bool passes = key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Tab ||
                            key->key() == Qt::Key_Backtab;
        if (!text.isEmpty() && !passes) {
            for (QChar c : text)
                if (!acceptsCharacter(c))
                    return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace merilon
