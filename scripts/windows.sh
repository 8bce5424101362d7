#!/usr/bin/env bash
# Makes the Windows package on Debian: cross-compiles the program and zeltool
# with mingw-w64 (posix threads) against Qt, libxlsxwriter, QCustomPlot,
# OpenBLAS, METIS and CHOLMOD built for Windows from Debian's own source
# packages, and packs
# dist/zel-terravox-<version>-win64.zip and an NSIS installer.
#
# The libraries are built once into a cache outside the checkout
# (ZEL_MINGW_CACHE, default ~/.cache/zel-terravox/mingw), one folder per
# recipe, and reused while the recipe is unchanged. Qt takes 40-65 minutes on
# two cores: where ../shared/mingw holds a copy made by the same recipe, the
# cache is seeded from it instead.
#
# Usage: scripts/windows.sh [build|test|package|all]   (default: all)
#   build    the libraries (when not cached) and the Windows build
#   test     build, then the core test suite and zeltool.exe under Wine
#   package  build, then the zip and the installer
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
what=${1:-all}

scripts/install-deps.sh windows

cache=${ZEL_MINGW_CACHE:-$HOME/.cache/zel-terravox/mingw}
toolchain=$root/cmake/mingw-w64.cmake
host_qt=(-DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake)
jobs=$(nproc)

# --- Qt -------------------------------------------------------------------
qt_version=6.4.2+dfsg-10
qt_features=(-DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_vulkan=OFF
             -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_tabletevent=OFF)
qt_recipe="qt6-base $qt_version Release shared ${qt_features[*]} $(sha256sum "$toolchain" | cut -c1-16)"
qt_prefix=$cache/qt-$(echo "$qt_recipe" | sha256sum | cut -c1-16)

# Source packages come from the deb-src entry of the same suite.
need_sources() {
  if ! apt-get source --print-uris -qq libxlsxwriter >/dev/null 2>&1 \
     || [ -z "$(apt-get source --print-uris -qq libxlsxwriter 2>/dev/null)" ]; then
    . /etc/os-release
    echo "Adding a deb-src entry for $VERSION_CODENAME" >&2
    sudo_cmd=(); [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
      "$VERSION_CODENAME" | "${sudo_cmd[@]}" tee /etc/apt/sources.list.d/zel-deb-src.sources >/dev/null
    "${sudo_cmd[@]}" apt-get update -qq >/dev/null
  fi
}

# The source tree of a Debian source package, unpacked under $1 (its
# upstream tarball where dpkg-source cannot unpack it).
source_tree() {
  local dir=$1 package=$2
  mkdir -p "$dir"
  if ! (cd "$dir" && apt-get source -qq "$package" >/dev/null 2>&1); then
    (cd "$dir" && apt-get source --download-only -qq "$package" >/dev/null)
    tar xf "$dir"/*.orig.tar.* -C "$dir"
  fi
  find "$dir" -mindepth 1 -maxdepth 1 -type d | head -n 1
}

seeded_from_shared() {
  local shared=$root/../shared/mingw
  [ -f "$shared/RECIPE" ] && [ -f "$shared/qt-6.4.2-mingw64-posix.tar.xz" ] || return 1
  grep -q "$qt_version" "$shared/RECIPE" || return 1
  for f in "${qt_features[@]}"; do grep -q -- "$f" "$shared/RECIPE" || return 1; done
  echo "Seeding the Qt cache from $shared" >&2
  mkdir -p "$qt_prefix.tmp"
  tar xJf "$shared/qt-6.4.2-mingw64-posix.tar.xz" -C "$qt_prefix.tmp"
  mv "$qt_prefix.tmp" "$qt_prefix"
}

build_qt() {
  need_sources
  local work; work=$(mktemp -d "$cache/qt-build.XXXX")
  local src; src=$(source_tree "$work/src" qt6-base)
  echo "Building Qt for Windows from $src (40-65 minutes)" >&2
  local start=$SECONDS
  cmake -G Ninja -S "$src" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$qt_prefix.tmp" -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
    "${host_qt[@]}" "${qt_features[@]}" >/dev/null
  cmake --build "$work/build" -j"$jobs"
  cmake --install "$work/build" >/dev/null
  mv "$qt_prefix.tmp" "$qt_prefix"
  rm -rf "$work"
  echo "Qt built in $(( (SECONDS - start) / 60 )) min" >&2
}

mkdir -p "$cache"
rm -rf "$qt_prefix.tmp"
if [ ! -f "$qt_prefix/lib/cmake/Qt6/Qt6Config.cmake" ]; then
  if [ -n "${ZEL_QT_FROM_SOURCE:-}" ] || ! seeded_from_shared; then
    build_qt
  fi
fi

# --- libxlsxwriter, QCustomPlot, GoogleTest --------------------------------
# Raise deps_version when build_deps below changes how they are built.
deps_version=1
deps_recipe="libxlsxwriter qcustomplot googletest v$deps_version $qt_prefix $(cat "$toolchain" "$root/packaging/windows/qcustomplot.cmake" | sha256sum | cut -c1-16)"
deps_prefix=$cache/deps-$(echo "$deps_recipe" | sha256sum | cut -c1-16)
cross=(-G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release "-DZEL_MINGW_PREFIXES=$qt_prefix;$deps_prefix.tmp"
       -DCMAKE_INSTALL_PREFIX="$deps_prefix.tmp" "${host_qt[@]}")

build_deps() {
  need_sources
  local work; work=$(mktemp -d "$cache/deps-build.XXXX")
  rm -rf "$deps_prefix.tmp"

  local xlsx; xlsx=$(source_tree "$work/xlsx" libxlsxwriter)
  cmake "${cross[@]}" -S "$xlsx" -B "$work/xlsx-build" -DBUILD_SHARED_LIBS=OFF -DUSE_DTOA_LIBRARY=ON >/dev/null
  cmake --build "$work/xlsx-build" -j"$jobs" >/dev/null
  cmake --install "$work/xlsx-build" >/dev/null

  # QCustomPlot ships one source file: a static library and a CMake package
  # of the name Debian's Linux package has.
  local qcp; qcp=$(source_tree "$work/qcp" qcustomplot)
  cp "$root/packaging/windows/qcustomplot.cmake" "$qcp/CMakeLists.txt"
  cmake "${cross[@]}" -S "$qcp" -B "$work/qcp-build" >/dev/null
  cmake --build "$work/qcp-build" -j"$jobs" >/dev/null
  cmake --install "$work/qcp-build" >/dev/null

  cmake "${cross[@]}" -S /usr/src/googletest -B "$work/gtest-build" -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON >/dev/null
  cmake --build "$work/gtest-build" -j"$jobs" >/dev/null
  cmake --install "$work/gtest-build" >/dev/null

  mv "$deps_prefix.tmp" "$deps_prefix"
  rm -rf "$work"
}

if [ ! -f "$deps_prefix/lib/libxlsxwriter.a" ]; then
  echo "Building libxlsxwriter, QCustomPlot and GoogleTest for Windows" >&2
  build_deps
fi

# --- the sparse Cholesky factorisation: OpenBLAS, METIS, CHOLMOD -----------
# From the upstream tarballs of Debian's source packages (Debian's own
# patches adapt OpenBLAS to Debian's separate LAPACK, which this build does
# not use: OpenBLAS's own Cholesky is enough for CHOLMOD). OpenBLAS has its
# kernels for every x86-64 generation from SSE3 to AVX-512 and picks the
# laptop's at start; without threads of its own but safe to call from the
# inversion's. About 25-40 minutes on two cores: where ../shared/mingw holds
# solver-<recipe>.tar.xz (this cache folder packed), it is taken from there.
openblas_flags=(CC=x86_64-w64-mingw32-gcc-posix HOSTCC=gcc CROSS=1 BINARY=64 TARGET=PRESCOTT DYNAMIC_ARCH=1
                "DYNAMIC_LIST=NEHALEM SANDYBRIDGE HASWELL ZEN SKYLAKEX" NOFORTRAN=1 NO_LAPACKE=1 USE_THREAD=0
                USE_LOCKING=1 NO_SHARED=1 NO_CBLAS=1)
solver_recipe="openblas 0.3.21+ds-4 suitesparse 5.12.0+dfsg-2 metis 5.1.0.dfsg-7 ${openblas_flags[*]} $(cat "$toolchain" "$root/packaging/windows/cholmod.cmake" | sha256sum | cut -c1-16)"
solver_name=solver-$(echo "$solver_recipe" | sha256sum | cut -c1-16)
solver_prefix=$cache/$solver_name

# The upstream tarball of a Debian source package, unpacked under $1.
upstream_tree() {
  local dir=$1 package=$2
  mkdir -p "$dir"
  (cd "$dir" && apt-get source --download-only -qq "$package" >/dev/null)
  tar xf "$dir"/*.orig.tar.* -C "$dir"
  find "$dir" -mindepth 1 -maxdepth 1 -type d | head -n 1
}

build_solver() {
  need_sources
  local work; work=$(mktemp -d "$cache/solver-build.XXXX")
  rm -rf "$solver_prefix.tmp"
  mkdir -p "$solver_prefix.tmp/lib"
  local start=$SECONDS
  local openblas; openblas=$(upstream_tree "$work/openblas" openblas)
  echo "Building OpenBLAS for Windows (25-40 minutes)" >&2
  make -C "$openblas" -j"$jobs" libs "${openblas_flags[@]}" >"$work/openblas.log" 2>&1 \
    || { tail -n 30 "$work/openblas.log" >&2; return 1; }
  cp "$openblas/libopenblas.a" "$solver_prefix.tmp/lib/libopenblas.a"
  local suitesparse metis
  suitesparse=$(upstream_tree "$work/suitesparse" suitesparse)
  metis=$(upstream_tree "$work/metis" metis)
  mkdir -p "$work/cholmod"
  cp "$root/packaging/windows/cholmod.cmake" "$work/cholmod/CMakeLists.txt"
  cmake -G Ninja -S "$work/cholmod" -B "$work/cholmod-build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$solver_prefix.tmp" \
    -DSUITESPARSE_SOURCE="$suitesparse" -DMETIS_SOURCE="$metis" >/dev/null
  cmake --build "$work/cholmod-build" -j"$jobs" >/dev/null
  cmake --install "$work/cholmod-build" >/dev/null
  mv "$solver_prefix.tmp" "$solver_prefix"
  rm -rf "$work"
  echo "OpenBLAS, METIS and CHOLMOD built in $(( (SECONDS - start) / 60 )) min" >&2
}

solver_from_shared() {
  local packed=$root/../shared/mingw/$solver_name.tar.xz
  [ -f "$packed" ] || return 1
  echo "Taking OpenBLAS, METIS and CHOLMOD from $packed" >&2
  rm -rf "$solver_prefix.tmp"
  mkdir -p "$solver_prefix.tmp"
  tar xJf "$packed" -C "$solver_prefix.tmp"
  mv "$solver_prefix.tmp" "$solver_prefix"
}

if [ ! -f "$solver_prefix/lib/libcholmod.a" ]; then
  solver_from_shared || build_solver
fi

# --- the program -----------------------------------------------------------
export ZEL_MINGW_QT=$qt_prefix ZEL_MINGW_DEPS=$deps_prefix ZEL_MINGW_SOLVER=$solver_prefix
cmake --preset windows >/dev/null
cmake --build --preset windows

# Where the programs find their DLLs under Wine: Qt's and the mingw runtime's.
gcc_runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
export WINEPATH="$(winepath -w "$qt_prefix/bin" 2>/dev/null);$(winepath -w "$gcc_runtime" 2>/dev/null);$(winepath -w /usr/x86_64-w64-mingw32/lib 2>/dev/null)"

run_tests() {
  export WINEDEBUG=-all WINEPREFIX=${WINEPREFIX:-$root/build-windows/wineprefix}
  # One Wine server for the run, its own words in a log of the build, and
  # Wine's services started here: started by a test, they would keep the
  # test runner's output open after the test ends.
  wineserver -p >>"$root/build-windows/wineserver.log" 2>&1 &
  trap 'wineserver -k 2>/dev/null || true' RETURN
  wineboot >>"$root/build-windows/wineserver.log" 2>&1 || true
  QT_QPA_PLATFORM=offscreen ctest --preset windows -j"$jobs" --timeout 300
  echo "== zeltool.exe under Wine: the same files, and the station on COM5"
  [ -x build/sim/zel-station-sim ] || { cmake --preset default >/dev/null; cmake --build --preset default --target zeltool zel-station-sim >/dev/null; }
  timeout 600 tests/wine_checks.sh build-windows build
}

package() {
  packaging/windows/package.sh "$root/build-windows" "$qt_prefix" "$gcc_runtime" "$root/dist"
  echo "== the installer under Wine"
  timeout 300 packaging/windows/check_installer.sh "$(ls "$root"/dist/zel-terravox-*-win64-setup.exe | tail -n 1)" tests/data/sample.zel
}

case $what in
  build) ;;
  test) run_tests ;;
  package) package ;;
  all) run_tests; package ;;
  *) echo "usage: $0 [build|test|package|all]" >&2; exit 2 ;;
esac
