// A test file of any content, read as Open reads it, then checked and every
// question located as the display locates it: no range may leave the text.
#include "content/questionblock.h"
#include "content/testcheck.h"
#include "richtext/richtext.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    merilon::RichText document;
    document.setFileContent(bytes);

    constexpr int questionCount = 5; // small, so that inputs can hold whole tests
    const std::vector<merilon::TestProblem> problems = merilon::checkTest(document, questionCount);
    const int length = document.TextLength();
    for (int number = 1; number <= questionCount + 1; ++number) {
        const merilon::QuestionBlock block =
            merilon::readQuestion(document, number, questionCount, merilon::MaxVariantRows);
        if (!block.found())
            continue;
        if (block.textFrom < 0 || block.textFrom > block.textTo || block.textTo > length)
            abort();
        if (int(block.variants.size()) > std::min(block.VariantCount(), merilon::MaxVariantRows))
            abort();
        for (const merilon::Variant &v : block.variants) {
            if (v.from < 0 || v.from > v.to || v.to > length || v.line <= block.markerLine ||
                v.line > block.lastLine)
                abort();
            (void)document.rangeText(v.from, v.to);
        }
    }
    int wholeFile = 0;
    for (const merilon::TestProblem &p : problems) {
        if (p.question < 0 || p.line >= document.Lines().Count() + 1 || p.text.isEmpty())
            abort();
        if (p.question != 0)
            continue;
        // What is wrong with the file as a whole is one error; an empty file or one that is
        // no test at all has nothing else, a short test has its questions' problems after it.
        ++wholeFile;
        if (!p.error || wholeFile > 1)
            abort();
        const bool noTest = p.text.startsWith(QStringLiteral("Файл"));
        if (noTest && problems.size() != 1)
            abort();
        if (!noTest && !p.text.startsWith(QStringLiteral("В тесте должно быть")))
            abort();
    }
    return 0;
}
