# Cross-building for 32-bit Windows, which runs on 32- and 64-bit Windows 7 SP1 and later (the
# package for older computers, Qt 5.15).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
