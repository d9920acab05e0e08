#include "fonts.h"

#include <QWidget>

namespace merilon {

QFont windowFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"),
                      QStringLiteral("Liberation Sans")});
    font.setPixelSize(11);
    return font;
}

QStringList serifFamilies()
{
    return {QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
            QStringLiteral("DejaVu Serif")};
}

QFont serifFont(double points)
{
    QFont font;
    font.setFamilies(serifFamilies());
    font.setPointSizeF(points);
    return font;
}

void fixedDialogFrame(QWidget &dialog, bool closeButton)
{
    Qt::WindowFlags flags = Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint;
    flags |= closeButton ? Qt::WindowCloseButtonHint : Qt::CustomizeWindowHint;
    dialog.setWindowFlags(flags);
    dialog.setFixedSize(dialog.size());
    dialog.setFont(windowFont());
}

} // namespace merilon
