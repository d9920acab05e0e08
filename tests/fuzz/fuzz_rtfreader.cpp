// The reader alone, with a sink that keeps only counts: no crash, no hang,
// and output bounded by the input whatever the bytes.
#include "richtext/rtfreader.h"

#include <cstdint>
#include <cstdlib>

namespace {

struct CountingSink final : merilon::rtf::Sink
{
    size_t characters = 0;
    size_t breaks = 0;
    size_t pictureBytes = 0;
    bool finished = false;

    void text(const QString &text, const merilon::rtf::CharStyle &) override
    {
        characters += static_cast<size_t>(text.size());
    }
    void paragraphBreak(const merilon::rtf::ParaStyle &) override { ++breaks; }
    void picture(const merilon::rtf::Picture &picture, const merilon::rtf::CharStyle &) override
    {
        pictureBytes += static_cast<size_t>(picture.data.size());
    }
    void finish(const merilon::rtf::ParaStyle &) override
    {
        if (finished)
            abort(); // finish comes once
        finished = true;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    CountingSink sink;
    merilon::rtf::read(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)), sink);
    // Every character, break and picture byte stands for at least one input byte.
    if (!sink.finished || sink.characters > size || sink.breaks > size || sink.pictureBytes > size)
        abort();
    return 0;
}
