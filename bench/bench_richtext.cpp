// Loading generated test documents of about 1 MB and 10 MB of Cyrillic RTF
// with mixed formatting, and the text queries over the large one.
#include "generatedtest.h"
#include "richtext/richtext.h"
#include "richtext/rtfreader.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

namespace {

const QByteArray &oneMegabyte()
{
    static const QByteArray data = generateTest(1 << 20);
    return data;
}

const QByteArray &tenMegabytes()
{
    static const QByteArray data = generateTest(10 << 20);
    return data;
}

struct NullSink final : merilon::rtf::Sink
{
    void text(const QString &t, const merilon::rtf::CharStyle &) override
    {
        benchmark::DoNotOptimize(t.size());
    }
    void paragraphBreak(const merilon::rtf::ParaStyle &) override {}
    void picture(const merilon::rtf::Picture &, const merilon::rtf::CharStyle &) override {}
    void finish(const merilon::rtf::ParaStyle &) override {}
};

void load(benchmark::State &state, const QByteArray &data)
{
    for (auto _ : state) {
        merilon::RichText doc;
        doc.setRtf(data);
        benchmark::DoNotOptimize(doc.TextLength());
    }
    state.SetBytesProcessed(state.iterations() * data.size());
}

void BM_Load1MB(benchmark::State &state)
{
    load(state, oneMegabyte());
}

void BM_Load10MB(benchmark::State &state)
{
    load(state, tenMegabytes());
}

void BM_ReadOnly10MB(benchmark::State &state)
{
    const QByteArray &data = tenMegabytes();
    for (auto _ : state) {
        NullSink sink;
        merilon::rtf::read(data, sink);
    }
    state.SetBytesProcessed(state.iterations() * data.size());
}

void BM_Text10MB(benchmark::State &state)
{
    merilon::RichText doc;
    doc.setRtf(tenMegabytes());
    for (auto _ : state)
        benchmark::DoNotOptimize(doc.Text().size());
}

void BM_FindText10MB(benchmark::State &state)
{
    merilon::RichText doc;
    doc.setRtf(tenMegabytes());
    const int length = doc.TextLength();
    const QString last = QStringLiteral("#%1 ").arg(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(doc.FindText(last, 0, length));
    state.SetBytesProcessed(state.iterations() * qint64(length) * 2);
}

void BM_FirstTextAfterEdit10MB(benchmark::State &state)
{
    merilon::RichText doc;
    doc.setRtf(tenMegabytes());
    for (auto _ : state) {
        doc.SetSelStart(0);
        doc.SetSelText(QStringLiteral("x"));
        benchmark::DoNotOptimize(doc.Text().size());
    }
}

} // namespace

BENCHMARK(BM_Load1MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load10MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadOnly10MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Text10MB);
BENCHMARK(BM_FindText10MB)->Arg(1)->Arg(30000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstTextAfterEdit10MB)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return runBenchmarks<QGuiApplication>(argc, argv);
}
