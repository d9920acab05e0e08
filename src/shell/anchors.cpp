#include "anchors.h"

#include <QEvent>
#include <QWidget>

namespace merilon {

void Anchors::anchor(QWidget *widget, Qt::Edges edges, QSize parentDesignSize)
{
    m_entries.append({widget, edges, widget->geometry(), parentDesignSize});
    // The parent's resizes move the widget from here on; until the first,
    // it keeps its design geometry.
    widget->parentWidget()->installEventFilter(this);
}

bool Anchors::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize) {
        for (const Entry &entry : std::as_const(m_entries)) {
            if (entry.widget->parentWidget() == watched)
                apply(entry);
        }
    }
    return QObject::eventFilter(watched, event);
}

void Anchors::apply(const Entry &e) const
{
    const QSize now = e.widget->parentWidget()->size();
    const int dw = now.width() - e.parentDesign.width();
    const int dh = now.height() - e.parentDesign.height();
    QRect r = e.design;
    if (e.edges & Qt::RightEdge) {
        if (e.edges & Qt::LeftEdge)
            r.setWidth(std::max(0, r.width() + dw));
        else
            r.moveLeft(r.left() + dw);
    }
    if (e.edges & Qt::BottomEdge) {
        if (e.edges & Qt::TopEdge)
            r.setHeight(std::max(0, r.height() + dh));
        else
            r.moveTop(r.top() + dh);
    }
    e.widget->setGeometry(r);
}

} // namespace merilon
