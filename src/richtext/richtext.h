#pragma once

#include "qtcompat.h"

#include <QColor>
#include <QFont>
#include <QObject>
#include <QString>
#include <QTextCursor>
#include <memory>
#include <vector>

class QMimeData;
class QPrinter;
class QTextDocument;

namespace merilon {

class RichText;

// Reads a whole file into `data`; false with `error` naming the file and the reason.
bool readWholeFile(const QString &path, QByteArray &data, QString *error);

// The lines of a rich-text document: one line per paragraph.
class RichLines
{
public:
    explicit RichLines(RichText &owner) : m_owner(owner) {}

    // The number of lines, an empty last line left out.
    int Count() const;
    // A line's text without its break; empty past the end.
    QString operator[](int index) const;
    // Appends a paragraph at the end.
    void Add(const QString &text);
    void Delete(int index);
    void Clear();
    // Plain lines of another document, without formatting.
    void Assign(const RichLines &other);
    // Replaces the content with the file: RTF when it begins with "{\rtf",
    // plain text otherwise. On failure the content is unchanged and `error`
    // says which file and why.
    bool LoadFromFile(const QString &path, QString *error);
    // Writes the whole content as RTF; the old file stays intact on failure.
    bool SaveToFile(const QString &path, QString *error) const;

private:
    RichText &m_owner;
};

struct CaretPosition
{
    int line = 0;
    int column = 0;
};

// A rich-text document with the position arithmetic of the program: 0-based
// positions in which a paragraph break counts as two characters (CR LF), one
// selection, and transfer of formatted ranges by clipboard or directly.
// It needs no window: RichEdit shows it.
class RichText : public QObject
{
    Q_OBJECT

public:
    explicit RichText(QObject *parent = nullptr);
    ~RichText() override;

    QTextDocument *document() const { return m_document; }
    RichLines &Lines() { return m_lines; }
    const RichLines &Lines() const { return m_lines; }

    // The plain text with "\r\n" between paragraphs.
    const QString &Text() const;
    int TextLength() const;

    // The position of a line's first character, -1 when there is no such
    // line; line -1 is the caret's line.
    int LineIndex(int line) const;
    // The line holding a position.
    int LineOfPosition(int position) const;

    // First match of `text`, not case-sensitive, wholly inside
    // start .. start + length (clamped to the text), or -1.
    int FindText(const QString &text, qint64 start, qint64 length) const;

    int SelStart() const;
    int SelLength() const;
    void SetSelStart(int position);
    void SetSelLength(int length);
    void SetSelText(const QString &text);
    void SelectAll();
    CaretPosition CaretPos() const;
    void SetSelSize(double points);
    void SetSelColor(const QColor &color);
    // The family, size (in points), italic and bold of `font` on the selection.
    void SetSelFont(const QFont &font, double points);

    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly);

    void CopyToClipboard() const;
    void CutToClipboard();
    void PasteFromClipboard();
    static void ClearClipboard();

    // The selection in every form other programs paste: RTF, HTML, text.
    std::unique_ptr<QMimeData> selectionMimeData() const;
    // Inserts formatted content at the caret: RTF first, then HTML, then text.
    void insertMimeData(const QMimeData &data);
    // Inserts the selection of `source` at the caret of this document with
    // its formatting, without the clipboard. Works while read-only too: the
    // program writes, the user does not.
    void insertSelectionOf(const RichText &source);

    // Prints the content as one job on the default printer.
    bool Print(const QString &title, QString *error) const;
    // Prints the content on the given printer (tests print to PDF).
    void PrintTo(QPrinter &printer, const QString &title) const;

    // The selection as Qt sees it; RichEdit keeps the two in step.
    const QTextCursor &cursor() const { return m_cursor; }
    void adoptCursor(const QTextCursor &cursor);

    // Takes over the whole content of `other`, which is left empty; this
    // document's default font and margin stay.
    void takeDocumentOf(RichText &other);
    // The plain text of the range from .. to as a copy of it would carry:
    // paragraph and line breaks as '\n'.
    QString rangeText(int from, int to) const;

    // Replaces the content with RTF or plain text read from memory.
    void setRtf(QByteArrayView rtf);
    // Replaces the content with the bytes of a file: RTF when they begin
    // with "{\rtf", plain text otherwise.
    void setFileContent(const QByteArray &data);
    void setPlain(const QString &text);
    QByteArray toRtf() const;
    // Puts the program's own data (printable ASCII) on the character at `position`; RTF
    // carries it in a group that other readers skip. An empty `data` removes it.
    void setCharacterData(int position, const QByteArray &data);
    QByteArray characterData(int position) const;

    // Position conversions between the CR LF coordinates and Qt's.
    int toQt(int position) const;
    int fromQt(int qtPosition) const;

signals:
    void documentReplaced(QTextDocument *document);
    void selectionSet();
    void readOnlyChanged(bool readOnly);

private:
    void ensureCache() const;
    void replaceDocument(QTextDocument *fresh);
    void select(int qtAnchor, int qtPosition);
    int blockOf(int position) const;

    QTextDocument *m_document = nullptr;
    QTextCursor m_cursor;
    RichLines m_lines;
    bool m_readOnly = false;

    mutable bool m_cacheValid = false;
    mutable QString m_text;
    mutable std::vector<int> m_blockStarts; // CR LF coordinates of each paragraph
};

// Decodes a plain-text file: UTF-8 (with or without byte-order mark), UTF-16
// with a byte-order mark, else Windows-1251; any line ends become '\n'.
QString decodePlainText(const QByteArray &data);

} // namespace merilon
