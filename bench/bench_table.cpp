// Writing the teacher's table of 10,000 records, as a workbook and as CSV.
#include "generatedtest.h"
#include "results/resulttable.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

QList<merilon::TableRow> records(int count)
{
    QList<merilon::TableRow> rows;
    rows.reserve(count);
    for (int n = 0; n < count; ++n) {
        merilon::TableRow row;
        row.confirmed =
            QDateTime(QDate(2024, 9, 2).addDays(n / 60), QTime(8, 0).addSecs(n % 600 * 60));
        row.surname = QStringLiteral("Ученикова-%1").arg(n);
        row.name = QStringLiteral("Анна");
        row.test = QStringLiteral("Контрольная по алгебре %1.tstt").arg(n % 12);
        row.asked = 20;
        row.correct = n % 21;
        row.percent = row.correct * 5.0;
        row.grade = n % 5 + 1;
        row.secondsUsed = 300 + n % 1500;
        row.computer = QStringLiteral("КАБИНЕТ-%1").arg(n % 30);
        rows << row;
    }
    return rows;
}

void writeTable(benchmark::State &state, const QString &name)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    const QList<merilon::TableRow> rows = records(int(state.range(0)));
    for (auto _ : state) {
        QString error;
        if (!merilon::writeTable(path, rows, &error))
            qFatal("%s", qPrintable(error));
    }
    state.counters["kB"] = double(QFileInfo(path).size()) / 1024;
}

void BM_WriteXlsx(benchmark::State &state)
{
    writeTable(state, QStringLiteral("Результаты.xlsx"));
}

void BM_WriteCsv(benchmark::State &state)
{
    writeTable(state, QStringLiteral("Результаты.csv"));
}

} // namespace

BENCHMARK(BM_WriteXlsx)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteCsv)->Arg(10000)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return runBenchmarks<QCoreApplication>(argc, argv);
}
