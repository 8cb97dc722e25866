#!/usr/bin/env bash
# Builds setup.exe for a vendor's own product folder.
#   tools/make-setup.sh <product-folder> [output-folder] [--arch i686|x86_64]
#                       [--sign <certificate.p12> [--password-file F] [--timestamp URL]]
# The product folder holds settings.xml, every file the settings name (the installer
# package, the runtime installers), optionally icon.ico, version.txt (a.b.c.d) and the
# help files (*.chm). setup.exe and the help files land in the output folder
# (default: <product-folder>/out). With --sign the launcher is signed (tools/sign-setup.sh;
# the password from the file or SETUP_SIGN_PASSWORD).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

arch=i686
args=()
sign_cert=""
sign_options=()
while [ $# -gt 0 ]; do
  case "$1" in
    --arch) arch="$2"; shift 2 ;;
    --sign) sign_cert="$2"; shift 2 ;;
    --password-file|--timestamp) sign_options+=("$1" "$2"); shift 2 ;;
    *) args+=("$1"); shift ;;
  esac
done
if [ ${#args[@]} -lt 1 ]; then
  echo "usage: tools/make-setup.sh <product-folder> [output-folder] [--arch i686|x86_64]" \
       "[--sign <certificate.p12> [--password-file F] [--timestamp URL]]" >&2
  exit 2
fi
product=$(cd "${args[0]}" && pwd)
out="${args[1]:-$product/out}"
[ -f "$product/settings.xml" ] || { echo "make-setup: $product/settings.xml is missing" >&2; exit 1; }

build="$root/build/vendor-$arch-$(echo -n "$product" | md5sum | cut -c1-8)"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DSETUP_PRODUCT_DIR="$product" \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-$arch.cmake" >/dev/null
cmake --build "$build" -j"$(nproc)"
mkdir -p "$out"
cp "$build/products/product/"* "$out/"
if [ -n "$sign_cert" ]; then
  "$root/tools/sign-setup.sh" "$out/setup.exe" "$sign_cert" ${sign_options[@]+"${sign_options[@]}"}
fi
echo "Built $out/setup.exe"
