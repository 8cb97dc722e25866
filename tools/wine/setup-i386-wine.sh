#!/usr/bin/env bash
# Prepares a Wine that runs the 32-bit (i686) build, and prints how to use it.
#
# Where the kernel executes 32-bit programs, that is Debian's wine32:i386 as installed.
# Elsewhere it is emulated (WINE-NOTES.md, "32-bit programs on a 64-bit-only kernel"):
# the i386 Wine of exactly the installed wine64 version, unpacked from Debian's packages
# into a cache folder (never installed: the system's dpkg architectures stay as they are),
# run by a static qemu-i386 from Debian 13 that binfmt_misc hands every i386 ELF program.
# The cache is keyed by the Wine version, so a prepared machine answers in about a second.
#
# Usage: tools/wine/setup-i386-wine.sh
# Output: shell assignments, one a line, for tools/smoke32.sh and the end-to-end harness:
#   SETUP_E2E_WINE        the loader (64-bit; hands 32-bit programs to its sibling `wine`)
#   SETUP_E2E_WINESERVER  the wineserver
#   SETUP_E2E_WINE_ENV    (emulated only) file of NAME='value' lines every Wine program needs
# Exit status: 0 ready; 3 this machine cannot do it, the reason as one line on stderr;
# 1 a step failed that should not (see the log it names).
#
# Environment: SETUP_I386_WINE_CACHE (default /var/cache/setup-launcher/i386-wine),
# SETUP_DEBIAN_MIRROR (default http://deb.debian.org), SETUP_DEBIAN_SECURITY_MIRROR.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

cache=${SETUP_I386_WINE_CACHE:-/var/cache/setup-launcher/i386-wine}
mirror=${SETUP_DEBIAN_MIRROR:-http://deb.debian.org}
security_mirror=${SETUP_DEBIAN_SECURITY_MIRROR:-$mirror}
keyring=/usr/share/keyrings/debian-archive-keyring.gpg
binfmt=/proc/sys/fs/binfmt_misc
binfmt_name=setup-launcher-i386
# i386 ELF executables and shared objects, as Debian's qemu-user registers them. The mask
# keeps EI_ABIVERSION, so kernel-runs-i386.sh's probe (ABI version 1) never reaches qemu.
binfmt_magic='\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
binfmt_mask='\xff\xff\xff\xff\xff\xfe\xfe\xfc\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
log=${TMPDIR:-/tmp}/setup-i386-wine.log

impossible() {
    echo "$*" >&2
    exit 3
}

failed() {
    echo "setup-i386-wine: $* (log: $log)" >&2
    exit 1
}

# ---------------------------------------------------------------- native 32-bit kernel

kernel=0
"$here/kernel-runs-i386.sh" || kernel=$?
case $kernel in
    0)
        if /usr/lib/wine/wine --version >/dev/null 2>&1; then
            echo "SETUP_E2E_WINE=/usr/lib/wine/wine64"
            echo "SETUP_E2E_WINESERVER=/usr/lib/wine/wineserver64"
            exit 0
        fi
        impossible "the kernel runs 32-bit programs, but wine32:i386 is not installed (tools/install-deps.sh installs it)"
        ;;
    1) ;;
    *) impossible "cannot tell whether the kernel runs 32-bit programs (the probe programs did not run)" ;;
esac

# ---------------------------------------------------------------- emulated

[ -x /usr/lib/wine/wine64 ] && [ -x /usr/lib/wine/wineserver64 ] ||
    impossible "wine64 is not installed (Debian package wine64)"
version=$(dpkg-query -W -f='${Version}' wine64 2>/dev/null) ||
    impossible "wine64 is not installed (Debian package wine64)"
tree=$cache/${version//:/_}
qemu=$tree/qemu-i386
env_file=$tree/wine32.env
root_needed="needs root to register qemu-i386 with binfmt_misc and to write $cache"

# binfmt_misc hands i386 programs to our qemu-i386. The registration is machine-wide and
# survives until reboot; flag F opens the emulator now, so it works inside any mount space.
register_qemu() {
    if [ ! -e "$binfmt/register" ]; then
        [ "$(id -u)" -eq 0 ] || impossible "$root_needed"
        mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null ||
            impossible "cannot mount binfmt_misc at $binfmt (not allowed here)"
    fi
    grep -qx enabled "$binfmt/status" || impossible "binfmt_misc is disabled on this machine"
    local entry=$binfmt/$binfmt_name
    if [ -e "$entry" ]; then
        if grep -qx enabled "$entry" && grep -qxF "interpreter $qemu" "$entry"; then
            return 0
        fi
        [ "$(id -u)" -eq 0 ] || impossible "$root_needed"
        echo -1 >"$entry" || impossible "cannot replace the binfmt_misc entry $entry"
    fi
    [ "$(id -u)" -eq 0 ] || impossible "$root_needed"
    printf '%s' ":$binfmt_name:M::$binfmt_magic:$binfmt_mask:$qemu:F" >"$binfmt/register" 2>/dev/null ||
        impossible "binfmt_misc refuses the qemu-i386 registration (not allowed here)"
}

print_env() {
    echo "SETUP_E2E_WINE=$tree/usr/lib/wine/wine64"
    echo "SETUP_E2E_WINESERVER=/usr/lib/wine/wineserver64"
    echo "SETUP_E2E_WINE_ENV=$env_file"
}

# The i386 loader, started through binfmt_misc and qemu, must answer with the right version.
check_loader() {
    local out
    out=$(env QEMU_LD_PREFIX="$tree/i386" timeout 60 "$tree/usr/lib/wine/wine" --version 2>&1) || true
    case $out in
        *"$version"*) return 0 ;;
    esac
    echo "i386 loader check: $out" >>"$log" 2>/dev/null || echo "i386 loader check: $out" >&2
    return 1
}

if [ -f "$tree/.ready" ]; then
    register_qemu
    check_loader || failed "the cached i386 Wine in $tree does not start through qemu-i386"
    print_env
    exit 0
fi

[ "$(id -u)" -eq 0 ] || impossible "$root_needed"
command -v x86_64-w64-mingw32-gcc >/dev/null ||
    impossible "x86_64-w64-mingw32-gcc is missing (Debian package gcc-mingw-w64-x86-64)"
mkdir -p "$cache" || impossible "cannot create $cache"
free_kb=$(df -Pk "$cache" | awk 'NR == 2 { print $4 }')
[ "${free_kb:-0}" -ge 2000000 ] || impossible "needs about 2 GB free under $cache"

# Two runs at once share the work instead of doing it twice.
exec 9>"$cache/.lock"
flock 9
if [ -f "$tree/.ready" ]; then
    register_qemu
    check_loader || failed "the cached i386 Wine in $tree does not start through qemu-i386"
    print_env
    exit 0
fi

: >"$log"
work=$tree.partial
rm -rf "$work" "$tree"
mkdir -p "$work"
trap 'rm -rf "$work"' EXIT  # a tree left half made is of no use

# An apt of our own: own sources, indexes, cache and an empty dpkg status, so that it
# resolves the whole closure and touches nothing of the system's package state.
apt_dir() {
    local d=$cache/apt/$1
    mkdir -p "$d/lists/partial" "$d/cache/archives/partial" "$d/state" "$d/parts" "$d/prefs"
    : >"$d/state/status"
    echo "$d"
}
apt_opts() {
    local d=$1
    shift
    printf '%s\n' -o "Dir::Etc::sourcelist=$d/sources.list" -o "Dir::Etc::sourceparts=$d/parts" \
        -o "Dir::Etc::preferences=$d/prefs/none" -o "Dir::Etc::preferencesparts=$d/prefs" \
        -o "Dir::State=$d/state" -o "Dir::State::Lists=$d/lists" \
        -o "Dir::State::status=$d/state/status" -o "Dir::Cache=$d/cache" \
        -o "Debug::NoLocking=1" -o "Acquire::Languages=none" -o "Acquire::Retries=3" \
        -o "APT::Sandbox::User=root" -o "APT::Architecture=amd64" -o "APT::Architectures::=amd64"
    local a
    for a in "$@"; do
        printf '%s\n' -o "APT::Architectures::=$a"
    done
}

# Index updates that survive a mirror in mid-sync.
. "$here/../apt-update.sh"
apt_update() { update_package_indexes "$log" apt-get "$@" || true; }

# apt's own reason, on one line: its last error, else its first warning.
apt_error() {
    { grep -E '^E:' "$log" | tail -n 1; grep -E '^W:' "$log" | head -n 1; } | head -n 1 |
        sed -E 's/^[EW]: //; s/ +/ /g'
}

# Without the main index of a suite nothing can be downloaded: the archive is out of reach.
need_index() {
    compgen -G "$1/lists/*_dists_$2_main_binary-$3_Packages*" >/dev/null ||
        impossible "cannot reach Debian's package archive at $mirror (no $2 $3 index: $(apt_error))"
}

# qemu-i386 of Debian 13: Debian 12's 7.2 hangs when Wine starts processes.
trixie=$(apt_dir trixie)
echo "deb [arch=amd64 signed-by=$keyring] $mirror/debian trixie main" >"$trixie/sources.list"
mapfile -t trixie_opts < <(apt_opts "$trixie")
apt_update "${trixie_opts[@]}"
need_index "$trixie" trixie amd64
mkdir -p "$work/debs"
(cd "$work/debs" && apt-get "${trixie_opts[@]}" download qemu-user >>"$log" 2>&1) ||
    impossible "cannot download qemu-user from Debian 13 ($(apt_error))"
dpkg-deb --fsys-tarfile "$work"/debs/qemu-user_*.deb | tar -xO ./usr/bin/qemu-i386 >"$work/qemu-i386" ||
    failed "qemu-i386 not found in the qemu-user package"
chmod 755 "$work/qemu-i386"
"$work/qemu-i386" --version >>"$log" 2>&1 || failed "qemu-i386 does not run"
rm -f "$work"/debs/*.deb

# Debian 12's i386 Wine, the very version of the installed wine64, with its libraries.
bookworm=$(apt_dir bookworm-i386)
{
    echo "deb [arch=amd64,i386 signed-by=$keyring] $mirror/debian bookworm main"
    echo "deb [arch=amd64,i386 signed-by=$keyring] $mirror/debian bookworm-updates main"
    echo "deb [arch=amd64,i386 signed-by=$keyring] $security_mirror/debian-security bookworm-security main"
} >"$bookworm/sources.list"
mapfile -t bookworm_opts < <(apt_opts "$bookworm" i386)
apt_update "${bookworm_opts[@]}"
need_index "$bookworm" bookworm i386
rm -f "$bookworm"/cache/archives/*.deb
apt-get "${bookworm_opts[@]}" -y -q --download-only --no-install-recommends \
    install "wine32:i386=$version" >>"$log" 2>&1 ||
    impossible "cannot download wine32:i386 $version from Debian 12 ($(apt_error))"

# Only the i386 side and the MinGW zlib (arch all) that Debian's 32-bit user32 loads.
debs=("$bookworm"/cache/archives/*_i386.deb "$bookworm"/cache/archives/libz-mingw-w64_*_all.deb)
for deb in "${debs[@]}"; do
    [ -f "$deb" ] || failed "expected package missing from the download: $deb"
    dpkg-deb -x "$deb" "$work/i386" || failed "cannot unpack $deb"
done
rm -f "$bookworm"/cache/archives/*.deb
[ -x "$work/i386/usr/lib/wine/wine" ] || failed "the i386 loader is not in the unpacked packages"

# qemu reads the root's own ld.so.cache; without one, 32-bit Wine finds no FreeType.
[ -f "$work/i386/etc/ld.so.conf" ] || echo 'include /etc/ld.so.conf.d/*.conf' >"$work/i386/etc/ld.so.conf"
ldconfig -r "$work/i386" >>"$log" 2>&1 || failed "ldconfig -r $work/i386 failed"

# The loader folder. Wine finds its libraries and data relative to its own binary
# (../<triplet>/wine, ../../share/wine), so it is laid out like /usr; wine64 hands 32-bit
# programs to `wine` beside itself. Links are relative: the tree is renamed when done.
mkdir -p "$work/usr/lib/wine" "$work/usr/lib/x86_64-linux-gnu" "$work/usr/lib/i386-linux-gnu" "$work/usr/share"
cp /usr/lib/wine/wine64 "$work/usr/lib/wine/wine64"
ln -s ../../../i386/usr/lib/wine/wine "$work/usr/lib/wine/wine"
ln -s /usr/lib/x86_64-linux-gnu/wine "$work/usr/lib/x86_64-linux-gnu/wine"
ln -s ../../../i386/usr/lib/i386-linux-gnu/wine "$work/usr/lib/i386-linux-gnu/wine"
ln -s /usr/share/wine "$work/usr/share/wine"

# What a new prefix's syswow64 needs: wineboot does not fill it for this loader.
mkdir -p "$work/syswow64"
cp -al "$work/i386/usr/lib/i386-linux-gnu/wine/i386-windows/." "$work/syswow64/"
cp -l "$work/i386/usr/i686-w64-mingw32/lib/zlib1.dll" "$work/syswow64/"

x86_64-w64-mingw32-gcc -Os -s -mwindows -Wall -Wextra -o "$work/desktop-holder.exe" \
    "$here/desktop-holder.c" >>"$log" 2>&1 || failed "cannot build desktop-holder.exe"
rmdir "$work/debs"

mv "$work" "$tree"
register_qemu
check_loader || failed "the unpacked i386 Wine does not start through qemu-i386"
cat >"$env_file" <<EOF
WINEDLLPATH='$tree/i386/usr/lib/i386-linux-gnu/wine'
QEMU_LD_PREFIX='$tree/i386'
SETUP_E2E_SYSWOW64='$tree/syswow64'
SETUP_E2E_DESKTOP_HOLDER='$tree/desktop-holder.exe'
EOF
date -u +%Y-%m-%dT%H:%M:%SZ >"$tree/.ready"
# Trees of other Wine versions are of no more use.
for old in "$cache"/*/; do
    old=${old%/}
    [ "$old" = "$tree" ] || [ "$old" = "$cache/apt" ] || rm -rf "$old"
done
print_env
