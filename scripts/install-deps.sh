#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks. "run" (the default): what
# building and running the program, zeltool and the simulated station needs;
# "test": that and what the tests, sanitizers, fuzzers and static analysis add;
# "windows": that and the cross compiler, Wine and NSIS of the Windows package.
# Idempotent: when every package is present it prints nothing and changes nothing.
set -euo pipefail

run_packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-serialport-dev qt6-5compat-dev libqt6svg6 qt6-translations-l10n
  qt6-tools-dev qt6-l10n-tools
  libxlsxwriter-dev libqcustomplot-dev libeigen3-dev
  libsuitesparse-dev libmetis-dev libopenblas-pthread-dev
  fonts-dejavu-core xdg-utils
)
test_packages=(
  clang libclang-rt-dev clang-tidy cppcheck
  googletest libgtest-dev
  python3 python3-openpyxl
  xvfb xauth
  desktop-file-utils dpkg-dev file
  locales unzip ccache
)
windows_packages=(
  g++-mingw-w64-x86-64-posix libz-mingw-w64-dev googletest dpkg-dev
  wine wine64 nsis zip xvfb xauth fp-utils-3.2.2
)
# The users' locales, in which the tests write every file once more: a
# locale that is not generated falls back to C silently and proves nothing.
test_locales=(ru_RU.UTF-8 de_DE.UTF-8)

packages=("${run_packages[@]}")
case "${1:-run}" in
  run) ;;
  test) packages+=("${test_packages[@]}") ;;
  windows) packages+=("${windows_packages[@]}") ;;
  *) echo "usage: $0 [run|test|windows]" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  echo "Installing: ${missing[*]}" >&2
  "${sudo_cmd[@]}" apt-get update -qq >/dev/null
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

if [ "${1:-run}" = test ]; then
  for l in "${test_locales[@]}"; do
    # locale -a lists "ru_RU.utf8" for ru_RU.UTF-8.
    if ! locale -a 2>/dev/null | grep -qix "${l%%.*}.utf8"; then
      echo "Generating the locale $l" >&2
      "${sudo_cmd[@]}" sed -i "s/^# *\($l UTF-8\)/\1/" /etc/locale.gen
      grep -qx "$l UTF-8" /etc/locale.gen || echo "$l UTF-8" | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
      "${sudo_cmd[@]}" locale-gen >/dev/null
    fi
  done
fi
