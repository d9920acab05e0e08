// Showing a question: a normal test of 50 questions, and tests of several
// megabytes in which the question shown lies at the end.
#include "content/answerrows.h"
#include "content/questiondisplay.h"
#include "content/testdocument.h"
#include "generatedtest.h"
#include "richtext/richedit.h"
#include "shell/mainform.h"

#include <QApplication>

namespace {

struct Window
{
    merilon::TMainForm form;
    merilon::RichText information;
    merilon::TestDocument test{form.controls().Editortest->content(),
                               form.controls().Editorvopros->content(), information};
    merilon::AnswerRows rows{form};
    merilon::QuestionDisplay display{form, test, rows};
    QTemporaryDir dir;
    QString path;

    explicit Window(const QByteArray &data)
        : path(writeTestFile(dir, QStringLiteral("bench.tstt"), data))
    {
        information.setPlain(QStringLiteral("Сведения о тесте\n"));
        open();
        form.show();
    }
    void open()
    {
        QString message;
        if (test.open(path, &message) != merilon::TestDocument::OpenResult::Opened)
            qFatal("the test does not open: %s", qPrintable(message));
    }
};

// The last question of a generated test: one marker per question.
int lastQuestion(const QByteArray &data)
{
    return int(data.count('#'));
}

void BM_ShowQuestion50(benchmark::State &state)
{
    Window window(generateTest(1 << 30, 50));
    int number = 0;
    for (auto _ : state) {
        window.display.ShowQuestion(number % 50 + 1);
        ++number;
    }
}

void BM_ShowQuestionLarge(benchmark::State &state)
{
    const QByteArray data = generateTest(state.range(0) << 20);
    Window window(data);
    const int last = lastQuestion(data); // every search runs to the end
    for (auto _ : state)
        window.display.ShowQuestion(last);
    state.counters["question"] = last;
}

void BM_FirstShowAfterOpen(benchmark::State &state)
{
    const QByteArray data = generateTest(state.range(0) << 20);
    Window window(data);
    const int last = lastQuestion(data);
    for (auto _ : state) {
        state.PauseTiming();
        window.open();
        state.ResumeTiming();
        window.display.ShowQuestion(last);
    }
}

void BM_OpenAndCheck50(benchmark::State &state)
{
    Window window(generateTest(1 << 30, 50));
    for (auto _ : state)
        window.open();
}

} // namespace

BENCHMARK(BM_ShowQuestion50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShowQuestionLarge)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstShowAfterOpen)->Arg(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAndCheck50)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return runBenchmarks<QApplication>(argc, argv);
}
