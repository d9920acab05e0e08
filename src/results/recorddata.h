#pragma once

#include "resulttable.h"
#include "richtext/qtcompat.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

namespace merilon {

class RichText;

// What a journal record knows beyond its six visible lines. It travels on the record's first
// character as the program's own RTF data, which other readers skip.
struct RecordData
{
    QString id; // unique to the record: the same record seen in two journals is one
    QDateTime confirmed;
    QString test; // the test file's name
    QString surname;
    QString name;
    // The questions asked, in order, each followed by '+' when answered right: "7+ 12- 3+".
    QString questions;
    int secondsUsed = -1;
    QString computer;
    QString version;
    // Under a sealed test: the name of the key the record is proved with, and the proof.
    QString seal;
    QString proof;

    // Printable ASCII: "v=1&id=...&test=%D0%...".
    QByteArray encode() const;
    // What can be read of `data`; fields that are missing or garbled stay empty.
    static RecordData decode(QByteArrayView data);

    static QString newId();

    // Puts into `row` what the record knows beyond its visible lines: its time, test, names,
    // time used and computer.
    void fillRow(TableRow &row) const;
};

// A journal's records, newest first, as the table shows them. Records of older programs have
// only what their visible lines say.
struct JournalRecord
{
    QString id;   // empty for a record of an older program
    QString text; // the visible lines, one per '\n'
    TableRow row;
    QString questions; // as RecordData holds them
    QString seal;
    QString proof;
};

QList<JournalRecord> readJournalRecords(QByteArrayView journal);

// The records of several journals as one table, newest first by the time they were confirmed.
// A record that two journals both hold is kept once: by its id, or, for records of older
// programs, by its text and its place counted from the journal's oldest record, which stays
// the same as a journal grows.
QList<TableRow> mergeJournals(const QList<QList<JournalRecord>> &journals);

} // namespace merilon
