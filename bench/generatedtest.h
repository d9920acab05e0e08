#pragma once

// Generated test documents for the benchmarks.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

// Runs the registered benchmarks inside a Qt application of the offscreen
// platform.
template <typename Application> int runBenchmarks(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    Application app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// Writes a test into the folder; the benchmark cannot go on without it.
inline QString writeTestFile(const QTemporaryDir &dir, const QString &name, const QByteArray &data)
{
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
        qFatal("cannot write the test");
    return file.fileName();
}

// Windows-1251 bytes as \'hh, as the rich-edit control writes them.
inline void appendCyrillic(QByteArray &out, const char *utf8)
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

// A test of Cyrillic RTF with mixed formatting: questions of four variants
// until the document reaches `targetBytes` or holds `questions` questions.
inline QByteArray generateTest(qsizetype targetBytes, int questions = 1 << 30)
{
    QByteArray out =
        "{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049{\\fonttbl{\\f0\\froman\\fcharset204 "
        "Times New Roman;}{\\f1\\fswiss\\fcharset204 Arial;}}\r\n"
        "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\r\n"
        "\\viewkind4\\uc1\\pard\\f0\\fs24 ";
    for (int n = 1; out.size() < targetBytes && n <= questions; ++n) {
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
