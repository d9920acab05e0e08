#include "menubar.h"

#include <QPainter>

namespace merilon {

namespace {

// The room a leading separator item takes before the first menu.
constexpr int kSeparatorRoom = 8;

} // namespace

MenuBar::MenuBar(QWidget *parent) : QMenuBar(parent) {}

int MenuBar::leadingSeparatorX() const
{
    const QList<QAction *> items = actions();
    return !items.isEmpty() && items.first()->isSeparator() ? kSeparatorRoom / 2 - 1 : -1;
}

void MenuBar::paintEvent(QPaintEvent *event)
{
    QMenuBar::paintEvent(event);
    const int x = leadingSeparatorX();
    if (x < 0)
        return;
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(x, 3, x, height() - 4);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(x + 1, 3, x + 1, height() - 4);
}

} // namespace merilon
