// Loading generated test documents of about 1 MB and 10 MB of Cyrillic RTF
// with mixed formatting, and the text queries over the large one.
#include "shell/richtext.h"
#include "shell/rtfreader.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

namespace {

// Windows-1251 bytes as \'hh, as the rich-edit control writes them.
void appendCyrillic(QByteArray &out, const char *utf8)
{
    static const char digits[] = "0123456789abcdef";
    for (const QChar ch : QString::fromUtf8(utf8)) {
        const char16_t c = ch.unicode();
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            const int b = (c == u'ё') ? 0xB8 : (c == u'Ё') ? 0xA8 : c - 0x0410 + 0xC0;
            out += "\\'";
            out += digits[(b >> 4) & 0xF];
            out += digits[b & 0xF];
        }
    }
}

QByteArray generateTest(qsizetype targetBytes)
{
    QByteArray out =
        "{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049{\\fonttbl{\\f0\\froman\\fcharset204 "
        "Times New Roman;}{\\f1\\fswiss\\fcharset204 Arial;}}\r\n"
        "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\r\n"
        "\\viewkind4\\uc1\\pard\\f0\\fs24 ";
    for (int n = 1; out.size() < targetBytes; ++n) {
        out += "#" + QByteArray::number(n) + " ";
        out += "\\b ";
        appendCyrillic(out, "Какой из приведённых ответов верен для вопроса");
        out += "\\b0  \\i ";
        appendCyrillic(out, "номер");
        out += "\\i0  " + QByteArray::number(n) + "?\\par\r\n";
        for (int v = 0; v < 4; ++v) {
            out += v == 1 ? "+" : "-";
            out += v == 2 ? "\\cf1 " : "";
            out += "\\f1\\fs20 ";
            appendCyrillic(out, "Вариант ответа с ёлкой и подчёркнутым ");
            out += "\\ul ";
            appendCyrillic(out, "словом");
            out += "\\ulnone\\f0\\fs24\\cf0  \\u1046?\\par\r\n";
        }
        out += "\\par\r\n";
    }
    out += "}\r\n";
    return out;
}

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
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
