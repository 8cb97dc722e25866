#!/usr/bin/env bash
# The 32-bit smoke tier: a few end-to-end scenarios (pytest marker smoke32) run against the
# shipped 32-bit build under 32-bit Wine, emulated where the kernel refuses 32-bit programs
# (tools/wine/setup-i386-wine.sh). Builds nothing: it expects build/cross-i686.
# Exit status: pytest's; 0 with one line "32-bit smoke tier skipped: <reason>" when this
# machine cannot run the tier at all.
#
# Environment: SETUP_SMOKE32_BUILD_DIR (default <repo>/build/cross-i686),
# SETUP_SMOKE32_WORK (default /tmp/smoke32-e2e: prefixes, screenshots, logs).
# Extra arguments go to pytest (e.g. -x, -k NAME).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SETUP_SMOKE32_BUILD_DIR:-$root/build/cross-i686}
work=${SETUP_SMOKE32_WORK:-/tmp/smoke32-e2e}

skipped() {
    echo "32-bit smoke tier skipped: $*"
    exit 0
}

for f in tests/driver/uidriver.exe products/demo/setup.exe tests/platform/platform_tests.exe; do
    [ -f "$build/$f" ] || skipped "$build is not built ($f missing; cmake --build it first)"
done
machine=$(cd "$root/tests/e2e" && /usr/bin/python3 -c \
    'import sys; from harness.wine import pe_machine; print(pe_machine(sys.argv[1]))' \
    "$build/products/demo/setup.exe")
if [ "$machine" != x86 ]; then
    echo "32-bit smoke tier failed: $build holds $machine programs, not 32-bit ones" >&2
    exit 1
fi

start=$(date +%s)
env_out=$(mktemp "${TMPDIR:-/tmp}/smoke32-env.XXXXXX")
reason=$(mktemp "${TMPDIR:-/tmp}/smoke32-reason.XXXXXX")
trap 'rm -f "$env_out" "$reason"' EXIT
status=0
"$root/tools/wine/setup-i386-wine.sh" >"$env_out" 2>"$reason" || status=$?
case $status in
    0) ;;
    3) skipped "$(head -n 1 "$reason")" ;;
    *)
        cat "$reason" >&2
        echo "32-bit smoke tier failed: the 32-bit Wine could not be prepared" >&2
        exit 1
        ;;
esac
set -a
. "$env_out"
set +a
prepared=$(date +%s)

export SETUP_CROSS_BUILD_DIR=$build SETUP_E2E_WORK=$work
status=0
/usr/bin/python3 -m pytest -q -m smoke32 -p no:cacheprovider "$root/tests/e2e" "$@" || status=$?
echo "32-bit smoke tier: $([ "$status" -eq 0 ] && echo passed || echo FAILED) in" \
     "$(($(date +%s) - start)) s (32-bit Wine ready after $((prepared - start)) s)"
exit "$status"
