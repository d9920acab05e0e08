// A journal's records read for the teacher's table: any bytes give records whose cells are
// either empty or hold what a record can say, and the same journal twice is one journal.
#include "results/recorddata.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QList<merilon::JournalRecord> records = merilon::readJournalRecords(bytes);
    for (const merilon::JournalRecord &record : records) {
        const merilon::TableRow &row = record.row;
        if (row.grade != -1 && (row.grade < 1 || row.grade > 5))
            abort();
        if (row.percent != -1 && !(row.percent >= 0 && row.percent <= 100))
            abort();
        if (row.secondsUsed < -1 || row.asked < -1 || row.correct < -1)
            abort();
    }
    if (merilon::mergeJournals({records, records}).size() > records.size())
        abort();

    // What decoding gives, encoded and decoded again, is the same.
    const merilon::RecordData first = merilon::RecordData::decode(bytes);
    const merilon::RecordData second = merilon::RecordData::decode(first.encode());
    if (second.id != first.id || second.test != first.test || second.surname != first.surname ||
        second.computer != first.computer || second.secondsUsed != first.secondsUsed ||
        second.questions != first.questions || second.confirmed != first.confirmed)
        abort();
    return 0;
}
