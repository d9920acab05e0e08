#include "fonts.h"

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
    if (QFontDatabase::hasFamily(QStringLiteral("Tahoma")))
        return;
    for (const char *file : {"tahoma.ttf", "tahomabd.ttf"}) {
        const QString path = QStringLiteral("/usr/share/wine/fonts/") + QLatin1String(file);
        if (QFile::exists(path))
            QFontDatabase::addApplicationFont(path);
    }
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
