# Cross-building for Windows with Debian's MinGW-w64 (posix threads, so that the C++ runtime has
# std::thread and friends) against a Qt built for MinGW: what mingw64.cmake (64-bit, Qt 6) and
# mingw32.cmake (32-bit, Qt 5.15 for older Windows) share. They set MINGW_TRIPLE first.
#
# The Qt prefix comes from MERILON_QT_MINGW (a cache variable or the environment); moc, rcc
# and uic come from the host's Qt of the same version (Qt 6) or from that prefix (Qt 5). Tests run under Wine through
# wine-run.sh beside this file.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLE}-windres)
set(CMAKE_AR /usr/bin/${MINGW_TRIPLE}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB /usr/bin/${MINGW_TRIPLE}-ranlib CACHE FILEPATH "")

if(NOT MERILON_QT_MINGW AND DEFINED ENV{MERILON_QT_MINGW})
    set(MERILON_QT_MINGW $ENV{MERILON_QT_MINGW})
endif()
set(MERILON_QT_MINGW "${MERILON_QT_MINGW}" CACHE PATH "Qt built for MinGW-w64")
# try_compile projects read this file again; they get the prefix through the environment.
set(ENV{MERILON_QT_MINGW} "${MERILON_QT_MINGW}")

# Target headers and libraries from MinGW's sysroot and the Qt prefix; programs from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE} ${MERILON_QT_MINGW})
list(APPEND CMAKE_PREFIX_PATH ${MERILON_QT_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Debian keeps the host Qt's CMake packages under lib/<triplet>/cmake, not the lib/cmake that
# Qt derives from QT_HOST_PATH, so both are given.
set(QT_HOST_PATH /usr CACHE PATH "")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "")

# The project's tests run under Wine (building Qt itself runs nothing for the target).
if(MERILON_QT_MINGW)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
endif()
