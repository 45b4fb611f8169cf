#!/usr/bin/env bash
# The installer's decisions, driven with stand-in commands: no network, no
# root, nothing on the machine changed.
set -u
source "$(dirname "$0")/../../scripts/lib.sh"
source "$(dirname "$0")/check.sh"
SLEEP=true
APT_PAUSE=0
SUDO=""

# ---- the probe -------------------------------------------------------------
write_i386_probe "$work/probe"
header=$(od -An -tx1 -N20 "$work/probe" | tr -d ' \n')
check "the probe is an ELF file, 32-bit (class 1), little endian" test "${header:0:12}" = "7f454c460101"
check "... an executable" test "${header:32:4}" = "0200"
check "the probe's machine is i386" test "${header:36:4}" = "0300"
check "the probe is 96 bytes" test "$(stat -c %s "$work/probe")" -eq 96
if command -v qemu-i386 >/dev/null 2>&1; then
    qemu-i386 "$work/probe"
    check "under an i386 emulator the probe exits with 42" test $? -eq 42
fi
if [ "$(uname -m)" = x86_64 ] && command -v qemu-x86_64 >/dev/null 2>&1; then
    qemu-x86_64 "$work/probe" 2>/dev/null
    check "a 64-bit emulator does not run the probe to 42" test $? -ne 42
fi
exit_42() { return 42; }
PROBE_RUN=exit_42 check "an answer of 42 counts as running 32-bit programs" runs_i386
PROBE_RUN="true" check "a program that merely succeeds does not count" not runs_i386
PROBE_RUN="false" check "exec format error (a failure) does not count" not runs_i386
unset PROBE_RUN

# ---- the far-return probe (32-bit code in a 64-bit process) -----------------
write_far_probe "$work/far"
header=$(od -An -tx1 -N20 "$work/far" | tr -d ' \n')
check "the far probe is an ELF file, 64-bit (class 2), little endian" test "${header:0:12}" = "7f454c460201"
check "... an executable for x86-64" test "${header:32:8}" = "02003e00"
check "... 161 bytes" test "$(stat -c %s "$work/far")" -eq 161
check "... whose far return goes to selector 0x23" \
    test "$(od -An -tx1 -j "$FAR_PROBE_SELECTOR_OFFSET" -N1 "$work/far" | tr -d ' ')" = 23
if [ "$(uname -m)" = x86_64 ] && "$work/far" 2>/dev/null; [ $? -eq 42 ]; then
    # This machine runs 32-bit code in 64-bit processes: the same probe
    # returning to the 64-bit selector instead must not give 42.
    cp "$work/far" "$work/far64"
    printf '\063' | dd of="$work/far64" bs=1 seek="$FAR_PROBE_SELECTOR_OFFSET" conv=notrunc 2>/dev/null
    ("$work/far64"; exit $?) 2>/dev/null
    check "a far return that stays in 64-bit mode does not give 42" test $? -ne 42
fi
FAR_PROBE_RUN=exit_42 check "an answer of 42 counts as running 32-bit code" runs_32bit_code
FAR_PROBE_RUN="false" check "a crash (no 32-bit code segment) does not count" not runs_32bit_code
unset FAR_PROBE_RUN

# ---- the route -----------------------------------------------------------------
check "32-bit code in a 64-bit process: Wine 10" test "$(choose_route yes)" = wine10
check "none: Wine 8" test "$(choose_route no)" = wine8
check "VANTOR_ROUTE=wine8 takes Wine 8 anyway" test "$(VANTOR_ROUTE=wine8 choose_route yes)" = wine8
check "Wine 8 is the platform on its own route" wine8_wanted wine8 no
check "beside Wine 10, Wine 8 runs where the kernel runs i386 programs" wine8_wanted wine10 yes
check "... not where it would be emulated" not wine8_wanted wine10 no
check "... unless VANTOR_WINE8=1 asks for it" env VANTOR_WINE8=1 bash -c 'source "$1"; wine8_wanted wine10 no' _ "$(dirname "$0")/../../scripts/lib.sh"

# ---- binfmt_misc -----------------------------------------------------------
BINFMT_DIR="$work/binfmt"
mkdir -p "$BINFMT_DIR"
entry() {  # entry name state interpreter magic
    printf '%s\ninterpreter %s\nflags: OCF\noffset 0\nmagic %s\nmask ff\n' "$2" "$3" "$4" >"$BINFMT_DIR/$1"
}
I386=7f454c4601010100000000000000000002000300
ARM=7f454c4601010100000000000000000002002800
check "no entry: nothing handles i386" not i386_binfmt_entry
entry qemu-arm enabled /usr/bin/qemu-arm $ARM
check "an entry for another machine does not count" not i386_binfmt_entry
entry other-name disabled /usr/bin/qemu-i386 $I386
check "a disabled i386 entry does not count" not i386_binfmt_entry
entry other-name enabled /opt/qemu-i386 $I386
check "an enabled i386 entry counts whatever its name" test "$(i386_binfmt_entry)" = /opt/qemu-i386

writes=0
fake_kernel() {  # takes a registration line as the kernel does
    writes=$((writes + 1))
    echo "$1" >"$work/registered"
    local IFS=:
    set -- $1
    [ "$2" = qemu-i386 ] && [ "$3" = M ] && [ "$8" = OCF ] || return 1
    entry "$2" enabled "$7" $I386
}
REGISTER_WRITER=fake_kernel
register_i386_emulator /usr/bin/qemu-i386 2>/dev/null
check "an existing i386 entry is kept: nothing is written" test "$writes" -eq 0
rm "$BINFMT_DIR/other-name"
touch "$BINFMT_DIR/register"
check "registering writes one entry" register_i386_emulator /usr/bin/qemu-i386-static 2>/dev/null
check "the entry has the i386 magic, mask, interpreter and flags OCF" \
    grep -qF ":qemu-i386:M::$I386_MAGIC:$I386_MASK:/usr/bin/qemu-i386-static:OCF" "$work/registered"
register_i386_emulator /usr/bin/qemu-i386-static 2>/dev/null
check "registering twice writes once" test "$writes" -eq 1

BINFMT_DIR="$work/unmounted"
mkdir -p "$BINFMT_DIR"
mounted_at=""
fake_mount() { mounted_at=$4; touch "$4/register"; }
MOUNT=fake_mount
check "binfmt_misc is mounted when its register file is missing" ensure_binfmt_mounted 2>/dev/null
check "... at the binfmt_misc folder" test "$mounted_at" = "$BINFMT_DIR"
rm "$BINFMT_DIR/register"
MOUNT=false
check "no permission to mount: registering fails" not register_i386_emulator /usr/bin/qemu-i386 2>/dev/null
REGISTER_WRITER=false
MOUNT=fake_mount
check "no permission to write the register file: registering fails" \
    not register_i386_emulator /usr/bin/qemu-i386 2>/dev/null

QEMU_CANDIDATES="$work/none $work/qemu-i386"
check "no emulator on the machine is found as none" not find_i386_emulator
printf '#!/bin/sh\n' >"$work/qemu-i386"
chmod +x "$work/qemu-i386"
check "the first emulator present is chosen" test "$(find_i386_emulator)" = "$work/qemu-i386"

# ---- apt -----------------------------------------------------------------
printf 'VERSION_CODENAME=bookworm\n' >"$work/os-release"
OS_RELEASE="$work/os-release"
check "the release's own suite comes from os-release" test "$(release_suite)" = bookworm

calls="$work/apt-calls"
fake_apt_skew() {  # holds broken packages unless the release is the target
    echo "$*" >>"$calls"
    case " $* " in
        *" -t bookworm "*) return 0 ;;
        *) echo "E: Unable to correct problems, you have held broken packages."; return 100 ;;
    esac
}
APT_GET=fake_apt_skew
: >"$calls"
check "version skew between i386 and amd64: installed with the release as target" \
    apt_install wine32:i386 2>"$work/said"
check "... after one plain attempt and one with -t bookworm" test "$(wc -l <"$calls")" -eq 2
check "... and the terminal says what was done" grep -q -- "-t bookworm" "$work/said"

fake_apt_missing() { echo "$*" >>"$calls"; echo "E: Unable to locate package nosuch"; return 100; }
APT_GET=fake_apt_missing
: >"$calls"
check "a package that does not exist fails without a retry" not apt_install nosuch 2>/dev/null
check "... after one attempt" test "$(wc -l <"$calls")" -eq 1

fake_apt_update_flaky() {  # fails twice (a mirror mid-sync), then works
    echo "$*" >>"$calls"
    [ "$(wc -l <"$calls")" -ge 3 ] && return 0
    echo "E: Failed to fetch ...  File has unexpected size (374820 != 376004). Mirror sync in progress?"
    return 100
}
APT_GET=fake_apt_update_flaky
: >"$calls"
check "a failing index is retried and then works" apt_update 2>"$work/said"
check "... on the third attempt" test "$(wc -l <"$calls")" -eq 3
check "... each failure reported as a warning" test "$(grep -c 'warning' "$work/said")" -eq 2

fake_apt_update_broken() { echo "$*" >>"$calls"; echo "E: Mirror sync in progress?"; return 100; }
APT_GET=fake_apt_update_broken
: >"$calls"
check "an index that never arrives is a warning, not the end" apt_update 2>"$work/said"
check "... after $APT_RETRIES attempts" test "$(wc -l <"$calls")" -eq "$APT_RETRIES"
check "... saying it goes on with the lists it has" grep -q 'going on' "$work/said"

# ---- the Debian 13 root -------------------------------------------------------
VANTOR_ROOT_CACHE="$work/cache"
hash=$(root_hash)
check "the root is named by its recipe's hash" test "$(root_path)" = "$work/cache/vantor-trixie-$hash"
ROOT_PACKAGES+=(extra)
check "another package list is another root" test "$(root_hash)" != "$hash"
ROOT_PACKAGES=("${ROOT_PACKAGES[@]:0:${#ROOT_PACKAGES[@]}-1}")
check "... and the same list the same root again" test "$(root_hash)" = "$hash"

# A stand-in debootstrap (its Nth call does the Nth word of debootstrap.plan:
# "ok" makes a folder, "fail" fails after leaving half a root) and a
# stand-in for running programs in the root: dpkg-query answers a version,
# apt-get download leaves a package with 200 i386 Windows DLLs, the rest succeeds.
fake_debootstrap() {
    echo "$*" >>"$work/debootstrap.calls"
    local n what
    n=$(wc -l <"$work/debootstrap.calls")
    what=$(tr ' ' '\n' <"$work/debootstrap.plan" | sed -n "${n}p")
    mkdir -p "$3/etc" "$3/var/tmp"
    [ "$what" = ok ]
}
pkg="$work/pkg"
mkdir -p "$pkg/DEBIAN" "$pkg/usr/lib/i386-linux-gnu/wine/i386-windows"
printf 'Package: libwine\nVersion: 10.0-1\nArchitecture: i386\nMaintainer: x\nDescription: x\n' >"$pkg/DEBIAN/control"
for i in $(seq 1 200); do : >"$pkg/usr/lib/i386-linux-gnu/wine/i386-windows/dll$i.dll"; done
dpkg-deb -b "$pkg" "$work/libwine_i386.deb" >/dev/null
fake_root_run() {
    local dir=$1; shift
    echo "$*" >>"$work/root.calls"
    case "$1 $*" in
        dpkg-query*) printf '10.0-1' ;;
        sh*download*) cp "$work/libwine_i386.deb" "$dir/var/tmp/libwine_10.0-1_i386.deb" ;;
    esac
    return 0
}
DEBOOTSTRAP=fake_debootstrap ROOT_RUN=fake_root_run APT_GET=true
echo "fail ok" >"$work/debootstrap.plan"; : >"$work/debootstrap.calls"; : >"$work/root.calls"
check "mirror trouble while making the root is tried once more" ensure_root 2>"$work/said"
check "... two debootstraps" test "$(wc -l <"$work/debootstrap.calls")" -eq 2
check "... the root is complete and marked" root_ready
check "... no half-made root is left" test ! -e "$(root_path).partial"
check "the 32-bit Windows DLLs come from libwine:i386 of the installed version" \
    grep -q 'download.*libwine:i386=.* 10.0-1' "$work/root.calls"
check "... into the amd64 tree's i386-windows folder" \
    test "$(ls "$(root_path)/usr/lib/x86_64-linux-gnu/wine/i386-windows" | wc -l)" -eq 200
check "... and the i386 architecture is forgotten again" grep -q 'dpkg --remove-architecture i386' "$work/root.calls"
check "a complete root is kept: nothing is made" ensure_root 2>/dev/null
check "... no debootstrap" test "$(wc -l <"$work/debootstrap.calls")" -eq 2
mkdir -p "$(root_path).partial/etc"
rm "$(root_path)/.vantor-root"
echo "ok" >"$work/debootstrap.plan"; : >"$work/debootstrap.calls"
check "a half-made root (interrupted) is made again" ensure_root 2>"$work/said"
check "... saying so" grep -q 'half-made' "$work/said"
check "... and is complete" root_ready
old="$work/cache/vantor-trixie-0123456789ab"
mkdir -p "$old"
ROOT_PACKAGES+=(extra)
echo "ok" >"$work/debootstrap.plan"; : >"$work/debootstrap.calls"
ensure_root 2>/dev/null
check "a new recipe makes a new root" test "$(wc -l <"$work/debootstrap.calls")" -eq 1
check "... and the roots of older recipes are removed" test ! -e "$old" -a ! -e "$work/cache/vantor-trixie-$hash"
no_i386() { local dir=$1; shift; case "$1" in dpkg-query) printf '10.0-1' ;; esac; return 0; }
ROOT_PACKAGES+=(more)
ROOT_RUN=no_i386
echo "ok ok" >"$work/debootstrap.plan"; : >"$work/debootstrap.calls"
check "no libwine:i386 to be had: the root is not made" not ensure_root 2>"$work/said"
check "... saying so plainly" grep -q 'could not download libwine:i386 10.0-1' "$work/said"
check "... and nothing half-made is left" test ! -e "$(root_path).partial" -a ! -e "$(root_path)"

finish
