# Cross build for 64-bit Windows with Debian's mingw-w64, POSIX thread model
# (std::thread and std::mutex work; the runtime needs libwinpthread-1.dll).
#
# Point SORVELLA_QT_MINGW_DIR (cache variable or environment variable) at the
# unpacked "qt5-mingw" folder of the prebuilt Qt; scripts/build-windows.sh does.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_sorvella_triplet x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_sorvella_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_sorvella_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${_sorvella_triplet}-windres)

if(NOT SORVELLA_QT_MINGW_DIR AND DEFINED ENV{SORVELLA_QT_MINGW_DIR})
    set(SORVELLA_QT_MINGW_DIR "$ENV{SORVELLA_QT_MINGW_DIR}")
endif()
set(SORVELLA_QT_MINGW_DIR "${SORVELLA_QT_MINGW_DIR}" CACHE PATH "Prebuilt Qt 5 for mingw-w64 (the qt5-mingw folder)")
# try_compile projects configure with this file again; hand the folder on to them.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES SORVELLA_QT_MINGW_DIR)

# Libraries and headers come from the mingw sysroot and the prebuilt Qt only. The host's
# /usr/include must never be searched: its glibc headers would shadow mingw's.
set(CMAKE_FIND_ROOT_PATH /usr/${_sorvella_triplet})
if(SORVELLA_QT_MINGW_DIR)
    list(APPEND CMAKE_FIND_ROOT_PATH "${SORVELLA_QT_MINGW_DIR}")
    list(APPEND CMAKE_PREFIX_PATH "${SORVELLA_QT_MINGW_DIR}")
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
