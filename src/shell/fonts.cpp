#include "fonts.h"

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

} // namespace merilon
