// Drawing metafiles, the one platform-specific part of reading pictures.
#include "metafile.h"

#include <QtGlobal>
#include <algorithm>

#ifdef Q_OS_WIN
#include <windows.h>
#elif defined(MERILON_HAVE_LIBWMF)
#include <cstdio>
#include <cstdlib>
#include <libwmf/api.h>
#include <libwmf/gd.h>
#endif

namespace merilon::rtf {

namespace {

[[maybe_unused]] bool sizeAllowed(long long width, long long height)
{
    return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide;
}

} // namespace

#ifdef Q_OS_WIN

QImage drawMetafile(const QByteArray &data, bool enhanced, int widthPx, int heightPx)
{
    const auto *bytes = reinterpret_cast<const BYTE *>(data.constData());
    HENHMETAFILE metafile = enhanced
                                ? SetEnhMetaFileBits(UINT(data.size()), bytes)
                                : SetWinMetaFileBits(UINT(data.size()), bytes, nullptr, nullptr);
    if (!metafile)
        return {};
    if (widthPx <= 0 || heightPx <= 0) {
        // The frame is in hundredths of a millimetre.
        ENHMETAHEADER header{};
        if (GetEnhMetaFileHeader(metafile, sizeof header, &header)) {
            widthPx = int((header.rclFrame.right - header.rclFrame.left) * 96LL / 2540);
            heightPx = int((header.rclFrame.bottom - header.rclFrame.top) * 96LL / 2540);
        }
    }
    QImage image;
    if (sizeAllowed(widthPx, heightPx)) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = widthPx;
        info.bmiHeader.biHeight = -heightPx; // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void *bits = nullptr;
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (dc && bitmap && bits) {
            HGDIOBJ old = SelectObject(dc, bitmap);
            RECT area{0, 0, widthPx, heightPx};
            FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            if (PlayEnhMetaFile(dc, metafile, &area)) {
                GdiFlush();
                image = QImage(static_cast<const uchar *>(bits), widthPx, heightPx,
                               QImage::Format_RGB32)
                            .copy();
            }
            SelectObject(dc, old);
        }
        if (bitmap)
            DeleteObject(bitmap);
        if (dc)
            DeleteDC(dc);
    }
    DeleteEnhMetaFile(metafile);
    return image;
}

#elif defined(MERILON_HAVE_LIBWMF)

QImage drawMetafile(const QByteArray &data, bool enhanced, int widthPx, int heightPx)
{
    if (enhanced || data.isEmpty())
        return {}; // no maintained library here draws enhanced metafiles
    wmfAPI *api = nullptr;
    wmfAPI_Options options{};
    options.function = wmf_gd_function;
    const unsigned long flags = WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL;
    if (wmf_api_create(&api, flags, &options) != wmf_E_None) {
        if (api)
            wmf_api_destroy(api);
        return {};
    }
    QImage image;
    wmf_gd_t *device = WMF_GD_GetData(api);
    QByteArray bytes = data; // the library reads from memory it may not change
    if ((device->flags & WMF_GD_SUPPORTS_PNG) &&
        wmf_mem_open(api, reinterpret_cast<unsigned char *>(bytes.data()), long(bytes.size())) ==
            wmf_E_None) {
        wmfD_Rect box{};
        if (wmf_scan(api, 0, &box) == wmf_E_None) {
            if (widthPx <= 0 || heightPx <= 0) {
                unsigned int w = 0, h = 0;
                if (wmf_display_size(api, &w, &h, 96, 96) == wmf_E_None) {
                    widthPx = int(std::min<unsigned int>(w, kMaxPictureSide + 1));
                    heightPx = int(std::min<unsigned int>(h, kMaxPictureSide + 1));
                }
            }
            // The library writes its drawing as PNG into a stream: one in memory.
            char *buffer = nullptr;
            size_t length = 0;
            FILE *stream =
                sizeAllowed(widthPx, heightPx) ? open_memstream(&buffer, &length) : nullptr;
            if (stream) {
                device->type = wmf_gd_png;
                device->bbox = box;
                device->width = unsigned(widthPx);
                device->height = unsigned(heightPx);
                device->file = stream;
                device->flags |= WMF_GD_OUTPUT_FILE;
                const bool played = wmf_play(api, 0, &box) == wmf_E_None;
                std::fclose(stream);
                if (played && length > 0)
                    image = QImage::fromData(QByteArray::fromRawData(buffer, int(length)), "PNG");
                std::free(buffer);
            }
        }
        wmf_mem_close(api);
    }
    wmf_api_destroy(api);
    return image;
}

#else

QImage drawMetafile(const QByteArray &, bool, int, int)
{
    return {};
}

#endif

} // namespace merilon::rtf
