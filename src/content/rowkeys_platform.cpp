#include "rowkeys.h"

#include <array>

namespace merilon {

int rowOfScanCode(quint32 nativeScanCode)
{
    // The keys of A to J by the PC keyboard's scan codes (set 1).
    static constexpr std::array<quint32, 10> kScanCodes{0x1E, 0x30, 0x2E, 0x20, 0x12,
                                                        0x21, 0x22, 0x23, 0x17, 0x24};
#ifdef Q_OS_WIN
    // Windows gives the scan code itself.
    constexpr quint32 offset = 0;
#else
    // X11 and Wayland give the kernel's key code plus 8, which for these keys is the scan
    // code plus 8.
    constexpr quint32 offset = 8;
#endif
    if (nativeScanCode == 0)
        return 0;
    for (std::size_t k = 0; k < kScanCodes.size(); ++k)
        if (kScanCodes[k] + offset == nativeScanCode)
            return int(k) + 1;
    return 0;
}

} // namespace merilon
