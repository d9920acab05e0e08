#include "statusbar.h"

#include "dialogframe.h"

#include <QLabel>
#include <QResizeEvent>
#include <algorithm>

namespace merilon {

StatusBar::StatusBar(QWidget *parent) : QStatusBar(parent)
{
    m_strip = new QWidget(this);
    // The panels lie on the strip, which the bar lays out beside its size grip.
    m_strip->installEventFilter(this);
    // Permanent: temporary messages never cover the panels.
    addPermanentWidget(m_strip, 1);
    setSizeGripEnabled(true);
}

void StatusBar::setPanels(const QList<int> &widths, int restReserve)
{
    qDeleteAll(m_panels);
    m_panels.clear();
    m_widths = widths;
    m_texts.clear();
    m_restReserve = restReserve;
    for (int i = 0; i < widths.size(); ++i) {
        auto *panel = new QLabel(m_strip);
        panel->setObjectName(QStringLiteral("Panel%1").arg(i));
        panel->setAlignment(Qt::AlignCenter);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        m_panels.append(panel);
        m_texts.append(QString());
    }
    StatusBar1Resize();
}

void StatusBar::fitPanelTo(int index, const QStringList &texts)
{
    if (index < 0 || index >= m_panels.size() - 1)
        return;
    const QLabel *panel = m_panels[index];
    int needed = 0;
    for (const QString &text : texts)
        needed = std::max(needed, panel->fontMetrics().horizontalAdvance(text));
    // The room showText leaves for the text inside the frame.
    needed += 2 * panel->frameWidth() + 4;
    if (needed <= m_widths[index])
        return;
    m_restReserve += needed - m_widths[index];
    m_widths[index] = needed;
    StatusBar1Resize();
}

QString StatusBar::panelText(int index) const
{
    return index >= 0 && index < m_texts.size() ? m_texts[index] : QString();
}

void StatusBar::setPanelText(int index, const QString &text)
{
    if (index >= 0 && index < m_panels.size()) {
        m_texts[index] = text;
        showText(index);
    }
}

// A text wider than its panel starts at the panel's left and ends after a whole word.
void StatusBar::showText(int index)
{
    QLabel *panel = m_panels[index];
    const int room = shownWidth(index) - 2 * panel->frameWidth() - 4;
    const QString shown = fitAtWords(m_texts[index], panel->fontMetrics(), room);
    panel->setAlignment(shown == m_texts[index] ? Qt::AlignCenter
                                                : Qt::AlignLeft | Qt::AlignVCenter);
    panel->setText(shown);
}

// The last panel may reach under the size grip: it shows, and its text keeps to, the part of
// it that lies on the strip.
int StatusBar::shownWidth(int index) const
{
    if (index != m_panels.size() - 1 || m_strip->width() <= 0)
        return m_widths[index];
    return std::max(0, std::min(m_widths[index], m_strip->width() - m_panels[index]->x()));
}

int StatusBar::panelWidth(int index) const
{
    return index >= 0 && index < m_widths.size() ? m_widths[index] : 0;
}

void StatusBar::resizeEvent(QResizeEvent *event)
{
    QStatusBar::resizeEvent(event);
    StatusBar1Resize();
}

// The last panel gets the bar's width less what the fixed panels reserve.
void StatusBar::StatusBar1Resize()
{
    if (m_widths.isEmpty())
        return;
    m_widths.back() = std::max(0, width() - m_restReserve);
    placePanels();
}

bool StatusBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_strip && event->type() == QEvent::Resize)
        placePanels();
    return QStatusBar::eventFilter(watched, event);
}

void StatusBar::placePanels()
{
    int x = 0;
    const int h = m_strip->height() > 0 ? m_strip->height() : height();
    for (int i = 0; i < m_panels.size(); ++i) {
        m_panels[i]->move(x, 0);
        m_panels[i]->resize(shownWidth(i), h);
        m_panels[i]->setVisible(m_widths[i] > 0);
        showText(i);
        x += m_widths[i] + 2;
    }
}

} // namespace merilon
