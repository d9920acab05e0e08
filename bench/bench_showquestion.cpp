// Showing a question: a normal test of 50 questions, and a test of several
// megabytes in which the question shown lies at its end.
#include "content/answerrows.h"
#include "content/questiondisplay.h"
#include "content/testdocument.h"
#include "generatedtest.h"
#include "shell/mainform.h"
#include "shell/richedit.h"
#include "ui_mainform.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct Window
{
    merilon::TMainForm form;
    merilon::RichText information;
    merilon::TestDocument test{form.widgets().Editortest->content(),
                               form.widgets().Editorvopros->content(), information};
    merilon::AnswerRows rows{form};
    merilon::QuestionDisplay display{form, test, rows};

    explicit Window(const QByteArray &data)
    {
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("bench.tstt")));
        if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
            qFatal("cannot write the test");
        file.close();
        information.setPlain(QStringLiteral("Сведения о тесте\n"));
        QString message;
        if (test.open(file.fileName(), &message) != merilon::TestDocument::OpenResult::Opened)
            qFatal("the test does not open: %s", qPrintable(message));
        form.show();
    }
};

void BM_ShowQuestion50(benchmark::State &state)
{
    Window window(generateTest(1 << 30, 50));
    int number = 0;
    for (auto _ : state) {
        window.display.ShowQuestion(number % 50 + 1);
        ++number;
    }
    state.counters["bytes"] = double(window.test.document().TextLength());
}

void BM_ShowQuestionLarge(benchmark::State &state)
{
    const QByteArray data = generateTest(state.range(0) << 20);
    Window window(data);
    // The last question of the document: every search runs to the end.
    const int last = int(data.count('#')); // one marker per question
    for (auto _ : state)
        window.display.ShowQuestion(last);
    state.counters["question"] = last;
    state.counters["rows"] = window.rows.VariantCount();
}

void BM_FirstShowAfterOpen(benchmark::State &state)
{
    // The first question after Open, at the end of a large test.
    const QByteArray data = generateTest(state.range(0) << 20);
    Window window(data);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("again.tstt"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
        qFatal("cannot write the test");
    file.close();
    const int last = int(data.count('#'));
    QString message;
    for (auto _ : state) {
        state.PauseTiming();
        window.test.open(path, &message);
        state.ResumeTiming();
        window.display.ShowQuestion(last);
    }
}

void BM_OpenAndCheck50(benchmark::State &state)
{
    Window window(generateTest(1 << 30, 50));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("again.tstt"));
    QFile file(path);
    const QByteArray data = generateTest(1 << 30, 50);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
        qFatal("cannot write the test");
    file.close();
    QString message;
    for (auto _ : state)
        benchmark::DoNotOptimize(window.test.open(path, &message));
}

} // namespace

BENCHMARK(BM_ShowQuestion50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShowQuestionLarge)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstShowAfterOpen)->Arg(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAndCheck50)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
