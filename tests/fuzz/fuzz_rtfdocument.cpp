// The reader building a real Qt document, then the writer on that document
// and the reader again on what it wrote.
#include "richtext/rtfdocument.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <cstdint>
#include <cstdlib>

// The program's own data on the document's characters, in order, once for each character that
// carries it (characters side by side with the same data and format make one fragment).
static QList<QByteArray> dataIn(const QTextDocument &document)
{
    QList<QByteArray> found;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (const QByteArray data = merilon::rtf::dataOf(it.fragment().charFormat());
                !data.isEmpty())
                for (int i = 0; i < it.fragment().length(); ++i)
                    found << data;
    return found;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QTextDocument document;
    document.setUndoRedoEnabled(false);
    QTextCursor cursor(&document);
    merilon::rtf::insertRtf(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)),
                            cursor);
    if (static_cast<size_t>(document.characterCount()) > size + 1)
        abort();

    const QByteArray written = merilon::rtf::writeRtf(document);
    QTextDocument again;
    again.setUndoRedoEnabled(false);
    QTextCursor second(&again);
    merilon::rtf::insertRtf(written, second);
    if (again.toRawText() != document.toRawText())
        abort(); // what we write must read back as the same text
    if (dataIn(again) != dataIn(document))
        abort(); // and with the same data on it
    return 0;
}
