// Adding a record to journals of 1,000 and 10,000 records, alone and with results kept
// while the journal was away, opening the journal window on the larger one, and reading its
// records for the teacher's table.
#include "generatedtest.h"
#include "results/journal.h"
#include "results/journalviewer.h"
#include "results/recorddata.h"
#include "richtext/richedit.h"
#include "richtext/richtext.h"
#include "richtext/rtfdocument.h"
#include "shell/desktop.h"
#include "shell/formzurnal.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTextCursor>

namespace {

// A report as the result window writes it: six lines, the grade red.
void appendReport(QTextCursor &cursor, int n)
{
    QTextCharFormat plain;
    plain.setFontItalic(true);
    QTextCharFormat red = plain;
    red.setForeground(QColor(255, 0, 0));
    // The record's data on its first character, as the result window puts it.
    merilon::RecordData data;
    data.id = merilon::RecordData::newId();
    data.confirmed = QDateTime(QDate(2026, 12, 9), QTime(10, 0)).addSecs(n);
    data.test = QStringLiteral("Контрольная по физике.tstt");
    data.surname = QStringLiteral("Ученик%1").arg(n);
    data.name = QStringLiteral("Петя");
    data.questions = QStringLiteral("7+ 12- 3+ 44+ 19+ 21- 5+ 8+ 30+ 1+ 2- 9+ 10+ 11+ 13+ 14- "
                                    "15+ 16+ 17+ 18+");
    data.secondsUsed = 312;
    data.computer = QStringLiteral("КАБИНЕТ-12");
    data.version = QStringLiteral("1.1.1.1");
    QTextCharFormat first = plain;
    merilon::rtf::setData(first, data.encode());
    cursor.insertText(QStringLiteral(" "), first);
    cursor.insertText(QStringLiteral("Фамилия имя: Ученик%1 Петя").arg(n), plain);
    cursor.insertBlock();
    cursor.insertText(QStringLiteral(" Задано вопросов: 20"), plain);
    cursor.insertBlock();
    cursor.insertText(QStringLiteral(" Правильных ответов: 15"), plain);
    cursor.insertBlock();
    cursor.insertText(QStringLiteral(" Процент правильных ответов: 75%"), plain);
    cursor.insertBlock();
    cursor.insertText(QStringLiteral(" Оценка: "), plain);
    cursor.insertText(QStringLiteral("4"), red);
    cursor.insertBlock();
    cursor.insertText(QStringLiteral(" "), plain);
}

QString writeJournal(const QTemporaryDir &dir, int records)
{
    merilon::RichText journal;
    QTextCursor cursor(journal.document());
    for (int n = 0; n < records; ++n) {
        if (n)
            cursor.insertBlock();
        appendReport(cursor, n);
    }
    const QString path = dir.filePath(QStringLiteral("Journal.res"));
    QString error;
    if (!journal.Lines().SaveToFile(path, &error))
        qFatal("%s", qPrintable(error));
    return path;
}

void BM_AddRecord(benchmark::State &state)
{
    QTemporaryDir dir;
    const merilon::Journal journal(writeJournal(dir, int(state.range(0))));
    merilon::RichText record;
    QTextCursor cursor(record.document());
    appendReport(cursor, -1);
    for (auto _ : state) {
        QString error;
        if (!journal.addRecord(record, &error))
            qFatal("%s", qPrintable(error));
    }
    state.counters["kB"] = double(QFileInfo(journal.path()).size()) / 1024;
}

// Three results kept while the shared folder was away go in with the next one.
void BM_AddRecordWithKept(benchmark::State &state)
{
    QTemporaryDir dir;
    QTemporaryDir keptDir;
    const merilon::Journal journal(writeJournal(dir, int(state.range(0))));
    const QString keptJournal = writeJournal(keptDir, 3);
    const QByteArray kept = [&] {
        QFile file(keptJournal);
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }();
    merilon::RichText record;
    QTextCursor cursor(record.document());
    appendReport(cursor, -1);
    for (auto _ : state) {
        state.PauseTiming();
        QFile file(keptJournal);
        file.open(QIODevice::WriteOnly);
        file.write(kept);
        file.close();
        state.ResumeTiming();
        QString error;
        if (!journal.addRecord(record, &error, keptJournal))
            qFatal("%s", qPrintable(error));
    }
}

void BM_JournalRecords(benchmark::State &state)
{
    QTemporaryDir dir;
    QFile file(writeJournal(dir, int(state.range(0))));
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    for (auto _ : state) {
        const QList<merilon::JournalRecord> records = merilon::readJournalRecords(bytes);
        if (records.size() != state.range(0) || records[0].id.isEmpty())
            qFatal("the records were not read");
        benchmark::DoNotOptimize(merilon::mergeJournals({records}));
    }
}

void BM_OpenJournalWindow(benchmark::State &state)
{
    QTemporaryDir dir;
    const merilon::Journal journal(writeJournal(dir, int(state.range(0))));
    struct Quiet final : merilon::Desktop
    {
        QString openFileName(QWidget *, const QString &) override { return {}; }
        QString saveFileName(QWidget *, const QString &, const QString &) override { return {}; }
        void showError(QWidget *, const QString &) override {}
        void showWarning(QWidget *, const QString &) override {}
        bool confirm(QWidget *, const QString &) override { return false; }
        int choose(QWidget *, const QString &, const QStringList &) override { return -1; }
        int exec(QDialog &) override { return 0; }
        bool openDocument(const QString &) override { return true; }
        bool onNetwork(const QString &) override { return false; }
    } desktop;
    for (auto _ : state) {
        merilon::TFormzurnal window;
        merilon::JournalViewer::FormCreate(window, journal, desktop);
        window.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(window.controls().Editorzur->content().TextLength());
    }
}

} // namespace

BENCHMARK(BM_AddRecord)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddRecordWithKept)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenJournalWindow)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JournalRecords)->Arg(10000)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return runBenchmarks<QApplication>(argc, argv);
}
