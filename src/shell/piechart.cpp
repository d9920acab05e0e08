#include "piechart.h"

#include "fonts.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace merilon {

PieChart::PieChart(QWidget *parent) : QWidget(parent)
{
    QFont font = windowFont();
    font.setPixelSize(13);
    setFont(font);
}

void PieChart::setTitle(const QString &title)
{
    m_title = title;
    update();
}

void PieChart::clear()
{
    m_slices.clear();
    update();
}

void PieChart::addSlice(double value, const QString &label, const QColor &color)
{
    m_slices.append({value, label, color});
    update();
}

QRect PieChart::pieRect() const
{
    const int titleHeight = fontMetrics().height() + 4;
    const QRect area = rect().adjusted(4, titleHeight, -4, -4);
    const int side = std::max(0, std::min(area.width(), area.height()));
    return QRect(area.left() + (area.width() - side) / 2, area.top() + (area.height() - side) / 2,
                 side, side);
}

void PieChart::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), Qt::white);
    painter.setPen(Qt::black);
    painter.drawText(rect().adjusted(0, 2, 0, 0), Qt::AlignHCenter | Qt::AlignTop, m_title);

    double total = 0;
    for (const Slice &slice : m_slices)
        total += std::max(0.0, slice.value);
    if (total <= 0)
        return;
    const QRect pie = pieRect();
    // Clockwise from twelve o'clock, in sixteenths of a degree.
    double start = 90 * 16;
    painter.setPen(Qt::NoPen);
    for (const Slice &slice : m_slices) {
        const double span = -std::max(0.0, slice.value) / total * 360 * 16;
        painter.setBrush(slice.color);
        if (std::abs(span) >= 360 * 16 - 0.5)
            painter.drawEllipse(pie);
        else if (span != 0)
            painter.drawPie(pie, int(std::lround(start)), int(std::lround(span)));
        start += span;
    }
}

} // namespace merilon
