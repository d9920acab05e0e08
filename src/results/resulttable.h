#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

namespace merilon {

// One row of the teacher's table: one journal record. A record written by an older program
// knows only what its visible lines say; the cells it cannot fill stay empty.
struct TableRow
{
    QDateTime confirmed; // invalid: not known
    QString surname;
    QString name;
    QString test;   // the test file's name
    int asked = -1; // -1: not known
    int correct = -1;
    double percent = -1; // as the record shows it, one decimal
    int grade = -1;      // 1..5
    int secondsUsed = -1;
    QString computer;
    QString check; // what the record's proof says, when the records were checked
};

// The columns, in order: Дата, Время, Фамилия, Имя, Тест, Задано вопросов,
// Правильных ответов, Процент, Оценка, Затрачено, Компьютер; and Проверка for records that were
// checked against a sealed test, which a table has when any of its rows has a check.
QStringList tableColumns(bool withCheck = false);

// An .xlsx workbook: numbers as numbers, dates as dates, the header frozen with a filter,
// widths fitted to the text, the grade coloured as the result window shows it.
bool writeXlsx(const QString &path, const QList<TableRow> &rows, QString *error);

// UTF-8 with a byte-order mark, ';' between fields, a decimal comma, CR LF.
bool writeCsv(const QString &path, const QList<TableRow> &rows, QString *error);

// By the file's extension: .csv writes CSV, anything else a workbook.
bool writeTable(const QString &path, const QList<TableRow> &rows, QString *error);

} // namespace merilon
