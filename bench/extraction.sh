#!/usr/bin/env bash
# Writing a 200 MB embedded resource out under Wine, against dd writing the same bytes to
# the same folder in the same run, and the launcher's peak working set while it does so.
#   bench/extraction.sh [cross build folder]     (default: build/cross-x86_64)
# payload-probe carries the bytes as a CUSTOM resource, as setup.exe carries its package.
# "worker" is the extraction worker alone; "page" the whole extraction page around it,
# whose first timer tick (333 ms) ends it at the earliest. Best of three rounds each.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/cross-x86_64}
probe=$build/tests/win32tools/payload-probe.exe
set_settings=$build/tests/win32tools/set-settings.exe
for f in "$probe" "$set_settings"; do
  [ -f "$f" ] || { echo "no $f: build the cross tree first (tools/test.sh)"; exit 1; }
done
wine=${SETUP_E2E_WINE:-/usr/lib/wine/wine64}
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
size=$(( ${EXTRACTION_BENCH_MB:-200} * 1024 * 1024 ))

work=$(mktemp -d /tmp/extraction-bench.XXXXXX)
xvfb_pid= wm_pid=
cleanup() {
  WINEPREFIX=$work/prefix wineserver -k 2>/dev/null || true
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

SETUP_E2E_WINE=$wine "$root/tools/wine/prepare-prefix.sh" "$work/prefix" >/dev/null
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
display=:$((200 + RANDOM % 500))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
sleep 1
# A window manager, as on a desktop: without one, Wine waits for each new window to map.
LC_ALL=C twm -f "$root/tools/wine/twmrc" >/dev/null 2>&1 &
wm_pid=$!
sleep 0.3

drive_c=$WINEPREFIX/drive_c
head -c "$size" /dev/urandom > "$work/payload.bin"
cp "$probe" "$drive_c/probe.exe"
"$wine" "$set_settings" 'C:\probe.exe' --resource BIG "Z:${work//\//\\}\\payload.bin"
cat "$drive_c/probe.exe" > /dev/null  # both sides start from the page cache

ms_of() { python3 -c 'import json,sys; r=json.load(open(sys.argv[1])); print(r["ms"] if r["result"] == 0 else "failed")' "$1"; }
peak_of() { python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["peak_working_set"])' "$1"; }
best() { sort -n | head -1; }

dd_runs=() worker_runs=() page_runs=() peaks=()
for round in 1 2 3; do
  rm -f "$drive_c/out.bin"
  start=$(date +%s%N)
  dd if="$work/payload.bin" of="$drive_c/out.bin" bs=1M status=none
  dd_runs+=($(( ($(date +%s%N) - start) / 1000000 )))
  rm -f "$drive_c/out.bin"
  "$wine" 'C:\probe.exe' --out 'C:\worker.json' write BIG 'C:\out.bin'
  cmp -s "$work/payload.bin" "$drive_c/out.bin" || { echo "the written file differs from the resource"; exit 1; }
  worker_runs+=("$(ms_of "$drive_c/worker.json")")
  peaks+=("$(peak_of "$drive_c/worker.json")")
  rm -f "$drive_c/out.bin"
  "$wine" 'C:\probe.exe' --out 'C:\page.json' extract BIG 'C:\out.bin'
  page_runs+=("$(ms_of "$drive_c/page.json")")
  peaks+=("$(peak_of "$drive_c/page.json")")
done

dd_ms=$(printf '%s\n' "${dd_runs[@]}" | best)
worker_ms=$(printf '%s\n' "${worker_runs[@]}" | best)
page_ms=$(printf '%s\n' "${page_runs[@]}" | best)
peak=$(printf '%s\n' "${peaks[@]}" | sort -n | tail -1)
printf 'resource                 %6d MB\n' $((size / 1048576))
printf 'dd bs=1M                 %6d ms   (rounds: %s)\n' "$dd_ms" "${dd_runs[*]}"
printf 'extraction worker        %6d ms   (rounds: %s)\n' "$worker_ms" "${worker_runs[*]}"
printf 'extraction page          %6d ms   (rounds: %s)\n' "$page_ms" "${page_runs[*]}"
awk -v d="$dd_ms" -v w="$worker_ms" -v p="$page_ms" 'BEGIN {
  printf "speed ratio, worker      %6.2f   (dd time / worker time; goal at least 0.7)\n", d / (w > 0 ? w : 1)
  printf "speed ratio, page        %6.2f   (dd time / page time)\n", d / (p > 0 ? p : 1) }'
awk -v peak="$peak" -v size="$size" 'BEGIN {
  limit = size + 64 * 1048576
  printf "peak working set         %6.1f MB (goal at most %.1f MB: resource + 64 MB; ratio %.2f)\n",
         peak / 1048576, limit / 1048576, peak / limit }'
