#!/usr/bin/env bash
# Builds the demo product and runs its setup.exe under Wine on the current display.
# Without a display (DISPLAY unset) it walks the product on a virtual display instead, from
# the start page to the installed program, and regenerates the README's gallery from the
# walk: docs/gallery/*.png (each window cut out of the screen, and English pages at 150 %
# as en-150-*.png) and every full-screen picture in build/demo-screenshots/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

tools/install-deps.sh
source tools/wine-env.sh

build_tree() {
  local arch=$1 build="build/cross-$1"
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-mingw-$arch.cmake" >/dev/null
  cmake --build "$build" -j"$(nproc)"
}

if [ -n "${DISPLAY:-}" ]; then
  build_tree "$SETUP_RUN_ARCH"
  export WINEPREFIX="${WINEPREFIX:-$root/build/demo-prefix}"
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  tools/wine/prepare-prefix.sh "$WINEPREFIX"
  setup_exe="build/cross-$SETUP_RUN_ARCH/products/demo/setup.exe"
  echo "Running $setup_exe"
  "$SETUP_WINE" "$setup_exe"
  exit 0
fi

# No display: the walk runs the end-to-end scenarios that show each part of a run, on the
# 64-bit build the full tier uses (emulated 32-bit Wine would make it several times slower).
build_tree x86_64
started=$(date +%s)
shots="$root/build/demo-screenshots"
gallery="$root/docs/gallery"
work="$root/build/demo-walk"
rm -rf "$shots" "$work/screenshots"
scenarios=(
  tests/e2e/test_wizard_walk.py::test_full_installation_pages_forward_and_back
  tests/e2e/test_demo_product.py
  tests/e2e/test_package_launch.py::test_the_portable_edition_installs_its_three_packages_in_turn
  tests/e2e/test_downloads.py::test_a_slow_single_file_download_shows_its_figures_while_it_runs
  tests/e2e/test_individual_setup.py::test_an_individual_setup_is_made_stays_signed_and_installs_unattended_elsewhere
  tests/e2e/test_client_installation.py::test_a_client_installation_clicked_through_links_registers_the_extension_and_says_so
)
status=0
SETUP_E2E_WORK="$work" SETUP_CROSS_BUILD_DIR="$root/build/cross-x86_64" \
  /usr/bin/python3 -m pytest -q -p no:cacheprovider "${scenarios[@]}" || status=$?

# Every picture, named by its scenario and label.
mkdir -p "$shots"
for folder in "$work"/screenshots/*/; do
  scenario=$(basename "$folder")
  for shot in "$folder"*.png; do
    cp "$shot" "$shots/$scenario-$(basename "$shot")"
  done
done

if [ "$status" -ne 0 ]; then
  # A scenario that failed may have pictured the wrong page: the gallery stays as it was.
  echo "demo: a scenario failed (pytest status $status); pictures in $shots, gallery unchanged" >&2
  exit "$status"
fi

# The gallery: scenario folder (a glob), picture label, gallery name, and "optional" for
# a picture of a page that may be gone before it is taken (the earlier picture stays). A
# label taken more than once in a scenario gives its first picture.
gallery_table="
*wizard_walk*en_US*   start                     en-start
*wizard_walk*en_US*   user-group                en-user-group
*wizard_walk*en_US*   circuit-folder            en-circuit-folder
*wizard_walk*en_US*   videos                    en-videos
*wizard_walk*en_US*   material                  en-material
*wizard_walk*en_US*   presentations             en-presentations
*wizard_walk*de_DE*   start                     de-start
*wizard_walk*de_DE*   user-group                de-user-group
*wizard_walk*de_DE*   circuit-folder            de-circuit-folder
*wizard_walk*de_DE*   videos                    de-videos
*wizard_walk*de_DE*   material                  de-material
*wizard_walk*de_DE*   presentations             de-presentations
*demo_product*        runtime-before-next       en-runtime
*demo_product*        runtime-running           en-runtime-installing
*demo_product*        package-extracting        en-package-extracting     optional
*demo_product*        program-from-link         en-program-from-link
*portable_edition*    finish-installed          en-finish-installed
*slow_single_file*    download-figures          en-download
*individual_setup*    individual-setup-summary  en-individual-setup
*individual_setup*    individual-setup-made     en-individual-setup-made
*client_installation* client-links-finish       en-client-links
"
mkdir -p "$gallery"
missing=0
while read -r pattern label name optional; do
  [ -n "$pattern" ] || continue
  shot=$(compgen -G "$work/screenshots/$pattern/[0-9][0-9]-$label.png" | sort | head -n1 || true)
  if [ -z "$shot" ]; then
    echo "demo: no picture '$label' in $pattern${optional:+ (kept the earlier $name.png)}" >&2
    [ -n "$optional" ] || missing=1
    continue
  fi
  # The root window is black: a black border first makes the corners black, -trim then
  # keeps just the windows, and the last border gives back the window frame's outline.
  convert "$shot" -bordercolor black -border 1 -trim +repage -border 1 "$gallery/$name.png"
done <<<"$gallery_table"

# The English walk again at 150 % (144 DPI), each window cut out as above.
rm -rf "$work"/screenshots
SETUP_E2E_DPI=144 SETUP_E2E_WORK="$work" SETUP_CROSS_BUILD_DIR="$root/build/cross-x86_64" \
  /usr/bin/python3 -m pytest -q -p no:cacheprovider tests/e2e/test_wizard_walk.py -k "full_installation and en_US"
for label in start circuit-folder material; do
  shot=$(compgen -G "$work/screenshots/*full_installation*en_US*/[0-9][0-9]-$label.png" | sort | head -n1 || true)
  if [ -z "$shot" ]; then echo "demo: no picture '$label' at 150 %" >&2; missing=1; continue; fi
  cp "$shot" "$shots/en_US-150-$(basename "$shot")"
  convert "$shot" -bordercolor black -border 1 -trim +repage -border 1 "$gallery/en-150-$label.png"
done

echo "Screenshots of every page: $shots"
echo "Gallery: $gallery ($(( $(date +%s) - started )) s after the build)"
exit "$missing"
