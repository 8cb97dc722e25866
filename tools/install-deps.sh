#!/usr/bin/env bash
# Installs the Debian packages the build, the demo and the tests need; skips what is
# already there. Safe to run again.
set -euo pipefail

packages=(
  cmake make g++ googletest libgtest-dev      # native build and unit tests
  g++-mingw-w64-i686 g++-mingw-w64-x86-64     # cross build of setup.exe
  wixl                                        # the demo's MSI package
  fp-utils                                    # chmcmd for the demo's help files
  wine wine64                                 # running setup.exe
  xvfb twm x11-utils xdotool imagemagick      # virtual display, window manager, screenshots
  python3 python3-pytest                      # end-to-end scenarios
)

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
# 32-bit programs run in Wine's WOW64 mode through wine32 from the i386 architecture.
if ! dpkg -s wine32:i386 >/dev/null 2>&1; then
  missing+=(wine32:i386)
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo_cmd[@]}" dpkg --add-architecture i386
  fi
  "${sudo_cmd[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
