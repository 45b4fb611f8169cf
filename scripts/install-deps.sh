#!/usr/bin/env bash
# Installs what building and testing the extender needs on a Debian machine:
# the i686 MinGW-w64 cross compiler, 32-bit Wine, a headless X server, CMake,
# Ninja, clang (libFuzzer, sanitizers) and GoogleTest's sources.
# Does nothing when everything is already present.
set -euo pipefail

need=()
have_cmd() { command -v "$1" >/dev/null 2>&1; }
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

have_cmd i686-w64-mingw32-g++-posix || need+=(g++-mingw-w64-i686-posix binutils-mingw-w64-i686)
have_pkg wine32:i386 || need+=(wine wine32:i386)
have_cmd wine || need+=(wine)
have_cmd Xvfb || need+=(xvfb)
have_cmd xauth || need+=(xauth)
have_cmd cmake || need+=(cmake)
have_cmd ninja || need+=(ninja-build)
have_cmd clang++ || need+=(clang)
have_cmd g++ || need+=(g++)
[ -d /usr/src/googletest/googletest ] || need+=(googletest)
ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1 || need+=(libclang-rt-dev)

if [ ${#need[@]} -eq 0 ]; then
    exit 0
fi

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
echo "install-deps: installing ${need[*]}" >&2
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
