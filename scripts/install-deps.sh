#!/usr/bin/env bash
# Installs what building and testing the extender needs on an x86-64 Debian
# machine: the i686 MinGW-w64 cross compiler, 32-bit Wine, a headless X
# server, CMake, Ninja, clang (libFuzzer, sanitizers) and GoogleTest's
# sources; and, where the kernel does not run 32-bit programs, QEMU's
# user-mode emulator registered for them. Does nothing when all is present.
set -uo pipefail
source "$(dirname "$0")/install-lib.sh"

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive

have_cmd() { command -v "$1" >/dev/null 2>&1; }
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

need=()
have_cmd i686-w64-mingw32-g++-posix || need+=(g++-mingw-w64-i686-posix binutils-mingw-w64-i686)
have_pkg wine32:i386 || need+=(wine32:i386)
have_cmd wine || need+=(wine)
# The 64-bit server: every window-manager query goes to the wineserver, and
# a native one is far faster than an emulated 32-bit one.
have_pkg wine64 || need+=(wine64)
have_cmd Xvfb || need+=(xvfb)
have_cmd xauth || need+=(xauth)
have_cmd cmake || need+=(cmake)
have_cmd ninja || need+=(ninja-build)
have_cmd clang++ || need+=(clang)
have_cmd g++ || need+=(g++)
have_cmd python3 || need+=(python3)
[ -d /usr/src/googletest/googletest ] || need+=(googletest)
ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1 || need+=(libclang-rt-dev)

native32=1
runs_i386 || native32=0
if [ "$native32" -eq 0 ] && ! find_i386_emulator >/dev/null; then
    need+=(qemu-user)
fi

if [ ${#need[@]} -gt 0 ]; then
    say "installing ${need[*]}"
    if [ -n "$SUDO" ] && ! have_cmd sudo; then
        say "error: not root and no sudo: run this script as root"
        exit 1
    fi
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        say "adding the i386 architecture"
        $SUDO dpkg --add-architecture i386
    fi
    apt_update
    apt_install "${need[@]}" || {
        say "error: could not install ${need[*]}; see apt's messages above"
        exit 1
    }
fi

if [ "$native32" -eq 0 ]; then
    say "this machine's kernel does not run 32-bit x86 programs: Wine needs an emulator"
    emulator=$(find_i386_emulator) || {
        say "error: no i386 emulator (qemu-i386) could be installed; install Debian's qemu-user and run this again"
        exit 1
    }
    if ! register_i386_emulator "$emulator"; then
        say "error: could not register $emulator for i386 programs in $BINFMT_DIR."
        say "  By hand, as root: mount -t binfmt_misc binfmt_misc $BINFMT_DIR (if $BINFMT_DIR/register is missing), then"
        say "  printf ':qemu-i386:M::$I386_MAGIC:$I386_MASK:$emulator:OCF' > $BINFMT_DIR/register"
        exit 1
    fi
    if ! runs_i386; then
        say "error: 32-bit programs still do not run after registering $emulator; check $BINFMT_DIR"
        exit 1
    fi
    say "32-bit programs now run through $emulator (emulated: Wine is several times slower)"
fi
exit 0
