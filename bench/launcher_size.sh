#!/usr/bin/env bash
# Size of the shipped launcher without payload, against a plain static MessageBox program
# built by the same compiler with the same flags in this run, and where the bytes go.
#   bench/launcher_size.sh [cross build folder]     (default: build/cross-i686)
# The launcher is products/fixture-no-settings/setup.exe: setup.exe with its pages and
# resources but no settings document and no installer payload.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/cross-i686}
launcher=$build/products/fixture-no-settings/setup.exe
[ -f "$launcher" ] || { echo "no $launcher: build the cross tree first (tools/test.sh)"; exit 1; }
case $build in
  *x86_64*) prefix=x86_64-w64-mingw32 ;;
  *)        prefix=i686-w64-mingw32 ;;
esac

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat > "$work/reference.cpp" <<'CPP'
#include <windows.h>
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return MessageBoxW(nullptr, L"Reference", L"Reference", MB_OK) == IDOK ? 0 : 1;
}
CPP
"$prefix-g++" -Os -municode -mwindows -static -static-libgcc -static-libstdc++ -Wl,--gc-sections -s \
  -o "$work/reference.exe" "$work/reference.cpp"

size_of() { stat -c %s "$1"; }
launcher_bytes=$(size_of "$launcher")
reference_bytes=$(size_of "$work/reference.exe")
goal=$((600 * 1024))
printf 'launcher without payload  %9d bytes (goal %d)\n' "$launcher_bytes" "$goal"
printf 'plain MessageBox program  %9d bytes\n' "$reference_bytes"
awk -v a="$launcher_bytes" -v b="$reference_bytes" 'BEGIN { printf "ratio                     %9.2f\n", a / b }'

echo
echo "sections of the launcher (bytes):"
"$prefix-objdump" -h "$launcher" | while read -r index name size _; do
  if [[ $index =~ ^[0-9]+$ ]]; then printf '  %-10s %9d\n' "$name" "$((16#$size))"; fi
done

echo
echo "code and constants per library (bytes, before the linker drops unused functions):"
for lib in "$build"/platform/libsetup_platform.a "$build"/platform/win32/libsetup_win32.a \
           "$build"/text/libsetup_text.a "$build"/config/libsetup_config.a "$build"/ui/libsetup_ui.a \
           "$build"/ui/win32/libsetup_ui_win32.a "$build"/install/libsetup_install.a \
           "$build"/download/libsetup_download.a "$build"/app/libsetup_app.a; do
  [ -f "$lib" ] || continue
  "$prefix-size" -t "$lib" | awk -v name="$(basename "$lib" .a)" 'END { printf "  %-22s %9d\n", name, $1 + $2 }'
done
