#!/usr/bin/env bash
# Installs the Debian packages the build, the demo and the tests need; skips what is
# already there. Safe to run again.
set -euo pipefail

packages=(
  cmake make g++ googletest libgtest-dev      # native build and unit tests
  g++-mingw-w64-i686 g++-mingw-w64-x86-64     # cross build of setup.exe
  wixl                                        # the demo's MSI package
  fp-utils                                    # chmcmd for the demo's help files
  wine wine64 fonts-wine                      # running setup.exe; Tahoma for Windows metrics
  locales                                     # the six user-interface languages under Wine
  xvfb twm x11-utils xdotool imagemagick      # virtual display, window manager, keys, screenshots
  python3 python3-pytest python3-pytest-timeout   # end-to-end scenarios
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

# Wine takes the user-interface language from LC_ALL, which needs generated locales.
wanted_locales="en_US de_DE fr_FR cs_CZ es_ES it_IT"
missing_locales=()
for l in $wanted_locales; do
  locale -a 2>/dev/null | grep -qix "$l.utf-\?8" || missing_locales+=("$l")
done
if [ ${#missing_locales[@]} -gt 0 ]; then
  echo "Generating locales: ${missing_locales[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  for l in "${missing_locales[@]}"; do
    "${sudo_cmd[@]}" sed -i -E "s/^# *($l\.UTF-8 UTF-8)/\1/" /etc/locale.gen
  done
  "${sudo_cmd[@]}" locale-gen >/dev/null
fi
