#include "clipboardformats.h"

namespace merilon {

QStringList rtfClipboardFormats()
{
    QStringList formats{QStringLiteral("text/rtf"), QStringLiteral("application/rtf")};
#ifdef Q_OS_WIN
    // The Windows clipboard's own name, which other programs there paste from.
    formats.append(QStringLiteral("Rich Text Format"));
#endif
    return formats;
}

QStringList rtfPasteFormats()
{
    // The last two are how Qt names the Windows clipboard's "Rich Text Format": as we offer it,
    // and as it comes from another program.
    return {QStringLiteral("text/rtf"), QStringLiteral("application/rtf"),
            QStringLiteral("text/richtext"), QStringLiteral("Rich Text Format"),
            QStringLiteral("application/x-qt-windows-mime;value=\"Rich Text Format\"")};
}

} // namespace merilon
