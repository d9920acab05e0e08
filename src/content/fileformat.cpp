#include "fileformat.h"

namespace merilon {

namespace {

// The name of a word processor's format, or empty.
QString formatName(QByteArrayView head)
{
    // Word 97-2003 keeps its documents in a compound file.
    if (head.startsWith(QByteArrayView("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)))
        return QStringLiteral("документ Word 97–2003 (DOC)");
    // DOCX and ODT are zip archives; an ODT names its kind in its first entry, a DOCX holds
    // its text under word/.
    if (!head.startsWith(QByteArrayView("PK\x03\x04", 4)))
        return QString();
    if (head.indexOf(QByteArrayView("application/vnd.oasis.opendocument.text")) >= 0)
        return QStringLiteral("документ LibreOffice или OpenOffice (ODT)");
    if (head.indexOf(QByteArrayView("word/")) >= 0 ||
        head.indexOf(QByteArrayView("[Content_Types].xml")) >= 0)
        return QStringLiteral("документ Word (DOCX)");
    return QString();
}

} // namespace

QString wordProcessorFileProblem(QByteArrayView head)
{
    const QString format = formatName(head);
    if (format.isEmpty())
        return QString();
    return QStringLiteral("Этот файл — %1, а тест должен быть сохранён как RTF или как обычный "
                          "текст. Откройте его в Word или LibreOffice и сохраните командой "
                          "«Сохранить как» с типом «Текст в формате RTF» (или «Обычный текст»), "
                          "затем переименуйте в .tstt.")
        .arg(format);
}

} // namespace merilon
