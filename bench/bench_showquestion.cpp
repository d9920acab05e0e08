// Showing a question: a normal test of 50 questions, and tests of several
// megabytes in which the question shown lies at the end. Opening a test, plain and sealed.
#include "content/answerrows.h"
#include "content/questiondisplay.h"
#include "content/sealedtest.h"
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

    explicit Window(const QByteArray &data, const QString &password = QString())
        : path(writeTestFile(dir, QStringLiteral("bench.tstt"), data))
    {
        information.setPlain(QStringLiteral("Сведения о тесте\n"));
        open(password);
        form.show();
    }
    void open(const QString &password = QString())
    {
        QString message;
        // One try: a wrong password ends the benchmark rather than asking again.
        const auto ask = [&](bool again) -> std::optional<QString> {
            if (again)
                return std::nullopt;
            return password;
        };
        if (test.open(path, &message, ask) != merilon::TestDocument::OpenResult::Opened)
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

// Opening a test of `range(0)` megabytes, plain or sealed with the sealing's own cost: the
// password's hash, the decryption, reading and checking.
void BM_OpenPlain(benchmark::State &state)
{
    Window window(generateTest(state.range(0) << 20));
    for (auto _ : state)
        window.open();
}

void BM_OpenSealed(benchmark::State &state)
{
    const QByteArray plain = generateTest(state.range(0) << 20);
    Window window(merilon::sealed::seal(plain, "пароль учителя"), QStringLiteral("пароль учителя"));
    for (auto _ : state)
        window.open(QStringLiteral("пароль учителя"));
    state.counters["plain_bytes"] = double(plain.size());
}

} // namespace

BENCHMARK(BM_OpenPlain)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenSealed)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShowQuestion50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShowQuestionLarge)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstShowAfterOpen)->Arg(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAndCheck50)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return runBenchmarks<QApplication>(argc, argv);
}
