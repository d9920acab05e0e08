#include "richtext.h"

#include "clipboardformats.h"
#include "codepages.h"
#include "qtcompat.h"
#include "rtfdocument.h"
#include "rtfreader.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <algorithm>
#include <limits>
#include <utility>

namespace merilon {

namespace {

// Qt's documents break paragraphs at '\n'; text from files and other
// programs may use CR LF or CR.
QString withQtBreaks(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QTextDocument *newDocument(QObject *parent, const QTextDocument *like)
{
    auto *doc = new QTextDocument(parent);
    doc->setUndoRedoEnabled(false);
    if (like) {
        doc->setDefaultFont(like->defaultFont());
        doc->setDocumentMargin(like->documentMargin());
    }
    return doc;
}

QString fileName(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

QString decodePlainText(const QByteArray &data)
{
    QString text;
    const auto bytes = [&](int i) {
        return static_cast<unsigned char>(data[i]);
    };
    if (data.size() >= 3 && bytes(0) == 0xEF && bytes(1) == 0xBB && bytes(2) == 0xBF) {
        text = QString::fromUtf8(data.mid(3));
    } else if (data.size() >= 2 && bytes(0) == 0xFF && bytes(1) == 0xFE) {
        QStringDecoder decoder(QStringConverter::Utf16LE);
        text = decoder(data.mid(2));
    } else if (data.size() >= 2 && bytes(0) == 0xFE && bytes(1) == 0xFF) {
        QStringDecoder decoder(QStringConverter::Utf16BE);
        text = decoder(data.mid(2));
    } else {
        QStringDecoder decoder(QStringConverter::Utf8);
        text = decoder(data);
        if (decoder.hasError())
            text = rtf::decodeBytes(1251, data);
    }
    text.remove(QChar(0));
    return withQtBreaks(std::move(text));
}

// ---- lines ----------------------------------------------------------------

int RichLines::Count() const
{
    const QTextDocument *doc = m_owner.document();
    const int blocks = doc->blockCount();
    return doc->lastBlock().length() <= 1 ? blocks - 1 : blocks;
}

QString RichLines::operator[](int index) const
{
    const QString &text = m_owner.Text();
    const int start = m_owner.LineIndex(index);
    if (index < 0 || start < 0)
        return {};
    const int next = m_owner.LineIndex(index + 1);
    const int end = next < 0 ? m_owner.TextLength() : next - 2;
    return text.mid(start, std::max(0, end - start));
}

void RichLines::Add(const QString &text)
{
    const int count = Count();
    int position = m_owner.LineIndex(count);
    QString inserted = text + QStringLiteral("\r\n");
    if (position < 0) {
        // The last line has no break: the new line starts with one.
        position = m_owner.TextLength();
        inserted = QStringLiteral("\r\n") + text;
    }
    QTextCursor cursor(m_owner.document());
    cursor.setPosition(m_owner.toQt(position));
    cursor.insertText(withQtBreaks(inserted));
}

void RichLines::Delete(int index)
{
    const int from = m_owner.LineIndex(index);
    if (index < 0 || from < 0)
        return;
    int to = m_owner.LineIndex(index + 1);
    if (to < 0)
        to = from + static_cast<int>((*this)[index].size());
    QTextCursor cursor(m_owner.document());
    cursor.setPosition(m_owner.toQt(from));
    cursor.setPosition(m_owner.toQt(to), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

void RichLines::Clear()
{
    m_owner.setPlain(QString());
}

void RichLines::Assign(const RichLines &other)
{
    QString text;
    const int count = other.Count();
    for (int i = 0; i < count; ++i) {
        text += other[i];
        text += QLatin1Char('\n');
    }
    m_owner.setPlain(text);
}

bool readWholeFile(const QString &path, QByteArray &data, QString *error)
{
    QFile file(path);
    data.clear();
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Не удается открыть файл \"%1\": %2")
                         .arg(fileName(path), file.errorString());
        return false;
    }
    // Read in one piece of the file's size: readAll() would grow its buffer past twice the size
    // of a large test (photos make tests of tens of megabytes).
    if (const qint64 size = file.size(); size > 0 && size < std::numeric_limits<qsizetype>::max()) {
        data.resize(qsizetype(size));
        const qint64 got = file.read(data.data(), size);
        data.truncate(qsizetype(std::max<qint64>(got, 0)));
        if (got == size)
            data += file.readAll(); // whatever it has grown by since
    } else {
        data = file.readAll(); // no size known (a device or a pipe)
    }
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = QStringLiteral("Ошибка чтения файла \"%1\": %2")
                         .arg(fileName(path), file.errorString());
        data.clear();
        return false;
    }
    return true;
}

bool RichLines::LoadFromFile(const QString &path, QString *error)
{
    QByteArray data;
    if (!readWholeFile(path, data, error))
        return false;
    m_owner.setFileContent(data);
    return true;
}

bool RichLines::SaveToFile(const QString &path, QString *error) const
{
    QSaveFile file(path);
    const QByteArray data = m_owner.toRtf();
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        if (error)
            *error = QStringLiteral("Не удается записать файл \"%1\": %2")
                         .arg(fileName(path), file.errorString());
        return false;
    }
    return true;
}

// ---- the document ---------------------------------------------------------

RichText::RichText(QObject *parent) : QObject(parent), m_lines(*this)
{
    replaceDocument(newDocument(this, nullptr));
}

RichText::~RichText() = default;

void RichText::replaceDocument(QTextDocument *fresh)
{
    QTextDocument *old = m_document;
    m_document = fresh;
    m_cacheValid = false;
    connect(fresh, &QTextDocument::contentsChanged, this, [this] { m_cacheValid = false; });
    m_cursor = QTextCursor(fresh);
    emit documentReplaced(fresh);
    delete old;
    emit selectionSet();
}

void RichText::setRtf(QByteArrayView rtf)
{
    QTextDocument *fresh = newDocument(this, m_document);
    QTextCursor cursor(fresh);
    rtf::insertRtf(rtf, cursor);
    replaceDocument(fresh);
}

void RichText::setFileContent(const QByteArray &data)
{
    if (rtf::looksLikeRtf(data))
        setRtf(data);
    else
        setPlain(decodePlainText(data));
}

void RichText::setPlain(const QString &text)
{
    QTextDocument *fresh = newDocument(this, m_document);
    fresh->setPlainText(text);
    replaceDocument(fresh);
}

void RichText::takeDocumentOf(RichText &other)
{
    if (&other == this)
        return;
    QTextDocument *taken = other.m_document;
    disconnect(taken, nullptr, &other, nullptr);
    other.m_document = nullptr;
    other.replaceDocument(newDocument(&other, taken));
    taken->setParent(this);
    taken->setDefaultFont(m_document->defaultFont());
    taken->setDocumentMargin(m_document->documentMargin());
    replaceDocument(taken);
}

QString RichText::rangeText(int from, int to) const
{
    QTextCursor range(m_document);
    range.setPosition(toQt(from));
    range.setPosition(toQt(std::max(from, to)), QTextCursor::KeepAnchor);
    QString text = range.selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

QByteArray RichText::toRtf() const
{
    return rtf::writeRtf(*m_document);
}

void RichText::setCharacterData(int position, const QByteArray &data)
{
    QTextCursor at(m_document);
    at.setPosition(toQt(position));
    // A cursor's format is that of the character before it: the one after the move.
    if (!at.movePosition(QTextCursor::NextCharacter))
        return;
    QTextCharFormat format = at.charFormat();
    rtf::setData(format, data);
    at.movePosition(QTextCursor::PreviousCharacter, QTextCursor::KeepAnchor);
    at.setCharFormat(format);
}

QByteArray RichText::characterData(int position) const
{
    QTextCursor inside(m_document);
    inside.setPosition(toQt(position));
    if (!inside.movePosition(QTextCursor::NextCharacter))
        return {};
    return rtf::dataOf(inside.charFormat());
}

void RichText::ensureCache() const
{
    if (m_cacheValid)
        return;
    m_text.clear();
    m_blockStarts.clear();
    m_blockStarts.reserve(static_cast<size_t>(m_document->blockCount()));
    m_text.reserve(m_document->characterCount() + m_document->blockCount());
    bool first = true;
    for (QTextBlock block = m_document->begin(); block.isValid(); block = block.next()) {
        if (!first)
            m_text += QStringLiteral("\r\n");
        first = false;
        m_blockStarts.push_back(static_cast<int>(m_text.size()));
        m_text += block.text();
    }
    m_cacheValid = true;
}

const QString &RichText::Text() const
{
    ensureCache();
    return m_text;
}

int RichText::TextLength() const
{
    return static_cast<int>(Text().size());
}

int RichText::blockOf(int position) const
{
    ensureCache();
    const auto it = std::upper_bound(m_blockStarts.begin(), m_blockStarts.end(), position);
    return it == m_blockStarts.begin() ? 0 : static_cast<int>(it - m_blockStarts.begin()) - 1;
}

int RichText::toQt(int position) const
{
    ensureCache();
    position = std::clamp(position, 0, static_cast<int>(m_text.size()));
    const int block = blockOf(position);
    const int start = m_blockStarts[static_cast<size_t>(block)];
    const int qtStart = start - block; // each break before is one character shorter in Qt
    const int length = (static_cast<size_t>(block) + 1 < m_blockStarts.size()
                            ? m_blockStarts[static_cast<size_t>(block) + 1] - 2
                            : static_cast<int>(m_text.size())) -
                       start;
    const int offset = position - start;
    // The CR stands for the paragraph break, the LF for the next paragraph's start.
    return offset <= length ? qtStart + offset : qtStart + length + 1;
}

int RichText::fromQt(int qtPosition) const
{
    const QTextBlock block = m_document->findBlock(qtPosition);
    if (!block.isValid())
        return TextLength();
    return qtPosition + block.blockNumber();
}

int RichText::LineIndex(int line) const
{
    ensureCache();
    if (line == -1)
        line = m_cursor.block().blockNumber();
    if (line < 0 || static_cast<size_t>(line) >= m_blockStarts.size())
        return -1;
    return m_blockStarts[static_cast<size_t>(line)];
}

int RichText::LineOfPosition(int position) const
{
    return blockOf(position);
}

int RichText::FindText(const QString &text, qint64 start, qint64 length) const
{
    const QString &all = Text();
    const qint64 size = all.size();
    if (text.isEmpty())
        return -1;
    const qint64 from = std::clamp<qint64>(start, 0, size);
    const qint64 to =
        std::clamp<qint64>(length > 0 ? from + std::min<qint64>(length, size) : from, from, size);
    if (to - from < text.size())
        return -1;
    const qsizetype found =
        QStringView(all).mid(from, to - from).indexOf(text, 0, Qt::CaseInsensitive);
    return found < 0 ? -1 : static_cast<int>(from + found);
}

int RichText::SelStart() const
{
    return fromQt(m_cursor.selectionStart());
}

int RichText::SelLength() const
{
    return fromQt(m_cursor.selectionEnd()) - SelStart();
}

void RichText::select(int qtAnchor, int qtPosition)
{
    m_cursor.setPosition(qtAnchor);
    m_cursor.setPosition(qtPosition, QTextCursor::KeepAnchor);
    emit selectionSet();
}

void RichText::SetSelStart(int position)
{
    const int qt = toQt(position);
    select(qt, qt);
}

void RichText::SetSelLength(int length)
{
    const int start = SelStart();
    const qint64 end = std::clamp<qint64>(qint64(start) + length, 0, TextLength());
    select(toQt(start), toQt(static_cast<int>(end)));
}

void RichText::SetSelText(const QString &text)
{
    m_cursor.insertText(withQtBreaks(text));
    emit selectionSet();
}

void RichText::SelectAll()
{
    m_cursor.select(QTextCursor::Document);
    emit selectionSet();
}

CaretPosition RichText::CaretPos() const
{
    const int position = fromQt(m_cursor.position());
    const int line = blockOf(position);
    return {line, position - m_blockStarts[static_cast<size_t>(line)]};
}

void RichText::SetSelSize(double points)
{
    QTextCharFormat format;
    format.setFontPointSize(points);
    m_cursor.mergeCharFormat(format);
}

void RichText::SetSelFont(const QFont &font, double points)
{
    QTextCharFormat format;
    format.setFontFamilies(font.families().isEmpty() ? QStringList{font.family()}
                                                     : font.families());
    format.setFontPointSize(points);
    format.setFontItalic(font.italic());
    format.setFontWeight(font.weight());
    m_cursor.mergeCharFormat(format);
}

void RichText::SetSelColor(const QColor &color)
{
    QTextCharFormat format;
    format.setForeground(color);
    m_cursor.mergeCharFormat(format);
}

void RichText::SetReadOnly(bool readOnly)
{
    if (m_readOnly == readOnly)
        return;
    m_readOnly = readOnly;
    emit readOnlyChanged(readOnly);
}

void RichText::adoptCursor(const QTextCursor &cursor)
{
    if (cursor.document() == m_document)
        m_cursor = cursor;
}

// ---- transfer -------------------------------------------------------------

std::unique_ptr<QMimeData> RichText::selectionMimeData() const
{
    auto mime = std::make_unique<QMimeData>();
    QTextDocument copy;
    copy.setUndoRedoEnabled(false);
    copy.setDefaultFont(m_document->defaultFont());
    QTextCursor target(&copy);
    target.insertFragment(QTextDocumentFragment(m_cursor));
    rtf::copyImageResources(*m_document, copy, 0, copy.characterCount());
    const QByteArray rtfData = rtf::writeRtf(copy);
    for (const QString &format : rtfClipboardFormats())
        mime->setData(format, rtfData);
    mime->setHtml(copy.toHtml());
    mime->setText(copy.toPlainText());
    return mime;
}

void RichText::insertMimeData(const QMimeData &data)
{
    for (const QString &name : rtfPasteFormats()) {
        if (data.hasFormat(name)) {
            const QByteArray bytes = data.data(name);
            if (rtf::looksLikeRtf(bytes)) {
                QTextDocument fragmentDoc;
                fragmentDoc.setUndoRedoEnabled(false);
                QTextCursor builder(&fragmentDoc);
                rtf::insertRtf(bytes, builder);
                const int from = m_cursor.selectionStart();
                m_cursor.insertFragment(QTextDocumentFragment(&fragmentDoc));
                rtf::copyImageResources(fragmentDoc, *m_document, from, m_cursor.position());
                emit selectionSet();
                return;
            }
        }
    }
    if (data.hasHtml()) {
        m_cursor.insertFragment(QTextDocumentFragment::fromHtml(data.html(), m_document));
    } else if (data.hasText()) {
        m_cursor.insertText(withQtBreaks(data.text()));
    }
    emit selectionSet();
}

void RichText::insertSelectionOf(const RichText &source)
{
    const int from = m_cursor.selectionStart();
    m_cursor.insertFragment(QTextDocumentFragment(source.m_cursor));
    rtf::copyImageResources(*source.m_document, *m_document, from, m_cursor.position());
    emit selectionSet();
}

void RichText::CopyToClipboard() const
{
    if (!m_cursor.hasSelection())
        return;
    QGuiApplication::clipboard()->setMimeData(selectionMimeData().release());
}

void RichText::CutToClipboard()
{
    if (m_readOnly || !m_cursor.hasSelection())
        return;
    CopyToClipboard();
    m_cursor.removeSelectedText();
    emit selectionSet();
}

void RichText::PasteFromClipboard()
{
    if (m_readOnly)
        return;
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    if (data)
        insertMimeData(*data);
}

void RichText::ClearClipboard()
{
    QGuiApplication::clipboard()->clear();
}

// ---- printing -------------------------------------------------------------

void RichText::PrintTo(QPrinter &printer, const QString &title) const
{
    printer.setDocName(title);
    m_document->print(&printer);
}

bool RichText::Print(const QString &title, QString *error) const
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        if (error)
            *error = QStringLiteral("Не найден принтер по умолчанию: печать невозможна.");
        return false;
    }
    QPrinter printer(info, QPrinter::HighResolution);
    PrintTo(printer, title);
    if (printer.printerState() == QPrinter::Error) {
        if (error)
            *error = QStringLiteral("Ошибка печати на принтере \"%1\".").arg(info.printerName());
        return false;
    }
    return true;
}

} // namespace merilon
