#!/usr/bin/env bash
# Installs what building and testing the extender needs on an x86-64 Debian
# 12 machine: the i686 MinGW-w64 cross compiler, CMake, Ninja, clang
# (libFuzzer, sanitizers) and GoogleTest's sources; and the Wine platforms.
#
# It probes (a) whether the kernel runs i386 programs and (b) whether a
# 64-bit process can run 32-bit code, and prints both answers and the
# route. Where (b) holds, the platform is Debian 13's Wine 10 in its WoW64
# mode, in a Debian 13 root kept under /var/cache (made once with
# debootstrap, shared by every clone, made again when its recipe changes);
# Debian 12's Wine 8 on this machine runs beside it where (a) holds (and
# under an emulator only when VANTOR_WINE8=1 asks for it). Where (b) does
# not hold, Wine 8 is the platform, through qemu-i386 where (a) does not
# hold either. Does nothing when all is present.
set -uo pipefail
SCRIPT_NAME=install-deps
source "$(dirname "$0")/lib.sh"

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive

have_cmd() { command -v "$1" >/dev/null 2>&1; }
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

i386=$(yes_no runs_i386)
far=$(yes_no runs_32bit_code)
route=$(choose_route "$far")
say "(a) the kernel runs i386 programs: $i386; (b) a 64-bit process runs 32-bit code: $far"
case "$route" in
    wine10) say "route: Debian 13's Wine 10 in WoW64 mode$(wine8_wanted wine10 "$i386" && echo ", Debian 12's Wine 8 beside it")" ;;
    *) if [ "$far" = yes ]; then say "route: Debian 12's Wine 8 (VANTOR_ROUTE=wine8 asks for it)"
       else say "route: Debian 12's Wine 8: this kernel gives a 64-bit process no 32-bit code segment, which Wine 10's WoW64 mode needs"; fi ;;
esac

need=()
have_cmd i686-w64-mingw32-g++-posix || need+=(g++-mingw-w64-i686-posix binutils-mingw-w64-i686)
have_cmd cmake || need+=(cmake)
have_cmd ninja || need+=(ninja-build)
have_cmd clang++ || need+=(clang)
have_cmd g++ || need+=(g++)
have_cmd python3 || need+=(python3)
[ -d /usr/src/googletest/googletest ] || need+=(googletest)
ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1 || need+=(libclang-rt-dev)
[ "$route" = wine10 ] && ! have_cmd debootstrap && need+=(debootstrap)
wine8=0
if wine8_wanted "$route" "$i386"; then
    wine8=1
    have_pkg wine32:i386 || need+=(wine32:i386)
    have_cmd wine || need+=(wine)
    # The 64-bit server: every window-manager query goes to the wineserver,
    # and a native one is far faster than an emulated 32-bit one.
    have_pkg wine64 || need+=(wine64)
    have_cmd Xvfb || need+=(xvfb)
    have_cmd xauth || need+=(xauth)
    if [ "$i386" = no ] && ! find_i386_emulator >/dev/null; then need+=(qemu-user); fi
fi

if [ ${#need[@]} -gt 0 ]; then
    say "installing ${need[*]}"
    if [ -n "$SUDO" ] && ! have_cmd sudo; then
        say "error: not root and no sudo: run this script as root"
        exit 1
    fi
    if [ "$wine8" -eq 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        say "adding the i386 architecture"
        $SUDO dpkg --add-architecture i386
    fi
    apt_update
    apt_install "${need[@]}" || {
        say "error: could not install ${need[*]}; see apt's messages above"
        exit 1
    }
fi

if [ "$route" = wine10 ]; then
    if [ -n "$SUDO" ]; then
        # making and entering the root needs root (debootstrap, mount, chroot)
        say "error: Wine 10's Debian 13 root needs root: run the commands as root"
        exit 1
    fi
    if ! ensure_root; then
        say "error: the Debian 13 root with Wine 10 could not be made (see above)."
        say "  VANTOR_ROUTE=wine8 takes Debian 12's Wine 8 instead."
        exit 1
    fi
    say "Wine 10's root: $(root_path)"
fi

if [ "$wine8" -eq 1 ] && [ "$i386" = no ]; then
    say "this machine's kernel does not run 32-bit x86 programs: Wine 8 needs an emulator"
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
    say "32-bit programs now run through $emulator (emulated: Wine 8 is several times slower)"
fi
exit 0
