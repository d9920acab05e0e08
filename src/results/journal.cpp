#include "journal.h"

#include "recorddata.h"
#include "richtext/richtext.h"
#include "sharedlock.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <optional>
#include <vector>

namespace merilon {

Journal::Journal(QString path) : m_path(std::move(path)) {}

QString Journal::pathIn(const QString &programFolder)
{
    return QDir(programFolder).filePath(QStringLiteral("Journal.res"));
}

bool Journal::exists() const
{
    return QFileInfo(m_path).isFile();
}

namespace {

QString readError(const QString &path, const QFile &file)
{
    return QStringLiteral("Не удается прочитать журнал \"%1\": %2\nЖурнал не изменён: прежние "
                          "записи целы.")
        .arg(QDir::toNativeSeparators(path), file.errorString());
}

bool readAll(const QString &path, QByteArray &bytes, QString *error)
{
    bytes.clear();
    if (!QFileInfo(path).isFile())
        return true;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || (bytes = file.readAll(), file.error())) {
        if (error)
            *error = readError(path, file);
        return false;
    }
    return true;
}

// The kept journal's records that `journal` does not hold yet, as RTF; empty when none is
// left. Each record begins with its name line and runs to the next one.
QByteArray keptNotIn(const QByteArray &kept, const QByteArray &journal)
{
    if (kept.isEmpty())
        return {};
    RichText records;
    records.setFileContent(kept);
    QTextDocument &document = *records.document();
    const QString nameLabel = QStringLiteral("Фамилия имя:");
    std::vector<int> starts;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        if (block.text().trimmed().startsWith(nameLabel))
            starts.push_back(block.position());
    bool removed = false;
    // From the last record back, so that the places of those before stay.
    for (auto k = qsizetype(starts.size()) - 1; k >= 0; --k) {
        const QByteArray id =
            RecordData::decode(records.characterData(records.fromQt(starts[k]))).id.toLatin1();
        if (id.isEmpty() || !journal.contains("id=" + id))
            continue;
        QTextCursor range(&document);
        range.setPosition(starts[k]);
        if (k + 1 < qsizetype(starts.size()))
            range.setPosition(starts[k + 1], QTextCursor::KeepAnchor);
        else
            range.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        range.removeSelectedText();
        removed = true;
    }
    if (!removed)
        return kept;
    return document.toPlainText().trimmed().isEmpty() ? QByteArray() : records.toRtf();
}

} // namespace

QByteArray Journal::inFront(const QByteArray &front, const QByteArray &journal)
{
    if (journal.isEmpty())
        return front;
    if (front.isEmpty())
        return journal;
    const qsizetype body = front.indexOf("\n\\pard") + 1;
    const qsizetype close = front.lastIndexOf('}');
    if (body > 0 && close > body &&
        QByteArrayView(journal).startsWith(QByteArrayView(front).first(body)) &&
        QByteArrayView(journal).trimmed().endsWith('}')) {
        // A journal of our own records: the same fonts and colours, so the
        // record's paragraphs go straight in front of the older ones. A large
        // journal is copied once.
        const QByteArrayView older = QByteArrayView(journal).sliced(body);
        QByteArray joined;
        joined.reserve(close + 5 + older.size());
        joined.append(front.constData(), close)
            .append("\\par\n")
            .append(older.data(), older.size());
        return joined;
    }
    // Any other journal is read whole, and keeps all its formatting.
    RichText record;
    record.setRtf(front);
    RichText whole;
    whole.setFileContent(journal);
    record.SelectAll();
    whole.SetSelStart(0);
    whole.insertSelectionOf(record);
    QTextCursor at = whole.cursor();
    at.insertBlock();
    whole.adoptCursor(at);
    return whole.toRtf();
}

bool Journal::addRecord(RichText &record, QString *error, const QString &kept) const
{
    const auto fail = [error](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    // From reading the journal to replacing it, no other writer comes in.
    SharedLock lock(m_path + QStringLiteral(".lock"), StaleLockMs);
    switch (lock.lock(LockTimeoutMs)) {
    case SharedLock::Result::Locked:
        break;
    case SharedLock::Result::Busy:
        return fail(QStringLiteral("Журнал занят: в него сейчас записывает результат другой "
                                   "компьютер или другая копия программы. Попробуйте ещё раз "
                                   "через несколько секунд."));
    case SharedLock::Result::NoAccess:
        return fail(QStringLiteral("Нет доступа к папке журнала \"%1\": записать результат "
                                   "нельзя.")
                        .arg(QDir::toNativeSeparators(QFileInfo(m_path).absolutePath())));
    }

    QByteArray old;
    if (!readAll(m_path, old, error))
        return false;
    // The kept journal belongs to this user alone; its lock keeps a second copy of the
    // program from adding to it meanwhile.
    std::optional<SharedLock> keptLock;
    QByteArray keptRecords;
    if (!kept.isEmpty() && QFileInfo(kept).isFile()) {
        keptLock.emplace(kept + QStringLiteral(".lock"), StaleLockMs);
        QByteArray keptBytes;
        if (keptLock->lock(LockTimeoutMs) == SharedLock::Result::Locked &&
            readAll(kept, keptBytes, nullptr))
            keptRecords = keptNotIn(keptBytes, old);
        else
            keptLock.reset(); // they wait for the next record
    }
    const QByteArray updated = inFront(record.toRtf(), inFront(keptRecords, old));

    // A hidden system file cannot be replaced on Windows; the old one stays
    // whole until the new one has been written in full.
    setJournalAttributes(m_path, false);
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly) || file.write(updated) != updated.size() ||
        !file.commit()) {
        if (exists())
            setJournalAttributes(m_path, true);
        return fail(QStringLiteral("Не удается записать журнал \"%1\": %2")
                        .arg(QDir::toNativeSeparators(m_path), file.errorString()));
    }
    setJournalAttributes(m_path, true);
    if (keptLock) {
        // Should it stay, its records are found here next time and not added twice.
        setJournalAttributes(kept, false);
        QFile::remove(kept);
    }
    return true;
}

} // namespace merilon
