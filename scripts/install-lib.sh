# The installer's decisions, as functions (sourced through scripts/lib.sh,
# whose retry and log helpers they use, by install-deps.sh and by
# tests/scripts/install_lib_test.sh, which drives them with stand-in commands).
#
# Every command these functions run goes through a variable, so a test can
# replace it: APT_GET, PROBE_RUN, FAR_PROBE_RUN, BINFMT_DIR, MOUNT, SLEEP,
# DEBOOTSTRAP, ROOT_RUN.
: "${APT_GET:=apt-get}"
: "${MOUNT:=mount}"
: "${SLEEP:=sleep}"
: "${BINFMT_DIR:=/proc/sys/fs/binfmt_misc}"
: "${APT_RETRIES:=3}"
: "${APT_PAUSE:=10}"
: "${DEBOOTSTRAP:=debootstrap}"
: "${ROOT_RUN:=run_in_new_root}"
# Where the Debian 13 root is kept: one for every clone of the machine.
: "${VANTOR_ROOT_CACHE:=/var/cache}"
: "${TRIXIE_MIRROR:=http://deb.debian.org/debian}"

say() { SCRIPT_NAME=install-deps log "$@"; }

# --- 32-bit code -----------------------------------------------------------

# Writes a 96-byte static i386 ELF program that does nothing but exit(42)
# through int 0x80. Only a kernel (or emulator) that runs 32-bit x86 code
# gives 42: a 64-bit program cannot stand in for it, and it needs no
# library, compiler or package.
write_i386_probe() {
    local out=$1
    {
        # ELF header: 32-bit, little endian, executable, machine 386, entry 0x08048054
        printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000'
        printf '\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000'
        printf '\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000'
        # one loadable segment: the whole file at 0x08048000, read + execute
        printf '\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010'
        printf '\140\000\000\000\140\000\000\000\005\000\000\000\000\020\000\000'
        # mov eax,1 ; mov ebx,42 ; int 0x80
        printf '\270\001\000\000\000\273\052\000\000\000\315\200'
    } >"$out"
    chmod +x "$out"
}

# Writes a 161-byte static x86-64 ELF program that far-returns (lretq) to
# the 32-bit user code segment (selector 0x23), runs "mov eax,43; dec eax;
# retf" there and comes back through a 0x33 frame it pushed, then exits
# with eax. It gives 42 only where a 64-bit process can run 32-bit code,
# which is what Wine's WoW64 mode needs (in 64-bit mode 0x48 is a prefix,
# not "dec eax", and the far return would take the wrong frame); the
# kernel never loads an i386 program for it. Its stack is inside its own
# segment, below 4 GB, where 32-bit code can address it.
FAR_PROBE_SELECTOR_OFFSET=137   # the byte of "push 0x23"
write_far_probe() {
    local out=$1
    {
        # ELF header: 64-bit, little endian, executable, machine x86-64, entry 0x400078
        printf '\177ELF\002\001\001\000\000\000\000\000\000\000\000\000'
        printf '\002\000\076\000\001\000\000\000\170\000\100\000\000\000\000\000'
        printf '\100\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000'
        printf '\000\000\000\000\100\000\070\000\001\000\000\000\000\000\000\000'
        # one loadable segment at 0x400000, read + write + execute: the file,
        # then zeros up to 0x402000 (the stack)
        printf '\001\000\000\000\007\000\000\000\000\000\000\000\000\000\000\000'
        printf '\000\000\100\000\000\000\000\000\000\000\100\000\000\000\000\000'
        printf '\241\000\000\000\000\000\000\000\000\040\000\000\000\000\000\000'
        printf '\000\020\000\000\000\000\000\000'
        # 64-bit: mov esp,0x402000 ; mov rax,0x33:0x400098 ; push rax ;
        # push 0x23 ; push 0x400091 ; lretq
        printf '\274\000\040\100\000\110\270\230\000\100\000\063\000\000\000\120'
        printf '\152\043\150\221\000\100\000\110\313'
        # 32-bit, at 0x400091: mov eax,43 ; dec eax ; retf
        printf '\270\053\000\000\000\110\313'
        # 64-bit again, at 0x400098: mov edi,eax ; mov eax,60 ; syscall (exit)
        printf '\211\307\270\074\000\000\000\017\005'
    } >"$out"
    chmod +x "$out"
}

# probe_gives_42 WRITER [RUNNER]: writes a probe with WRITER and runs it
# (through RUNNER when given); success when it exited with 42.
probe_gives_42() {
    local writer=$1 runner=${2:-} dir probe rc
    dir=$(mktemp -d)
    probe="$dir/probe"
    "$writer" "$probe"
    if [ -n "$runner" ]; then
        $runner "$probe" >/dev/null 2>&1; rc=$?
    else
        "$probe" >/dev/null 2>&1; rc=$?
    fi
    rm -rf "$dir"
    [ "$rc" -eq 42 ]
}

# (a) the kernel (or a registered emulator) runs i386 programs
runs_i386() { probe_gives_42 write_i386_probe "${PROBE_RUN:-}"; }
# (b) a 64-bit process can run 32-bit code
runs_32bit_code() { probe_gives_42 write_far_probe "${FAR_PROBE_RUN:-}"; }

yes_no() { if "$@"; then echo yes; else echo no; fi; }

# --- binfmt_misc (the old route under an emulator) ---

# The i386 ELF header as binfmt_misc matches it (the values Debian's
# qemu-user-binfmt uses).
I386_MAGIC='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
I386_MASK='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

# Prints the interpreter of an enabled binfmt_misc entry for i386 programs,
# if any: any entry whose magic is the i386 ELF header counts, whatever its name.
i386_binfmt_entry() {
    local entry
    [ -d "$BINFMT_DIR" ] || return 1
    for entry in "$BINFMT_DIR"/*; do
        [ -f "$entry" ] || continue
        case "$(basename "$entry")" in register|status) continue ;; esac
        grep -qx 'enabled' "$entry" 2>/dev/null || continue
        grep -q '^magic 7f454c4601010100000000000000000002000300' "$entry" 2>/dev/null || continue
        sed -n 's/^interpreter //p' "$entry"
        return 0
    done
    return 1
}

# Mounts binfmt_misc where it is missing; fails when it cannot.
ensure_binfmt_mounted() {
    [ -e "$BINFMT_DIR/register" ] && return 0
    say "mounting binfmt_misc at $BINFMT_DIR"
    $MOUNT -t binfmt_misc binfmt_misc "$BINFMT_DIR" 2>/dev/null || return 1
    [ -e "$BINFMT_DIR/register" ]
}

# Registers an emulator for i386 programs (flags OCF: credentials of the
# program, interpreter opened once so it works in any mount namespace).
# Idempotent: an existing i386 entry is kept.
register_i386_emulator() {
    local emulator=$1 existing
    if existing=$(i386_binfmt_entry); then
        say "i386 programs already go to $existing"
        return 0
    fi
    ensure_binfmt_mounted || return 1
    say "registering $emulator for i386 programs in $BINFMT_DIR"
    ${REGISTER_WRITER:-write_binfmt_register} \
        "$(printf ':qemu-i386:M::%s:%s:%s:OCF' "$I386_MAGIC" "$I386_MASK" "$emulator")" || return 1
    i386_binfmt_entry >/dev/null
}

write_binfmt_register() { printf '%s' "$1" >"$BINFMT_DIR/register" 2>/dev/null; }

# Prints the first i386 user-mode emulator found.
find_i386_emulator() {
    local candidate
    for candidate in ${QEMU_CANDIDATES:-/usr/bin/qemu-i386-static /usr/bin/qemu-i386 /usr/libexec/qemu-binfmt/i386-binfmt-P}; do
        [ -x "$candidate" ] && { echo "$candidate"; return 0; }
    done
    return 1
}

# --- the route ----------------------------------------------------------------

# choose_route FAR_ANSWER: "wine10" (Debian 13's Wine 10 in WoW64 mode, in
# the root) where a 64-bit process runs 32-bit code, else "wine8" (Debian
# 12's Wine 8 on this machine). VANTOR_ROUTE=wine8 asks for the old route.
choose_route() {
    if [ "${VANTOR_ROUTE:-}" = wine8 ]; then echo wine8; return; fi
    if [ "$1" = yes ]; then echo wine10; else echo wine8; fi
}

# wine8_wanted ROUTE I386_ANSWER: whether Debian 12's Wine 8 is needed:
# on the old route it is the platform; beside Wine 10 it runs where the
# kernel runs i386 programs itself, and under an emulator only when
# VANTOR_WINE8=1 asks for it (it is then many times slower).
wine8_wanted() {
    [ "$1" = wine8 ] && return 0
    [ "$2" = yes ] && return 0
    [ "${VANTOR_WINE8:-0}" = 1 ]
}

# --- the Debian 13 root -------------------------------------------------------

ROOT_PACKAGES=(wine wine64 libwine xvfb xauth)

# What the root is made of: the packages and the steps that make it. Its
# hash names the root, so a change to either makes a new one.
root_recipe() {
    echo "debootstrap --variant=minbase trixie; ${ROOT_PACKAGES[*]}"
    declare -f make_root_in fetch_i386_windows_dlls
}
root_hash() { root_recipe | sha256sum | cut -c1-12; }
root_path() { echo "$VANTOR_ROOT_CACHE/vantor-trixie-$(root_hash)"; }
# A root is complete when its mark (written last) names this recipe.
root_ready() { [ "$(cat "${1:-$(root_path)}/.vantor-root" 2>/dev/null)" = "$(root_hash)" ]; }

# Whether anything is mounted in or from DIR (a root in use).
mounts_under() {
    awk -v d="$1" '$5 == d || index($5, d "/") == 1 || $4 == d || index($4, d "/") == 1 { found = 1 }
        END { exit !found }' /proc/self/mountinfo
}

# Removes a root, refusing while something is mounted in it (removing
# would reach into the clone or /dev).
remove_root() {
    [ -e "$1" ] || return 0
    if mounts_under "$1"; then
        say "error: $1 has mounts in it (in use?): not removing it"
        return 1
    fi
    rm -rf "$1"
}

# run_in_new_root DIR COMMAND...: runs COMMAND in the root DIR with /proc
# and /dev mounted in a mount namespace of its own, so nothing stays
# mounted whatever happens to it.
run_in_new_root() {
    unshare --mount --propagation private sh -c '
        root=$1; shift
        mount -t proc proc "$root/proc" && mount --rbind /dev "$root/dev" && mount --make-rslave "$root/dev" &&
            exec chroot "$root" /usr/bin/env DEBIAN_FRONTEND=noninteractive LC_ALL=C.UTF-8 "$@"' _ "$@"
}

# The steps of one attempt at the root in DIR (made from nothing).
make_root_in() {
    local dir=$1
    remove_root "$dir" || return 1
    say "making a Debian 13 root in $dir (debootstrap, about a minute)"
    $DEBOOTSTRAP --variant=minbase trixie "$dir" "$TRIXIE_MIRROR" >"$ROOT_LOG" 2>&1 ||
        { say "debootstrap failed:"; tail -n 5 "$ROOT_LOG" | sed 's/^/    /' >&2; return 1; }
    cp /etc/resolv.conf "$dir/etc/resolv.conf" 2>/dev/null
    say "installing ${ROOT_PACKAGES[*]} in it"
    APT_GET="$ROOT_RUN $dir apt-get" SUDO="" apt_update
    APT_GET="$ROOT_RUN $dir apt-get" SUDO="" OS_RELEASE="$dir/etc/os-release" \
        apt_install "${ROOT_PACKAGES[@]}" || return 1
    fetch_i386_windows_dlls "$dir" || return 1
    $ROOT_RUN "$dir" apt-get clean >/dev/null 2>&1
    rm -rf "$dir"/var/lib/apt/lists/*
}

# Wine 10's amd64 libwine brings the 64-bit Windows DLLs and WoW64; the
# 32-bit ones are in libwine:i386. Its package of exactly the installed
# version is downloaded (with the i386 architecture known to apt in the
# root just for that) and only its i386-windows folder copied in: no i386
# package is installed.
fetch_i386_windows_dlls() {
    local dir=$1 version deb unpacked count
    version=$($ROOT_RUN "$dir" dpkg-query -W -f='${Version}' libwine 2>/dev/null) &&
        [ -n "$version" ] || { say "libwine is not installed in the root"; return 1; }
    say "fetching the 32-bit Windows DLLs: libwine:i386 $version"
    $ROOT_RUN "$dir" dpkg --add-architecture i386 || return 1
    APT_GET="$ROOT_RUN $dir apt-get" SUDO="" apt_update
    rm -f "$dir"/var/tmp/libwine_*_i386.deb
    $ROOT_RUN "$dir" sh -c 'cd /var/tmp && apt-get download -q "libwine:i386=$1"' _ "$version" >"$ROOT_LOG" 2>&1
    deb=$(ls "$dir"/var/tmp/libwine_*_i386.deb 2>/dev/null | head -n 1)
    $ROOT_RUN "$dir" dpkg --remove-architecture i386 2>/dev/null
    [ -n "$deb" ] || { say "could not download libwine:i386 $version:"; tail -n 5 "$ROOT_LOG" | sed 's/^/    /' >&2; return 1; }
    unpacked=$(mktemp -d)
    dpkg-deb -x "$deb" "$unpacked" &&
        count=$(find "$unpacked/usr/lib/i386-linux-gnu/wine/i386-windows" -maxdepth 1 -type f | wc -l) &&
        [ "$count" -gt 100 ] &&
        mkdir -p "$dir/usr/lib/x86_64-linux-gnu/wine/i386-windows" &&
        cp -a "$unpacked/usr/lib/i386-linux-gnu/wine/i386-windows/." "$dir/usr/lib/x86_64-linux-gnu/wine/i386-windows/"
    local status=$?
    rm -rf "$unpacked" "$deb"
    [ "$status" -eq 0 ] || { say "libwine:i386 $version held no i386 Windows DLLs"; return 1; }
    say "copied $count 32-bit Windows DLLs into the root"
}

# ensure_root: makes the root for this recipe unless it is complete. A
# half-made one (an interrupted run) is removed and made again; mirror
# trouble is retried. One maker at a time on the machine (a lock); roots
# of older recipes are removed when nothing uses them.
ensure_root() {
    local dir partial old
    dir=$(root_path)
    root_ready "$dir" && return 0
    mkdir -p "$VANTOR_ROOT_CACHE" || return 1
    exec 8>"$VANTOR_ROOT_CACHE/vantor-trixie.lock"
    if ! flock -w "${ROOT_LOCK_WAIT:-1800}" 8; then say "error: another run has held the root's lock too long"; return 1; fi
    if root_ready "$dir"; then exec 8>&-; return 0; fi
    partial="$dir.partial"
    if [ -e "$partial" ]; then say "a half-made root was left in $partial (interrupted): making it again"; fi
    remove_root "$partial" && remove_root "$dir" || { exec 8>&-; return 1; }
    ROOT_LOG=$(mktemp)
    local started=$SECONDS status
    RETRY_PAUSE=$APT_PAUSE retry "${ROOT_ATTEMPTS:-2}" "making the root" make_root_in "$partial"
    status=$?
    rm -f "$ROOT_LOG"
    if [ "$status" -eq 0 ]; then
        root_hash >"$partial/.vantor-root" && mv "$partial" "$dir" || status=1
    fi
    if [ "$status" -ne 0 ]; then
        remove_root "$partial"
        exec 8>&-
        return 1
    fi
    say "the Debian 13 root is ready in $dir ($(( SECONDS - started )) s, $(du -sm "$dir" | cut -f1) MB)"
    for old in "$VANTOR_ROOT_CACHE"/vantor-trixie-*; do
        [ "$old" = "$dir" ] || [ ! -d "$old" ] && continue
        case "$old" in *.partial) mounts_under "$old" || rm -rf "$old"; continue ;; esac
        mounts_under "$old" || { say "removing $old (an older recipe)"; rm -rf "$old"; }
    done
    exec 8>&-
}

# --- apt ------------------------------------------------------------------

# apt-get update, retried; a failing index is a warning, not the end: the
# lists that did arrive (or the old ones) are still used.
apt_update() {
    RETRY_PAUSE=$APT_PAUSE retry "$APT_RETRIES" "apt-get update" apt_update_once ||
        say "warning: going on with the package lists apt already has"
    return 0
}

apt_update_once() {
    local log status=0
    log=$(mktemp)
    if ! $SUDO $APT_GET update -q >"$log" 2>&1; then
        status=1
        say "warning: apt-get update failed:"
        grep -E '^(E|W|Err):' "$log" | head -n 5 | sed 's/^/    /' >&2
    fi
    rm -f "$log"
    return "$status"
}

# The release's own suite (bookworm on Debian 12), from os-release.
release_suite() {
    local file=${OS_RELEASE:-/etc/os-release}
    (. "$file" 2>/dev/null && echo "${VERSION_CODENAME:-}")
}

# Installs packages. When apt cannot resolve them (a multi-arch library at
# one version on amd64 and another on i386, as while a mirror syncs), it
# tries again with the release's own suite as target, where both
# architectures agree.
apt_install() {
    local log suite
    log=$(mktemp)
    if $SUDO $APT_GET install -y -q --no-install-recommends "$@" >"$log" 2>&1; then
        rm -f "$log"; return 0
    fi
    suite=$(release_suite)
    if grep -qE 'held broken packages|Unable to correct problems|but .* is to be installed|Depends:' "$log" && [ -n "$suite" ]; then
        say "apt could not match the i386 and amd64 versions; trying again with the release's own suite as target (-t $suite)"
        if $SUDO $APT_GET install -y -q --no-install-recommends -t "$suite" "$@" >"$log" 2>&1; then
            say "installed from $suite"
            rm -f "$log"; return 0
        fi
    fi
    say "apt-get install failed:"
    tail -n 20 "$log" | sed 's/^/    /' >&2
    rm -f "$log"
    return 1
}
