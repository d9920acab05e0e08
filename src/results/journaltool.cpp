#include "journaltool.h"

#include "journalplace.h"
#include "recorddata.h"
#include "resulttable.h"

#include <QDir>
#include <QFile>
#include <QTextStream>

namespace merilon {

int runJournalTool(const QStringList &arguments, const JournalPlace &place, QTextStream &out,
                   QTextStream &err)
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
    if (arguments.size() < 3) {
        err << QStringLiteral("Использование: merilon-check --table ТАБЛИЦА.xlsx|ТАБЛИЦА.csv "
                              "ЖУРНАЛ...\n");
        return 2;
    }
    const QString table = arguments[1];
    QList<QList<JournalRecord>> journals;
    qsizetype total = 0;
    for (const QString &path : arguments.mid(2)) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            err << QStringLiteral("Не удается прочитать журнал \"%1\": %2\n")
                       .arg(QDir::toNativeSeparators(path), file.errorString());
            return 2;
        }
        const QByteArray bytes = file.readAll();
        journals.append(readJournalRecords(bytes));
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
    return 0;
}

} // namespace merilon
