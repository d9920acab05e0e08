#pragma once

#include <QByteArray>
#include <QString>

namespace merilon {

namespace sealed {
struct RecordKey;
}
struct JournalRecord;
struct RecordData;
struct TableRow;

// A record written under a sealed test carries a proof: a MAC, under a key only the test's
// password yields, over the fields a teacher relies on. It shows that a record was written by
// the program under that test and not changed since; it cannot show that a record is missing.

// What a record's proof says.
enum class RecordCheck {
    Genuine,   // written under the test, unchanged
    Altered,   // written under the test, but a field or a visible line was changed since
    Unchecked, // no proof, or the proof of another test
};

// Proves the record: `shown` holds what its visible lines say (questions asked, right answers,
// percent, grade); the rest comes from `data`, which gets the key's name and the proof.
void proveRecord(RecordData &data, const TableRow &shown, const sealed::RecordKey &key);

RecordCheck checkRecord(const JournalRecord &record, const sealed::RecordKey &key);

// "подлинная", "изменена", "без проверки".
QString checkText(RecordCheck check);

} // namespace merilon
