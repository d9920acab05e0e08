// A sealed test's container as an opening reads it: any bytes are refused or opened without a
// crash, a read outside them or a costly password hash, and what opens is exactly what the
// key sealed.
#include "content/sealedtest.h"

#include <cstdint>
#include <cstdlib>

namespace s = merilon::sealed;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    s::Container container;
    const s::Status status = s::parse(bytes, container);
    if (status == s::Status::Opened) {
        if (container.cost.passes > s::kMaxCost.passes ||
            container.cost.memoryKiB > s::kMaxCost.memoryKiB)
            abort();
        if (container.header.data() != bytes.data() ||
            container.sealedText.data() + container.sealedText.size() > bytes.data() + size)
            abort();
        // A key no sealing used: the cipher refuses, whatever the header says.
        if (s::openWithKey(container, s::Key()).status != s::Status::WrongPassword)
            abort();
    }
    if (status != s::Status::NotSealed && !s::looksSealed(bytes))
        abort();

    // Small inputs sealed as tests come back byte for byte, and every cut of them is refused.
    if (size <= 512) {
        const QByteArray sealedFile = s::seal(bytes, "fuzz", s::Cost{1, 8});
        const s::Opened opened = s::open(sealedFile, "fuzz");
        if (opened.status != s::Status::Opened || opened.test != bytes)
            abort();
        const qsizetype cut = qsizetype(size % size_t(sealedFile.size()));
        if (s::open(sealedFile.left(cut), "fuzz").status == s::Status::Opened)
            abort();
    }
    return 0;
}
