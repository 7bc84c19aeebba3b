# Cross-building for 64-bit Windows with Debian's MinGW-w64 compilers, against the libraries
# that scripts/windows-toolchain.sh builds into its cache (KANAT_WINDOWS_CACHE, by default
# ~/.cache/kanat-windows). The same file builds those libraries and, later, the program.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KANAT_MINGW_TRIPLE x86_64-w64-mingw32)
# The posix flavour: std::thread, std::mutex and OpenCV's pthreads parallel_for need it.
set(CMAKE_C_COMPILER ${KANAT_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KANAT_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KANAT_MINGW_TRIPLE}-windres)

if(NOT DEFINED KANAT_WINDOWS_CACHE)
  if(DEFINED ENV{KANAT_WINDOWS_CACHE} AND NOT "$ENV{KANAT_WINDOWS_CACHE}" STREQUAL "")
    set(KANAT_WINDOWS_CACHE "$ENV{KANAT_WINDOWS_CACHE}")
  else()
    set(KANAT_WINDOWS_CACHE "$ENV{HOME}/.cache/kanat-windows")
  endif()
endif()
# try_compile projects read this file again without the outer project's variables.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KANAT_WINDOWS_CACHE)
set(KANAT_WINDOWS_PREFIX "${KANAT_WINDOWS_CACHE}/prefix")

# Headers, libraries and CMake packages come only from MinGW's own tree (zlib among them) and
# from the cache; programs (moc, rcc, nasm) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${KANAT_MINGW_TRIPLE} "${KANAT_WINDOWS_PREFIX}")
list(APPEND CMAKE_PREFIX_PATH "${KANAT_WINDOWS_PREFIX}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Qt's cross-built packages take moc, rcc and uic from the build machine's Qt of the same
# version (Debian's qt6-base-dev-tools).
set(QT_HOST_PATH /usr CACHE PATH "")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "")

# pkg-config (libturbojpeg) must not answer with the build machine's Linux libraries.
set(ENV{PKG_CONFIG_LIBDIR}
    "${KANAT_WINDOWS_PREFIX}/lib/pkgconfig:/usr/${KANAT_MINGW_TRIPLE}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")

# ctest and gtest_discover_tests run the test programs through Wine, which finds the cache's
# DLLs (Qt, OpenCV, libjpeg-turbo, the MinGW run time) on WINEPATH. Qt finds its plugins and
# translations by itself, beside Qt6Core.dll.
string(REPLACE "/" "\\" KANAT_WINDOWS_DLL_PATH "Z:${KANAT_WINDOWS_PREFIX}/bin")
set(CMAKE_CROSSCOMPILING_EMULATOR env "WINEPATH=${KANAT_WINDOWS_DLL_PATH}" WINEDEBUG=-all wine)
