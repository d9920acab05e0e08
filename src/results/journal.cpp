#include "journal.h"

#include "shell/richtext.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QTextCursor>
#include <QTextDocument>

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

    RichText journal;
    if (exists()) {
        QString reason;
        if (!journal.Lines().LoadFromFile(m_path, &reason))
            return fail(reason + QStringLiteral("\nЖурнал не изменён: прежние записи целы."));
    }
    // The record, with its own line break, in front of the older records.
    const QTextCursor kept = record.cursor();
    record.SelectAll();
    journal.SetSelStart(0);
    journal.insertSelectionOf(record);
    if (journal.TextLength() > record.TextLength()) {
        QTextCursor at = journal.cursor();
        at.insertBlock();
        journal.adoptCursor(at);
    }
    record.adoptCursor(kept);

    // A hidden system file cannot be replaced on Windows; the old one stays
    // whole until the new one has been written in full.
    setJournalAttributes(m_path, false);
    QString reason;
    if (!journal.Lines().SaveToFile(m_path, &reason)) {
        if (exists())
            setJournalAttributes(m_path, true);
        return fail(reason);
    }
    setJournalAttributes(m_path, true);
    return true;
}

} // namespace merilon
