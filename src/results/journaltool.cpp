#include "journaltool.h"

#include "content/sealedtest.h"
#include "journalplace.h"
#include "recorddata.h"
#include "recordproof.h"
#include "resulttable.h"

#include <QDir>
#include <QFile>
#include <QTextStream>
#include <algorithm>
#include <optional>

namespace merilon {

int runJournalTool(const QStringList &arguments, const JournalPlace &place,
                   const PasswordReader &read, QTextStream &out, QTextStream &err)
{
    if (arguments.value(0) == QLatin1String("--where")) {
        if (arguments.size() != 1) {
            err << QStringLiteral("После --where ничего не нужно.\n");
            return 2;
        }
        out << place.describe() << '\n';
        return place.writable() ? 0 : 1;
    }
    if (arguments.value(0) != QLatin1String("--table"))
        return -1;
    QStringList files;
    QString verify;
    QString passwordFile;
    bool understood = true;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == QLatin1String("--verify") && i + 1 < arguments.size())
            verify = arguments[++i];
        else if (argument == QLatin1String("--password-file") && i + 1 < arguments.size())
            passwordFile = arguments[++i];
        else if (argument.startsWith(QLatin1String("--")))
            understood = false;
        else
            files << argument;
    }
    if (files.size() < 2 || !understood || (!passwordFile.isEmpty() && verify.isEmpty())) {
        err << QStringLiteral("Использование: merilon-check --table ТАБЛИЦА.xlsx|ТАБЛИЦА.csv "
                              "ЖУРНАЛ... [--verify ТЕСТ.tstt [--password-file ФАЙЛ]]\n");
        return 2;
    }
    // The key that tells which records of the sealed test are as it wrote them.
    std::optional<sealed::RecordKey> key;
    if (!verify.isEmpty()) {
        QString error;
        const std::optional<QString> password = obtainPassword(passwordFile, read, false, &error);
        if (password)
            key = sealedRecordKey(verify, *password, &error);
        if (!key) {
            err << error << '\n';
            return 2;
        }
    }
    const QString table = files[0];
    QList<QList<JournalRecord>> journals;
    qsizetype total = 0;
    for (const QString &path : files.mid(1)) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            err << QStringLiteral("Не удается прочитать журнал \"%1\": %2\n")
                       .arg(QDir::toNativeSeparators(path), file.errorString());
            return 2;
        }
        const QByteArray bytes = file.readAll();
        journals.append(readJournalRecords(bytes));
        if (key)
            for (JournalRecord &record : journals.back())
                record.row.check = checkText(checkRecord(record, *key));
        if (journals.back().isEmpty())
            err << QStringLiteral("В \"%1\" нет ни одной записи журнала.\n")
                       .arg(QDir::toNativeSeparators(path));
        total += journals.back().size();
    }
    const QList<TableRow> rows = mergeJournals(journals);
    QString error;
    if (!writeTable(table, rows, &error)) {
        err << error << '\n';
        return 2;
    }
    out << QStringLiteral("Таблица \"%1\": записей %2, журналов %3")
               .arg(QDir::toNativeSeparators(table))
               .arg(rows.size())
               .arg(journals.size());
    if (const qsizetype twice = total - rows.size(); twice > 0)
        out << QStringLiteral(", повторов пропущено %1").arg(twice);
    out << ".\n";
    if (key) {
        for (const RecordCheck check :
             {RecordCheck::Genuine, RecordCheck::Altered, RecordCheck::Unchecked}) {
            const QString text = checkText(check);
            out << QStringLiteral("Проверка «%1»: %2\n")
                       .arg(text)
                       .arg(std::count_if(rows.begin(), rows.end(),
                                          [&](const TableRow &row) { return row.check == text; }));
        }
    }
    return 0;
}

} // namespace merilon
