#!/bin/sh
# Creates the 64-bit (WOW64) Wine prefix that end-to-end tests copy per scenario.
# Usage: tools/wine/prepare-prefix.sh <prefix-dir>
# Idempotent: a complete prefix (marker file present) is left as it is. An incomplete one,
# e.g. from an interrupted run, is removed and made anew.
set -eu

if [ $# -ne 1 ]; then
    echo "usage: $0 <prefix-dir>" >&2
    exit 2
fi

prefix=$1
case $prefix in
    /*) ;;
    *) prefix=$(pwd)/$prefix ;;
esac
marker=$prefix/.setup-e2e-prefix-ready

if [ -f "$marker" ]; then
    exit 0
fi

# Two test sessions starting together must not build the same prefix at once.
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
if [ -f "$marker" ]; then
    exit 0
fi

# The Debian `wine` wrapper prefers the 32-bit loader, which some kernels cannot execute
# (no IA32 emulation); wine64 starts 32-bit programs itself where the host allows it.
wine=${SETUP_E2E_WINE:-}
if [ -z "$wine" ]; then
    for candidate in /usr/lib/wine/wine64 "$(command -v wine64 || true)" "$(command -v wine || true)"; do
        if [ -n "$candidate" ] && [ -x "$candidate" ]; then
            wine=$candidate
            break
        fi
    done
fi
wineserver=${SETUP_E2E_WINESERVER:-}
if [ -z "$wineserver" ]; then
    for candidate in /usr/lib/wine/wineserver64 "$(command -v wineserver || true)"; do
        if [ -n "$candidate" ] && [ -x "$candidate" ]; then
            wineserver=$candidate
            break
        fi
    done
fi
if [ -z "$wine" ] || [ -z "$wineserver" ]; then
    echo "$0: wine64 / wineserver not found (Debian packages wine, wine64)" >&2
    exit 1
fi

if [ -e "$prefix" ]; then
    echo "$0: removing incomplete prefix $prefix" >&2
    WINEPREFIX=$prefix "$wineserver" -k 2>/dev/null || true
    rm -rf "$prefix"
fi

# The emulated 32-bit Wine (tools/wine/setup-i386-wine.sh) names what its programs need.
if [ -n "${SETUP_E2E_WINE_ENV:-}" ]; then
    set -a
    . "$SETUP_E2E_WINE_ENV"
    set +a
fi
export WINEPREFIX="$prefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
       WINELOADER="$wine"
# wineboot must not open windows on whatever display the caller happens to have.
unset DISPLAY WAYLAND_DISPLAY

"$wine" wineboot -i >/dev/null 2>&1 || {
    echo "$0: wineboot failed for $prefix" >&2
    exit 1
}
# Registry and fake DLLs are only complete once the server has written them out.
"$wineserver" -w

# wineboot leaves syswow64 empty for the emulated loader: fill it, then let the update
# register the 32-bit side.
if [ -n "${SETUP_E2E_SYSWOW64:-}" ]; then
    cp "$SETUP_E2E_SYSWOW64"/* "$prefix/drive_c/windows/syswow64/"
    "$wine" wineboot -u >/dev/null 2>&1 || {
        echo "$0: wineboot -u failed for $prefix" >&2
        exit 1
    }
    "$wineserver" -w
fi

# Dialog fonts: "MS Shell Dlg" maps to Tahoma, which Wine only finds inside the prefix.
fonts=$prefix/drive_c/windows/Fonts
mkdir -p "$fonts"
for font in tahoma.ttf tahomabd.ttf; do
    if [ -f "/usr/share/wine/fonts/$font" ]; then
        cp "/usr/share/wine/fonts/$font" "$fonts/"
    fi
done
if [ ! -f "$fonts/tahoma.ttf" ]; then
    echo "$0: warning: /usr/share/wine/fonts/tahoma.ttf missing (Debian package fonts-wine);" \
         "dialogs will not get Windows metrics" >&2
fi

if [ ! -f "$prefix/system.reg" ] || [ ! -d "$prefix/drive_c/windows/system32" ]; then
    echo "$0: prefix $prefix is incomplete after wineboot" >&2
    exit 1
fi
date -u +%Y-%m-%dT%H:%M:%SZ > "$marker"
