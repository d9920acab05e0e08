// Adding a record to journals of 1,000 and 10,000 records, and opening the
// journal window on the larger one.
#include "generatedtest.h"
#include "results/journal.h"
#include "results/journalviewer.h"
#include "richtext/richedit.h"
#include "richtext/richtext.h"
#include "shell/desktop.h"
#include "shell/formzurnal.h"

#include <QApplication>
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
    cursor.insertText(QStringLiteral(" Фамилия имя: Ученик%1 Петя").arg(n), plain);
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

void BM_OpenJournalWindow(benchmark::State &state)
{
    QTemporaryDir dir;
    const merilon::Journal journal(writeJournal(dir, int(state.range(0))));
    struct Quiet final : merilon::Desktop
    {
        QString openFileName(QWidget *, const QString &) override { return {}; }
        void showError(QWidget *, const QString &) override {}
        void showWarning(QWidget *, const QString &) override {}
        bool confirm(QWidget *, const QString &) override { return false; }
        int choose(QWidget *, const QString &, const QStringList &) override { return -1; }
        int exec(QDialog &) override { return 0; }
        bool openDocument(const QString &) override { return true; }
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
BENCHMARK(BM_OpenJournalWindow)->Arg(10000)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return runBenchmarks<QApplication>(argc, argv);
}
