#include "dialogframe.h"

#include "fonts.h"

#include <QWidget>

namespace merilon {

void fixedDialogFrame(QWidget &dialog, bool closeButton)
{
    Qt::WindowFlags flags = Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint;
    flags |= closeButton ? Qt::WindowCloseButtonHint : Qt::CustomizeWindowHint;
    dialog.setWindowFlags(flags);
    dialog.setFixedSize(dialog.size());
    dialog.setFont(windowFont());
}

} // namespace merilon
