#pragma once

#include <QMenuBar>

namespace merilon {

// The main window's menu bar. A separator item among its commands shows as an etched line in
// its place, as on the Windows bar of the layout; Qt's styles draw none there.
class MenuBar : public QMenuBar
{
    Q_OBJECT

public:
    explicit MenuBar(QWidget *parent = nullptr);

    // The x of the line a separator item draws, or -1 when the bar has none first.
    int leadingSeparatorX() const;

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace merilon
