#pragma once

#include <QObject>

namespace merilon {

// The application's hint: the status tip of the control under the pointer
// (the nearest enclosing control that has one) or of the menu command under
// the highlight, from every window of the program. Tips are taken here and
// go no further, so no status bar shows them on its own.
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
};

} // namespace merilon
