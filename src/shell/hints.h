#pragma once

#include <QObject>
#include <QTimer>
#include <optional>

namespace merilon {

// The application's hint: the status tip of the control under the pointer
// (the nearest enclosing control that has one) or of the menu command under
// the highlight, from every window of the program. Tips are taken here and
// go no further, so no status bar shows them on its own. The hint follows the
// control under a resting pointer too, when that control or its tip changes.
class HintRouter : public QObject
{
    Q_OBJECT

public:
    explicit HintRouter(QObject *parent = nullptr);
    ~HintRouter() override;

signals:
    void hintChanged(const QString &hint);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The tip of the nearest control with one at that point of the screen;
    // `fromMenu` when the point is over a menu, whose commands give their own.
    static QString hintAt(const QPoint &globalPosition, bool *fromMenu);
    void followPointer();

    QTimer m_follow;
    std::optional<QString> m_lastFollowed;
};

} // namespace merilon
