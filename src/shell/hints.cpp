#include "hints.h"

#include <QCoreApplication>
#include <QStatusTipEvent>

namespace merilon {

HintRouter::HintRouter(QObject *parent) : QObject(parent)
{
    QCoreApplication::instance()->installEventFilter(this);
}

HintRouter::~HintRouter()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

bool HintRouter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::StatusTip) {
        emit hintChanged(static_cast<QStatusTipEvent *>(event)->tip());
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace merilon
