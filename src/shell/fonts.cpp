#include "fonts.h"

#include "richtext/qtcompat.h"

#include <QFile>
#include <QFontDatabase>

namespace merilon {

QFont windowFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"),
                      QStringLiteral("Liberation Sans")});
    font.setPixelSize(11);
    return font;
}

void loadWindowFonts()
{
    if (hasFontFamily(QStringLiteral("Tahoma")))
        return;
    // Only the regular face: Wine's "Tahoma Bold" (tahomabd.ttf) has regular strokes on wider
    // advances, so bold text would come out regular and spread out. With the regular face
    // alone, bold and italic are drawn from it, emboldened and slanted.
    const QString path = QStringLiteral("/usr/share/wine/fonts/tahoma.ttf");
    if (QFile::exists(path))
        QFontDatabase::addApplicationFont(path);
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
