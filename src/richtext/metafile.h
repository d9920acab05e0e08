#pragma once

#include <QByteArray>
#include <QImage>

namespace merilon::rtf {

// The largest picture drawn, in pixels a side: a metafile or bitmap that asks for more is
// refused before anything is allocated for it.
inline constexpr int kMaxPictureSide = 8000;

// A Windows metafile (WMF: standard metafile bits) or enhanced metafile (EMF) drawn into an
// image of the given size (0: the size the file gives). Drawn by the system on Windows and by
// libwmf elsewhere (WMF only); a null image when it cannot be drawn here.
QImage drawMetafile(const QByteArray &data, bool enhanced, int widthPx, int heightPx);

} // namespace merilon::rtf
