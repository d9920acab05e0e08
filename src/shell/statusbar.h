#pragma once

#include <QList>
#include <QStatusBar>
#include <QStringList>

class QLabel;

namespace merilon {

// A status bar of fixed-width panels with centred text, the last of which
// takes what is left of the bar's width.
class StatusBar : public QStatusBar
{
    Q_OBJECT

public:
    explicit StatusBar(QWidget *parent = nullptr);

    // Replaces the panels; the last one's width is then kept up to date.
    void setPanels(const QList<int> &widths, int restReserve);
    int panelCount() const { return static_cast<int>(m_panels.size()); }
    QString panelText(int index) const;
    void setPanelText(int index, const QString &text);
    int panelWidth(int index) const;
    // Widens a fixed panel, where its font needs it, so that each of `texts` shows whole;
    // the last panel gives up the width.
    void fitPanelTo(int index, const QStringList &texts);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void StatusBar1Resize();
    void placePanels();
    int shownWidth(int index) const;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showText(int index);

    QWidget *m_strip = nullptr;
    QList<QLabel *> m_panels;
    QList<int> m_widths;
    QStringList m_texts; // whole; a panel shows what of it fits
    int m_restReserve = 0;
};

} // namespace merilon
