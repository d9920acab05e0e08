#include "recordproof.h"

#include "content/sealedtest.h"
#include "recorddata.h"
#include "resulttable.h"

namespace merilon {

namespace {

void addField(QByteArray &out, const QString &value)
{
    const QByteArray bytes = value.toUtf8();
    out += QByteArray::number(bytes.size());
    out += ':';
    out += bytes;
}

// The proved fields, each as its length and its UTF-8, so that no two records give the same
// bytes.
QByteArray message(const QString &id, const QString &questions, const TableRow &row)
{
    QByteArray out = "merilon record 1;";
    for (const QString &field : {id, row.surname, row.name, questions, QString::number(row.asked),
                                 QString::number(row.correct), QString::number(row.percent, 'f', 1),
                                 QString::number(row.grade), row.confirmed.toString(Qt::ISODate),
                                 row.test, row.computer, QString::number(row.secondsUsed)})
        addField(out, field);
    return out;
}

// The name line as the result window writes it, trimmed as the journal is read.
QString nameLine(const TableRow &row)
{
    return (QStringLiteral("Фамилия имя: ") + row.surname + QLatin1Char(' ') + row.name).trimmed();
}

} // namespace

void proveRecord(RecordData &data, const TableRow &shown, const sealed::RecordKey &key)
{
    TableRow row = shown;
    data.fillRow(row);
    data.seal = QString::fromLatin1(key.id);
    data.proof = QString::fromLatin1(key.prove(message(data.id, data.questions, row)));
}

RecordCheck checkRecord(const JournalRecord &record, const sealed::RecordKey &key)
{
    if (record.proof.isEmpty() || record.seal != QString::fromLatin1(key.id))
        return RecordCheck::Unchecked;
    const bool holds =
        key.holds(message(record.id, record.questions, record.row), record.proof.toLatin1()) &&
        record.text.section(QLatin1Char('\n'), 0, 0) == nameLine(record.row);
    return holds ? RecordCheck::Genuine : RecordCheck::Altered;
}

QString checkText(RecordCheck check)
{
    switch (check) {
    case RecordCheck::Genuine:
        return QStringLiteral("подлинная");
    case RecordCheck::Altered:
        return QStringLiteral("изменена");
    case RecordCheck::Unchecked:
        break;
    }
    return QStringLiteral("без проверки");
}

} // namespace merilon
