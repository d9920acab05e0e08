#include "timers.h"

#include "attemptcontroller.h"
#include "attemptstate.h"
#include "content/testdocument.h"
#include "richtext/richedit.h"
#include "shell/mainform.h"
#include "shell/statusbar.h"

#include <QTimer>

namespace merilon {

Timers::Timers(const Parts &parts, QObject *parent) : QObject(parent), m_parts(parts)
{
    parts.Timetest.setInterval(1000);
    parts.Timetime.setInterval(1000);
    connect(&parts.Timetest, &QTimer::timeout, this, &Timers::TimetestTimer);
    connect(&parts.Timetime, &QTimer::timeout, this, &Timers::TimetimeTimer);
    parts.Timetime.start();
}

void Timers::TimetestTimer()
{
    // Taken from the clock at each tick: a late tick does not shift it.
    const qint64 ms = m_parts.state.StartTime.msecsTo(m_parts.clock.now());
    const QTime elapsed = QTime(0, 0).addMSecs(std::max<qint64>(0, ms) % (24 * 3600 * 1000));
    const QLocale locale;
    m_parts.form.status().setPanelText(ElapsedPanel,
                                       locale.toString(elapsed, longTimeFormat(locale)));
    const int minutes = elapsed.hour() * 60 + elapsed.minute();
    if (minutes >= m_parts.test.settings().TimeLimitMinutes)
        m_parts.controller.timeOut();
}

void Timers::TimetimeTimer()
{
    const QDateTime now = m_parts.clock.now();
    const QLocale locale;
    StatusBar &status = m_parts.form.status();
    status.setPanelText(DatePanel, locale.toString(now.date(), QLocale::ShortFormat));
    status.setPanelText(ClockPanel, locale.toString(now.time(), longTimeFormat(locale)));
}

void Timers::showGreeting()
{
    RichText &area = m_parts.form.controls().Editorvopros->content();
    area.Lines().Add(greeting(m_parts.clock.now().time().hour()));
    area.Lines().Add(QStringLiteral("Для начала работы выберите тест."));
}

QString Timers::greeting(int hour)
{
    if (hour <= 6)
        return QStringLiteral("Доброй ночи.");
    if (hour < 12)
        return QStringLiteral("Доброе утро.");
    if (hour < 18)
        return QStringLiteral("Добрый день.");
    return QStringLiteral("Добрый вечер.");
}

QString Timers::longTimeFormat(const QLocale &locale)
{
    // The zone letters t go; letters inside quotes are literal text.
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString kept;
    bool quoted = false;
    for (QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('t'))
            continue;
        kept += c;
    }
    return kept.simplified();
}

} // namespace merilon
