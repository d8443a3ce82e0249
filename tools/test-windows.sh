#!/usr/bin/env bash
# Cross-builds the Windows programs with MinGW-w64 and runs every test under
# wine: the unit tests, the end-to-end cases (also with CRLF inputs) and the
# real drawings, which must give what the Linux build gives.
# Usage: tools/test-windows.sh [build-dir] [linux-build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
dir=$(realpath -m "${1:-build-win}")
linux_dir=$(realpath -m "${2:-build}")

need=()
for pkg in g++-mingw-w64-x86-64-posix wine64 googletest locales cmake ninja-build g++; do
  dpkg -s "$pkg" >/dev/null 2>&1 || need+=("$pkg")
done
if [ ${#need[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${need[@]}"
fi
mkdir -p "$dir"

# Wine of its own in the build directory, in a Japanese locale, so that the
# programs see code page 932 as Windows in Japan has it: Shift-JIS words on the
# command line reach them unchanged. glibc's charmap for code page 932 is named
# WINDOWS-31J, a name wine does not know, so the locale is built from a copy
# named CP932, into the build directory (no root needed, nothing installed).
if [ ! -d "$dir/locale/ja_JP.CP932" ]; then
  zcat /usr/share/i18n/charmaps/WINDOWS-31J.gz | sed 's/^<code_set_name>.*/<code_set_name> CP932/' >"$dir/CP932.charmap"
  mkdir -p "$dir/locale"
  localedef -i ja_JP -f "$dir/CP932.charmap" "$dir/locale/ja_JP.CP932" 2>/dev/null ||
    [ -d "$dir/locale/ja_JP.CP932" ]
fi
wine=$dir/wine-ja
cat >"$wine" <<EOF
#!/bin/sh
# Runs a Windows program under wine as the tests do.
export WINEPREFIX="$dir/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LOCPATH="$dir/locale" LC_ALL=ja_JP.CP932
exec /usr/lib/wine/wine64 "\$@"
EOF
chmod +x "$wine"
export WINEPREFIX="$dir/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# One wine server for all the runs, stopped again at the end.
mkdir -p "$WINEPREFIX"
/usr/lib/wine/wineserver -k 2>/dev/null || true
/usr/lib/wine/wineserver -w
/usr/lib/wine/wineserver -p
trap '/usr/lib/wine/wineserver -k 2>/dev/null || true' EXIT
[ -f "$WINEPREFIX/system.reg" ] || echo "== wine prefix"
# Also starts wine's own services, which live as long as the server: started
# by a test instead, they would hold its output open and CTest would wait.
"$wine" wineboot -i >/dev/null 2>&1 </dev/null

# GoogleTest for MinGW, from Debian's sources of it.
gtest=$dir/googletest
if [ ! -f "$gtest/install/lib/cmake/GTest/GTestConfig.cmake" ]; then
  echo "== GoogleTest for MinGW"
  cmake -S /usr/src/googletest -B "$gtest/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_GMOCK=OFF -DCMAKE_INSTALL_PREFIX="$gtest/install" >/dev/null
  cmake --build "$gtest/build" -j"$(nproc)" >/dev/null
  cmake --install "$gtest/build" >/dev/null
fi

# The Linux build is the reference for the real drawings.
if [ ! -x "$linux_dir/hatch" ]; then
  echo "== Linux hatch, for reference"
  cmake -S . -B "$linux_dir" -G Ninja >/dev/null
  cmake --build "$linux_dir" -j"$(nproc)" --target hatch
fi

echo "== cross build"
cmake -S . -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DHATCH_WERROR=ON \
  -DHATCH_WINE="$wine" -DGTest_DIR="$gtest/install/lib/cmake/GTest" -DHATCH_LINUX_HATCH="$linux_dir/hatch" >/dev/null
cmake --build "$dir" -j"$(nproc)"

echo "== tests under wine"
# Now and then wine fails to start a program when many start at once, and the
# test fails at once with no output: such a test runs once more, while a real
# failure fails twice.
ctest --test-dir "$dir" --output-on-failure -j"$(nproc)" --repeat until-pass:2
