#!/usr/bin/env bash
# Builds the demo product and runs its setup.exe under Wine: on the current display when
# there is one, otherwise on a virtual display with screenshots written to
# build/demo-screenshots/ (every page in English and German, and the English pages at
# 150 % as en_US-150-*.png).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

tools/install-deps.sh
source tools/wine-env.sh

build="build/cross-$SETUP_RUN_ARCH"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-mingw-$SETUP_RUN_ARCH.cmake" >/dev/null
cmake --build "$build" -j"$(nproc)"

export WINEPREFIX="${WINEPREFIX:-$root/build/demo-prefix}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
tools/wine/prepare-prefix.sh "$WINEPREFIX"

setup_exe="$build/products/demo/setup.exe"
echo "Running $setup_exe"
if [ -n "${DISPLAY:-}" ]; then
  "$SETUP_WINE" "$setup_exe"
  exit 0
fi

# No display: walk the demo's wizard on a virtual display in English and German, the way
# the end-to-end scenario does, and keep a screenshot of every page.
shots="$root/build/demo-screenshots"
work="$root/build/demo-walk"
rm -rf "$shots"
SETUP_E2E_WORK="$work" SETUP_CROSS_BUILD_DIR="$root/$build" \
  /usr/bin/python3 -m pytest -q tests/e2e/test_wizard_walk.py -k full_installation
mkdir -p "$shots"
for folder in "$work"/screenshots/*full_installation*; do
  language=$(basename "$folder" | sed -E 's/.*(en_US|de_DE).*/\1/')
  for shot in "$folder"/*.png; do
    cp "$shot" "$shots/$language-$(basename "$shot")"
  done
done
# The English walk again at 150 % (144 DPI), each shot cut to the page's window as
# docs/gallery shows it.
rm -rf "$work"/screenshots
SETUP_E2E_DPI=144 SETUP_E2E_WORK="$work" SETUP_CROSS_BUILD_DIR="$root/$build" \
  /usr/bin/python3 -m pytest -q tests/e2e/test_wizard_walk.py -k "full_installation and en_US"
for shot in "$work"/screenshots/*full_installation*en_US*/*.png; do
  convert "$shot" -trim +repage "$shots/en_US-150-$(basename "$shot")"
done
echo "Screenshots of every page: $shots"
