#include "hints.h"

#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QMenuBar>
#include <QStatusTipEvent>
#include <QWidget>

namespace merilon {

namespace {

// How often the control under a resting pointer is looked at again.
constexpr int kFollowMs = 200;

} // namespace

HintRouter::HintRouter(QObject *parent) : QObject(parent)
{
    QCoreApplication::instance()->installEventFilter(this);
    m_follow.setInterval(kFollowMs);
    connect(&m_follow, &QTimer::timeout, this, &HintRouter::followPointer);
    m_follow.start();
}

HintRouter::~HintRouter()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

QString HintRouter::hintAt(const QPoint &globalPosition, bool *fromMenu)
{
    *fromMenu = false;
    for (QWidget *w = QApplication::widgetAt(globalPosition); w; w = w->parentWidget()) {
        // Menus give the hints of their commands themselves.
        if (qobject_cast<QMenu *>(w) || qobject_cast<QMenuBar *>(w)) {
            *fromMenu = true;
            return {};
        }
        if (!w->statusTip().isEmpty())
            return w->statusTip();
        if (w->isWindow())
            break;
    }
    return {};
}

void HintRouter::followPointer()
{
    // The pointer rests while the controls change under it (an attempt ends, a window
    // closes, a control gets another hint): the panel follows without a move.
    bool fromMenu = false;
    const QString hint = hintAt(QCursor::pos(), &fromMenu);
    if (fromMenu) {
        m_lastFollowed.reset();
        return;
    }
    if (m_lastFollowed && *m_lastFollowed == hint)
        return;
    m_lastFollowed = hint;
    emit hintChanged(hint);
}

bool HintRouter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::StatusTip) {
        const QString tip = static_cast<QStatusTipEvent *>(event)->tip();
        // What the pointer now shows, so that following it repeats nothing.
        m_lastFollowed = tip;
        emit hintChanged(tip);
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace merilon
