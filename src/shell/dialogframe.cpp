#include "dialogframe.h"

#include "fonts.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPixmap>
#include <QVariant>
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

namespace merilon {

void keepLabelsWhole(QWidget &window)
{
    for (QLabel *label : window.findChildren<QLabel *>()) {
        if (label->wordWrap() || label->text().isEmpty() ||
            !label->property("pixmap").value<QPixmap>().isNull())
            continue;
        const QRect room = label->contentsRect();
        const int needed = label->fontMetrics().horizontalAdvance(label->text()) + 2;
        if (needed <= room.width())
            continue;
        const int margins = label->width() - room.width();
        const int free = label->parentWidget() ? label->parentWidget()->width() - label->x() - 4
                                               : label->width();
        if (needed + margins <= free)
            label->resize(needed + margins, label->height());
        else
            label->setWordWrap(true);
    }
}

QString fitAtWords(const QString &text, const QFontMetrics &metrics, int width)
{
    if (metrics.horizontalAdvance(text) <= width)
        return text;
    const QString ellipsis = QStringLiteral("…");
    QStringList words = text.split(QLatin1Char(' '));
    while (words.size() > 1) {
        words.removeLast();
        const QString shorter = words.join(QLatin1Char(' ')) + ellipsis;
        if (metrics.horizontalAdvance(shorter) <= width)
            return shorter;
    }
    return metrics.elidedText(text, Qt::ElideRight, width);
}

} // namespace merilon
