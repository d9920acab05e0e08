#include "journal.h"

#include "richtext/richtext.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QTextCursor>

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

bool Journal::addRecord(RichText &record, QString *error) const
{
    const auto fail = [error](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    // From reading the journal to replacing it, no other writer comes in.
    QLockFile lock(m_path + QStringLiteral(".lock"));
    lock.setStaleLockTime(30000);
    if (!lock.tryLock(LockTimeoutMs)) {
        if (lock.error() == QLockFile::LockFailedError)
            return fail(QStringLiteral("Журнал занят: в него сейчас записывает результат другой "
                                       "компьютер или другая копия программы. Попробуйте ещё раз "
                                       "через несколько секунд."));
        return fail(QStringLiteral("Нет доступа к папке журнала \"%1\": записать результат "
                                   "нельзя.")
                        .arg(QDir::toNativeSeparators(QFileInfo(m_path).absolutePath())));
    }

    QByteArray old;
    if (exists()) {
        QFile file(m_path);
        if (!file.open(QIODevice::ReadOnly) || (old = file.readAll(), file.error()))
            return fail(QStringLiteral("Не удается прочитать журнал \"%1\": %2\nЖурнал не "
                                       "изменён: прежние записи целы.")
                            .arg(QDir::toNativeSeparators(m_path), file.errorString()));
    }
    QByteArray updated;
    const QByteArray rtf = record.toRtf();
    const qsizetype body = rtf.indexOf("\n\\pard") + 1;
    if (old.isEmpty()) {
        updated = rtf;
    } else if (const qsizetype close = rtf.lastIndexOf('}'); body > 0 && close > body &&
                                                             old.startsWith(rtf.left(body)) &&
                                                             old.trimmed().endsWith('}')) {
        // A journal of our own records: the same fonts and colours, so the
        // record's paragraphs go straight in front of the older ones.
        updated = rtf.left(close) + "\\par\n" + old.mid(body);
    } else {
        // Any other journal is read whole, and keeps all its formatting.
        RichText journal;
        journal.setFileContent(old);
        const QTextCursor kept = record.cursor();
        record.SelectAll();
        journal.SetSelStart(0);
        journal.insertSelectionOf(record);
        QTextCursor at = journal.cursor();
        at.insertBlock();
        journal.adoptCursor(at);
        record.adoptCursor(kept);
        updated = journal.toRtf();
    }

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
    return true;
}

} // namespace merilon
