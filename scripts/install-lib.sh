# The installer's decisions, as functions (sourced by install-deps.sh and by
# tests/scripts/install_lib_test.sh, which drives them with stand-in commands).
#
# Every command these functions run goes through a variable, so a test can
# replace it: APT_GET, DPKG, PROBE_RUN, BINFMT_DIR, MOUNT, SLEEP.
: "${APT_GET:=apt-get}"
: "${MOUNT:=mount}"
: "${SLEEP:=sleep}"
: "${BINFMT_DIR:=/proc/sys/fs/binfmt_misc}"
: "${APT_RETRIES:=3}"
: "${APT_PAUSE:=10}"

say() { echo "install-deps: $*" >&2; }

# --- 32-bit programs -------------------------------------------------------

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

# Runs the probe; success when it exited with 42.
runs_i386() {
    local dir probe rc
    dir=$(mktemp -d)
    probe="$dir/i386-probe"
    write_i386_probe "$probe"
    if [ -n "${PROBE_RUN:-}" ]; then
        $PROBE_RUN "$probe" >/dev/null 2>&1; rc=$?
    else
        "$probe" >/dev/null 2>&1; rc=$?
    fi
    rm -rf "$dir"
    [ "$rc" -eq 42 ]
}

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

# --- apt ------------------------------------------------------------------

# apt-get update, retried; a failing index is a warning, not the end: the
# lists that did arrive (or the old ones) are still used.
apt_update() {
    local attempt log
    log=$(mktemp)
    for attempt in $(seq 1 "$APT_RETRIES"); do
        if $SUDO $APT_GET update -q >"$log" 2>&1; then
            rm -f "$log"; return 0
        fi
        say "warning: apt-get update failed (attempt $attempt of $APT_RETRIES):"
        grep -E '^(E|W|Err):' "$log" | head -n 5 | sed 's/^/    /' >&2
        [ "$attempt" -lt "$APT_RETRIES" ] && $SLEEP "$APT_PAUSE"
    done
    rm -f "$log"
    say "warning: going on with the package lists apt already has"
    return 0
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
