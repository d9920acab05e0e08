#include "recorddata.h"

#include "richtext/qtcompat.h"
#include "richtext/rtfreader.h"

#include <QHash>
#include <QSet>
#include <QUrl>
#include <QUuid>
#include <algorithm>

namespace merilon {

namespace {

constexpr auto kDateFormat = Qt::ISODate;

void addField(QByteArray &out, const char *key, const QString &value)
{
    if (value.isEmpty())
        return;
    out += '&';
    out += key;
    out += '=';
    out += QUrl::toPercentEncoding(value);
}

// Percent-decoded UTF-8; garbled bytes make the field empty.
QString fieldText(QByteArrayView value)
{
    const QByteArray bytes = QByteArray::fromPercentEncoding(value.toByteArray());
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return {};
    text.truncate(
        std::remove_if(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x20; }) -
        text.begin());
    return text.left(1000);
}

// The journal's paragraphs as text, each with the data that came in it.
class ParagraphSink final : public rtf::Sink
{
public:
    struct Paragraph
    {
        QString text;
        QByteArray data;
    };
    QList<Paragraph> paragraphs{Paragraph{}};

    void text(const QString &text, const rtf::CharStyle &) override
    {
        paragraphs.back().text += text;
    }
    void paragraphBreak(const rtf::ParaStyle &) override { paragraphs.append(Paragraph{}); }
    void picture(const rtf::Picture &, const rtf::CharStyle &) override {}
    void finish(const rtf::ParaStyle &) override {}
    void data(const QByteArray &data) override
    {
        if (paragraphs.back().data.isEmpty())
            paragraphs.back().data = data;
    }
};

// The value after "Label:" on a visible line, or a null string when the line is another.
QString valueAfter(const QString &line, const QString &label)
{
    if (!line.startsWith(label))
        return {};
    return line.mid(label.size()).trimmed();
}

int number(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && value >= 0 ? value : -1;
}

} // namespace

QByteArray RecordData::encode() const
{
    QByteArray out = "v=1";
    addField(out, "id", id);
    if (confirmed.isValid())
        addField(out, "at", confirmed.toString(kDateFormat));
    addField(out, "test", test);
    addField(out, "surname", surname);
    addField(out, "name", name);
    addField(out, "questions", questions);
    if (secondsUsed >= 0)
        addField(out, "time", QString::number(secondsUsed));
    addField(out, "computer", computer);
    addField(out, "version", version);
    addField(out, "seal", seal);
    addField(out, "proof", proof);
    return out;
}

RecordData RecordData::decode(QByteArrayView data)
{
    RecordData record;
    for (const QByteArrayView field :
         QByteArray::fromRawData(data.data(), data.size()).split('&')) {
        const qsizetype eq = field.indexOf('=');
        if (eq <= 0)
            continue;
        const QByteArrayView key = field.first(eq);
        const QString value = fieldText(field.sliced(eq + 1));
        if (key == "id")
            record.id = value;
        else if (key == "at")
            record.confirmed = QDateTime::fromString(value, kDateFormat);
        else if (key == "test")
            record.test = value;
        else if (key == "surname")
            record.surname = value;
        else if (key == "name")
            record.name = value;
        else if (key == "questions")
            record.questions = value;
        else if (key == "time")
            record.secondsUsed = number(value);
        else if (key == "computer")
            record.computer = value;
        else if (key == "version")
            record.version = value;
        else if (key == "seal")
            record.seal = value;
        else if (key == "proof")
            record.proof = value;
    }
    return record;
}

QString RecordData::newId()
{
    return QUuid::createUuid().toString(QUuid::Id128);
}

void RecordData::fillRow(TableRow &row) const
{
    row.confirmed = confirmed;
    row.test = test;
    row.secondsUsed = secondsUsed;
    row.computer = computer;
    row.surname = surname;
    row.name = name;
}

QList<JournalRecord> readJournalRecords(QByteArrayView journal)
{
    ParagraphSink sink;
    if (rtf::looksLikeRtf(journal))
        rtf::read(journal, sink);
    const QString nameLabel = QStringLiteral("Фамилия имя:");
    const QString askedLabel = QStringLiteral("Задано вопросов:");
    const QString correctLabel = QStringLiteral("Правильных ответов:");
    const QString percentLabel = QStringLiteral("Процент правильных ответов:");
    const QString gradeLabel = QStringLiteral("Оценка:");

    QList<JournalRecord> records;
    for (const ParagraphSink::Paragraph &paragraph : sink.paragraphs) {
        const QString line = paragraph.text.trimmed();
        if (line.startsWith(nameLabel)) {
            JournalRecord record;
            const RecordData data = RecordData::decode(paragraph.data);
            record.id = data.id;
            record.questions = data.questions;
            record.seal = data.seal;
            record.proof = data.proof;
            TableRow &row = record.row;
            data.fillRow(row);
            if (row.surname.isEmpty() && row.name.isEmpty()) {
                // As the line shows them: the surname, a space, the name.
                const QString both = line.mid(nameLabel.size()).trimmed();
                const qsizetype space = both.indexOf(QLatin1Char(' '));
                row.surname = space < 0 ? both : both.left(space);
                row.name = space < 0 ? QString() : both.mid(space + 1).trimmed();
            }
            record.text = line;
            records.append(record);
            continue;
        }
        if (records.isEmpty() || line.isEmpty())
            continue;
        JournalRecord &record = records.back();
        TableRow &row = record.row;
        record.text += QLatin1Char('\n') + line;
        if (const QString v = valueAfter(line, askedLabel); !v.isNull()) {
            row.asked = number(v);
        } else if (const QString v = valueAfter(line, correctLabel); !v.isNull()) {
            row.correct = number(v);
        } else if (QString v = valueAfter(line, percentLabel); !v.isNull()) {
            v.remove(QLatin1Char('%'));
            v.replace(QLatin1Char(','), QLatin1Char('.'));
            bool ok = false;
            const double percent = v.trimmed().toDouble(&ok);
            row.percent = ok && percent >= 0 && percent <= 100 ? percent : -1;
        } else if (const QString v = valueAfter(line, gradeLabel); !v.isNull()) {
            const int grade = number(v);
            row.grade = grade >= 1 && grade <= 5 ? grade : -1;
        }
    }
    return records;
}

QList<TableRow> mergeJournals(const QList<QList<JournalRecord>> &journals)
{
    QSet<QString> seen;
    QList<TableRow> rows;
    for (const QList<JournalRecord> &journal : journals) {
        for (qsizetype k = 0; k < journal.size(); ++k) {
            const JournalRecord &record = journal[k];
            const QString key = record.id.isEmpty() ? QString::number(journal.size() - k) +
                                                          QLatin1Char('\n') + record.text
                                                    : QStringLiteral("id:") + record.id;
            if (seen.contains(key))
                continue;
            seen.insert(key);
            rows.append(record.row);
        }
    }
    // Newest first; records without a time keep their journal's order after those with one.
    std::stable_sort(rows.begin(), rows.end(), [](const TableRow &a, const TableRow &b) {
        if (a.confirmed.isValid() != b.confirmed.isValid())
            return a.confirmed.isValid();
        return a.confirmed > b.confirmed;
    });
    return rows;
}

} // namespace merilon
