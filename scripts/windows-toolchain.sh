#!/usr/bin/env bash
# Cross-builds, once, the Windows (MinGW-w64, 64-bit) libraries the program links against, from
# Debian 12's own source packages, into a cache outside any build tree:
#   qtbase 6.4.2 (Core, Gui, Widgets, Concurrent, Test; windows and offscreen platforms),
#   Qt's Turkish translation, Qt's TIFF plugin, libjpeg-turbo (TurboJPEG, SIMD), OpenCV 4.6 (core, imgproc,
#   features2d, flann, calib3d), GoogleTest, and the MinGW run-time DLLs beside them.
# Each part is built again only when its recipe changed (a stamp per part): the first run takes
# about an hour on two cores, a second one seconds. cmake/mingw-w64-x86_64.cmake is the toolchain file for a build against it.
#
#   scripts/windows-toolchain.sh           build what is missing
#   scripts/windows-toolchain.sh --check   also build a small program against the cache and
#                                          run it under Wine
#
# KANAT_WINDOWS_CACHE  the cache (default ~/.cache/kanat-windows); the libraries go into its
#                      prefix/ folder, their versions into versions.txt
# KANAT_WINDOWS_JOBS   parallel compile jobs (default: the number of cores)
# KANAT_WINDOWS_KEEP_WORK=1  keep the sources and build trees under work/ after success
set -euo pipefail
# The parts run inside $(...): a failing command there must stop the script too.
shopt -s inherit_errexit

top="$(cd "$(dirname "$0")/.." && pwd)"
cache="${KANAT_WINDOWS_CACHE:-$HOME/.cache/kanat-windows}"
prefix="$cache/prefix"
work="$cache/work"
stamps="$cache/stamps"
logs="$cache/logs"
jobs="${KANAT_WINDOWS_JOBS:-$(nproc)}"
toolchain="$top/cmake/mingw-w64-x86_64.cmake"
triple=x86_64-w64-mingw32

check=0
for argument in "$@"; do
  case "$argument" in
    --check) check=1 ;;
    -h|--help) sed -n '2,17p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "unknown argument: $argument" >&2; exit 2 ;;
  esac
done

export KANAT_WINDOWS_CACHE="$cache"
mkdir -p "$prefix" "$work" "$stamps" "$logs"

say() { printf '== %s\n' "$*"; }
as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
# Others share this machine's cores: long compiles yield to them.
if command -v ionice >/dev/null 2>&1; then
  low() { nice -n 19 ionice -c3 "$@"; }
else
  low() { nice -n 19 "$@"; }
fi

# Runs a command with its output in the part's log; on failure shows the log's end.
logged() {
  local log="$1"; shift
  if ! "$@" >>"$log" 2>&1; then
    echo "failed: $*" >&2
    echo "---- last lines of $log" >&2
    tail -n 40 "$log" >&2
    exit 1
  fi
}

# ---------------------------------------------------------------- packages
packages=(
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools
  libz-mingw-w64-dev nasm cmake ninja-build dpkg-dev
  # moc, rcc and uic of the same Qt version run on the build machine; lrelease makes the .qm
  qt6-base-dev qt6-base-dev-tools qt6-l10n-tools
  googletest wine wine64
  # the offscreen platform of --check draws with these
  fonts-dejavu-core
)
missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
updated=0
if [ ${#missing[@]} -gt 0 ]; then
  say "installing ${missing[*]} (log: $logs/packages.log)"
  logged "$logs/packages.log" as_root apt-get update -qq
  updated=1
  logged "$logs/packages.log" as_root env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# ---------------------------------------------------------------- recipes and stamps
# A part's stamp holds a digest of its recipe: its shell function, the MinGW compilers'
# versions and the stamps of what it builds on. A different digest builds it again. The
# toolchain file is left out, so that settings for the program's own build (Wine, pkg-config)
# cost no rebuild; after a change there that matters to the libraries, delete stamps/.
recipe_digest() {
  local function="$1"; shift
  {
    declare -f "$function"
    dpkg-query -W -f='${Package} ${Version}\n' gcc-mingw-w64-x86-64-posix \
      g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
    if [ $# -gt 0 ]; then cat -- "$@" 2>/dev/null || true; fi
  } | sha256sum | cut -c1-16
}

record_version() {  # part, version text, seconds
  local file="$cache/versions.txt"
  touch "$file"
  grep -v "^$1 " "$file" >"$file.new" || true
  printf '%s %s (built %s in %ss)\n' "$1" "$2" "$(date -u +%Y-%m-%d)" "$3" >>"$file.new"
  sort -o "$file" "$file.new"
  rm -f "$file.new"
}

# part name, build function, then the stamps of the parts it builds on
part() {
  local name="$1" function="$2"; shift 2
  local digest
  digest="$(recipe_digest "$function" "$@")"
  if [ -f "$stamps/$name" ] && [ "$(cat "$stamps/$name")" = "$digest" ]; then
    say "$name: up to date"
    return
  fi
  say "$name: building (log: $logs/$name.log)"
  # Package lists with the deb-src entries, once per run, before the first part is built.
  ensure_deb_src
  if [ "$updated" = 0 ]; then as_root apt-get update -qq; updated=1; fi
  : >"$logs/$name.log"
  rm -f "$stamps/$name"
  local started=$SECONDS version
  version="$("$function")"
  local took=$((SECONDS - started))
  record_version "$name" "$version" "$took"
  echo "$digest" >"$stamps/$name"
  say "$name: $version, built in $((took / 60)) min $((took % 60)) s"
  if [ "${KANAT_WINDOWS_KEEP_WORK:-0}" != 1 ]; then rm -rf "${work:?}/$name"; fi
}

# Debian's source packages need a deb-src entry; one is added beside each Debian 12 entry the
# machine already has, keeping its mirror.
ensure_deb_src() {
  if grep -rqsE '^(deb-src[[:space:]]|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/ \
       --include='*.list' --include='*.sources' --include=sources.list; then
    return
  fi
  say "adding deb-src entries for Debian's sources"
  local list sources
  list="$(mktemp)"; sources="$(mktemp)"
  if [ -f /etc/apt/sources.list ]; then
    grep -E '^deb[[:space:]].*bookworm' /etc/apt/sources.list | sed 's/^deb\([[:space:]]\)/deb-src\1/' >"$list" || true
  fi
  local file
  for file in /etc/apt/sources.list.d/*.list; do
    [ -f "$file" ] || continue
    grep -E '^deb[[:space:]].*bookworm' "$file" | sed 's/^deb\([[:space:]]\)/deb-src\1/' >>"$list" || true
  done
  for file in /etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] || continue
    # deb822 stanzas are separated by blank lines; those for bookworm get a deb-src twin
    awk 'BEGIN { RS = ""; ORS = "\n\n" }
         /(^|\n)Suites:[^\n]*bookworm/ && /(^|\n)Types:[^\n]*deb/ {
           sub(/(^|\n)Types:[^\n]*/, "\nTypes: deb-src"); sub(/^\n/, ""); print }' "$file" >>"$sources"
  done
  if [ -s "$list" ]; then as_root install -m 644 "$list" /etc/apt/sources.list.d/kanat-deb-src.list; fi
  if [ -s "$sources" ]; then as_root install -m 644 "$sources" /etc/apt/sources.list.d/kanat-deb-src.sources; fi
  rm -f "$list" "$sources"
  if [ ! -s /etc/apt/sources.list.d/kanat-deb-src.list ] && [ ! -s /etc/apt/sources.list.d/kanat-deb-src.sources ]; then
    echo "no Debian 12 (bookworm) entry to add deb-src beside in /etc/apt" >&2
    exit 1
  fi
  updated=0
}

# Unpacks Debian's source package $1 into work/$2 and prints the folder. The upstream version
# must start with $3: the options below are for that version.
debian_source() {
  local package="$1" name="$2" upstream="$3"
  rm -rf "${work:?}/$name"
  mkdir -p "$work/$name"
  (cd "$work/$name" && apt-get source -qq --only-source "$package" >>"$logs/$name.log" 2>&1) || {
    echo "apt-get source $package failed, see $logs/$name.log" >&2; exit 1; }
  local folder
  folder="$(find "$work/$name" -mindepth 1 -maxdepth 1 -type d | head -n 1)"
  local version
  version="$(cd "$folder" && dpkg-parsechangelog -S Version)"
  case "$version" in
    "$upstream"*) ;;
    *) echo "$package is $version here, the recipe is for $upstream" >&2; exit 1 ;;
  esac
  echo "$folder"
}

cmake_cross() {  # log, source, build, options...
  local log="$1" source="$2" build="$3"; shift 3
  logged "$log" cmake -S "$source" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" "$@"
  logged "$log" low cmake --build "$build" --parallel "$jobs"
  logged "$log" cmake --install "$build"
}

# ---------------------------------------------------------------- the parts
build_runtime() {
  # What every MinGW-built program and DLL needs beside it at run time.
  mkdir -p "$prefix/bin"
  local dll path
  for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll libssp-0.dll zlib1.dll; do
    path="$("$triple-g++-posix" -print-file-name="$dll")"
    [ -f "$path" ] || { echo "$dll not found by $triple-g++-posix" >&2; exit 1; }
    install -m 644 "$path" "$prefix/bin/"
    # Debian's copies carry debugging sections: libstdc++ alone would be 23 MB.
    "$triple-strip" --strip-unneeded "$prefix/bin/$dll"
  done
  printf 'gcc-mingw-w64 %s, mingw-w64 %s, zlib %s' \
    "$(dpkg-query -W -f='${Version}' gcc-mingw-w64-x86-64-posix)" \
    "$(dpkg-query -W -f='${Version}' mingw-w64-common)" \
    "$(dpkg-query -W -f='${Version}' libz-mingw-w64-dev)"
}

build_googletest() {
  local log="$logs/googletest.log"
  # Static: test programs then need no gtest DLL beside them.
  cmake_cross "$log" /usr/src/googletest "$work/googletest/build" \
    -DBUILD_SHARED_LIBS=OFF -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON
  printf 'googletest %s' "$(dpkg-query -W -f='${Version}' googletest)"
}

build_libjpeg_turbo() {
  local log="$logs/libjpeg-turbo.log" source
  source="$(debian_source libjpeg-turbo libjpeg-turbo 1:2.1.5)"
  cmake_cross "$log" "$source" "$work/libjpeg-turbo/build" \
    -DENABLE_SHARED=ON -DENABLE_STATIC=OFF -DWITH_TURBOJPEG=ON -DWITH_SIMD=ON \
    -DREQUIRE_SIMD=ON -DWITH_JAVA=OFF -DCMAKE_ASM_NASM_COMPILER=nasm \
    -DCMAKE_INSTALL_DOCDIR="$work/libjpeg-turbo/unused-doc" \
    -DCMAKE_INSTALL_MANDIR="$work/libjpeg-turbo/unused-man"
  printf 'libjpeg-turbo %s (Debian source)' "$(cd "$source" && dpkg-parsechangelog -S Version)"
}

build_qtbase() {
  local log="$logs/qtbase.log" source
  source="$(debian_source qt6-base qtbase 6.4.2)"
  # Only what the program uses; Debian's source has no wintab, which tablet events need.
  # Direct2D stays on: 6.4.2's windows plugin does not link without it, and the DirectWrite
  # font engine comes with it. Direct2D 1.1 off skips the separate direct2d platform plugin.
  cmake_cross "$log" "$source" "$work/qtbase/build" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DBUILD_SHARED_LIBS=ON -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
    -DQT_BUILD_BENCHMARKS=OFF -DQT_BUILD_MANUAL_TESTS=OFF \
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF \
    -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF \
    -DFEATURE_printsupport=OFF -DFEATURE_xml=OFF -DFEATURE_zstd=OFF \
    -DFEATURE_tabletevent=OFF -DFEATURE_direct2d1_1=OFF -DFEATURE_ico=OFF \
    -DFEATURE_system_zlib=ON -DFEATURE_system_jpeg=ON \
    -DFEATURE_jpeg=ON -DFEATURE_gif=ON -DFEATURE_png=ON \
    -DFEATURE_concurrent=ON -DFEATURE_testlib=ON -DFEATURE_widgets=ON
  for plugin in platforms/qwindows.dll platforms/qoffscreen.dll imageformats/qjpeg.dll \
                imageformats/qgif.dll; do
    [ -f "$prefix/plugins/$plugin" ] || { echo "qtbase built no $plugin" >&2; exit 1; }
  done
  printf 'qtbase %s (Debian source)' "$(cd "$source" && dpkg-parsechangelog -S Version)"
}

build_qttranslations() {
  local log="$logs/qttranslations.log" folder="$work/qttranslations" source version
  mkdir -p "$prefix/translations" "$folder"
  # From the .ts file with lrelease; where the archive has no longer the source, the .qm that
  # Debian built from it (qt6-translations-l10n) is taken from the package instead.
  if source="$(debian_source qt6-translations qttranslations 6.4.2 2>>"$log")"; then
    logged "$log" /usr/lib/qt6/bin/lrelease "$source/translations/qtbase_tr.ts" \
      -qm "$prefix/translations/qtbase_tr.qm"
    version="$(cd "$source" && dpkg-parsechangelog -S Version)"
    printf 'qtbase_tr.qm from qttranslations %s (Debian source, lrelease)' "$version"
  else
    echo "no source package; taking the .qm from Debian's binary package" >>"$log"
    rm -rf "$folder" && mkdir -p "$folder/deb"
    (cd "$folder" && logged "$log" apt-get download qt6-translations-l10n)
    logged "$log" dpkg-deb -x "$folder"/qt6-translations-l10n_*.deb "$folder/deb"
    install -m 644 "$folder/deb/usr/share/qt6/translations/qtbase_tr.qm" "$prefix/translations/"
    version="$(dpkg-deb -f "$folder"/qt6-translations-l10n_*.deb Version)"
    printf 'qtbase_tr.qm from qt6-translations-l10n %s (Debian binary package)' "$version"
  fi
}

build_qtimageformats() {
  local log="$logs/qtimageformats.log" source
  source="$(debian_source qt6-imageformats qtimageformats 6.4.2)"
  # Only the TIFF plugin, with the libtiff that comes with it (statically linked, LZW, PackBits
  # and Deflate through MinGW's zlib): lab scanners write TIFF, which qtbase cannot read.
  cmake_cross "$log" "$source" "$work/qtimageformats/build" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
    -DFEATURE_tiff=ON -DFEATURE_system_tiff=OFF -DFEATURE_webp=OFF -DFEATURE_jasper=OFF \
    -DFEATURE_mng=OFF
  [ -f "$prefix/plugins/imageformats/qtiff.dll" ] || { echo "qtimageformats built no qtiff.dll" >&2; exit 1; }
  "$triple-strip" --strip-unneeded "$prefix/plugins/imageformats/qtiff.dll"
  printf 'qtimageformats %s (Debian source): the TIFF plugin' "$(cd "$source" && dpkg-parsechangelog -S Version)"
}

build_opencv() {
  local log="$logs/opencv.log" source
  source="$(debian_source opencv opencv 4.6.0)"
  # GCC keeps 16-byte stack alignment on 64-bit Windows while AVX spills need 32 (GCC bug
  # 54412): code dispatched for AVX/AVX2 can crash there, so the SSE levels only.
  # OpenCV looks for pthread.h on Unix only; MinGW's posix threads serve its parallel_for.
  cmake_cross "$log" "$source" "$work/opencv/build" \
    -DBUILD_LIST=core,imgproc,features2d,flann,calib3d \
    -DBUILD_SHARED_LIBS=ON -DBUILD_ZLIB=OFF -DWITH_IPP=OFF -DWITH_ITT=OFF \
    -DCPU_BASELINE=SSE3 -DCPU_DISPATCH="SSE4_1;SSE4_2" \
    -DWITH_PTHREADS_PF=ON -DHAVE_PTHREAD=ON -DCMAKE_SHARED_LINKER_FLAGS=-pthread \
    -DWITH_OPENCL=OFF -DWITH_EIGEN=OFF -DWITH_LAPACK=OFF \
    -DWITH_OPENEXR=OFF -DWITH_JPEG=OFF -DWITH_PNG=OFF -DWITH_TIFF=OFF -DWITH_WEBP=OFF \
    -DWITH_OPENJPEG=OFF -DWITH_JASPER=OFF -DWITH_PROTOBUF=OFF -DWITH_ADE=OFF \
    -DWITH_QUIRC=OFF -DWITH_FFMPEG=OFF -DWITH_GSTREAMER=OFF -DWITH_MSMF=OFF \
    -DWITH_DSHOW=OFF -DWITH_WIN32UI=OFF -DWITH_QT=OFF -DWITH_GTK=OFF \
    -DWITH_VTK=OFF -DWITH_OPENVX=OFF -DWITH_DIRECTX=OFF \
    -DBUILD_TESTS=OFF -DBUILD_PERF_TESTS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOCS=OFF \
    -DBUILD_opencv_apps=OFF -DBUILD_JAVA=OFF -DBUILD_opencv_python3=OFF \
    -DOPENCV_GENERATE_PKGCONFIG=OFF -DINSTALL_C_EXAMPLES=OFF -DINSTALL_TESTS=OFF \
    -DOPENCV_OTHER_INSTALL_PATH="$work/opencv/unused-share"
  printf 'opencv %s (Debian source): core imgproc features2d flann calib3d' \
    "$(cd "$source" && dpkg-parsechangelog -S Version)"
}

started=$SECONDS
part runtime build_runtime
part googletest build_googletest
part libjpeg-turbo build_libjpeg_turbo
part qtbase build_qtbase "$stamps/libjpeg-turbo"
part qttranslations build_qttranslations
part qtimageformats build_qtimageformats "$stamps/qtbase"
part opencv build_opencv
say "the cache is $cache ($(du -sh "$cache" | cut -f1)); took $((SECONDS - started)) s"
sed 's/^/   /' "$cache/versions.txt"

# ---------------------------------------------------------------- --check
if [ "$check" = 1 ]; then
  say "check: building scripts/windows-check against the cache"
  build="$work/check"
  rm -rf "$build"
  : >"$logs/check.log"
  logged "$logs/check.log" cmake -S "$top/scripts/windows-check" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release
  logged "$logs/check.log" low cmake --build "$build" --parallel "$jobs"
  say "check: running it under Wine (offscreen platform)"
  ctest --test-dir "$build" --output-on-failure --verbose 2>&1 | sed -n 's/^[0-9]*: //p; /tests passed/p'
  rm -rf "$build"
fi
