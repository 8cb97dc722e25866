#!/usr/bin/env bash
# Installs the Debian packages the build, the demo and the tests need; skips what is
# already there, so a machine that has everything runs no apt at all. Safe to run again.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

packages=(
  cmake make g++ googletest libgtest-dev      # native build and unit tests
  g++-mingw-w64-i686 g++-mingw-w64-x86-64     # cross build of setup.exe
  wixl                                        # the demo's MSI package
  fp-utils                                    # chmcmd for the demo's help files
  wine wine64 fonts-wine                      # running setup.exe; Tahoma for Windows metrics
  locales                                     # the six user-interface languages under Wine
  xvfb twm x11-utils xdotool imagemagick      # virtual display, window manager, keys, screenshots
  python3 python3-pytest python3-pytest-timeout   # end-to-end scenarios
  lighttpd perl                               # the reference download server (getfile.pl, CGI)
  lighttpd-mod-openssl                        # the same server over HTTPS
  lighttpd-modules-lua                        # its static-range mode (mod_magnet)
  osslsigncode openssl                        # signing launchers; a throw-away certificate in tests
)

# Wine runs 32-bit programs through wine32 from the i386 architecture, but only where
# the kernel itself executes 32-bit code; elsewhere wine32:i386 cannot work and breaks
# Debian's wine wrapper (tools/wine/ has the emulated tier for such machines).
if "$here/wine/kernel-runs-i386.sh"; then
  packages+=(wine32:i386)
fi

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

# One dpkg-query for all, as "<name>:<arch> <status>" lines; "ii" is installed.
declare -A installed=()
while read -r name status; do
  [ "$status" = ii ] || continue
  installed[$name]=1
  installed[${name%%:*}]=1
done < <(dpkg-query -W -f='${Package}:${Architecture} ${db:Status-Abbrev}\n' "${packages[@]%%:*}" 2>/dev/null || true)
missing=()
for p in "${packages[@]}"; do
  [ -n "${installed[$p]:-}" ] || missing+=("$p")
done

# An index that fails to download must not end the set-up (tools/apt-update.sh).
. "$here/apt-update.sh"
log=$(mktemp "${TMPDIR:-/tmp}/install-deps.XXXXXX")
trap 'rm -f "$log"' EXIT

# The reason apt gives, on one line.
install_failure() {
  grep -E '^E:' "$1" | grep -v 'Unable to correct problems' | head -n 1 | sed 's/^E: //'
}

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if printf '%s\n' "${missing[@]}" | grep -q ':i386$' &&
     ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo_cmd[@]}" dpkg --add-architecture i386
  fi
  if ! update_package_indexes "$log" "${sudo_cmd[@]}" apt-get -q; then
    grep '^apt-get update failed' "$log"
    echo "going on with the package indexes as they are"
  fi
  apt_install=("${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends)
  if ! "${apt_install[@]}" "${missing[@]}" >"$log" 2>&1; then
    # Find out which packages fail, one at a time, and why.
    failed=0
    for p in "${missing[@]}"; do
      if ! "${apt_install[@]}" "$p" >"$log" 2>&1; then
        echo "cannot install $p: $(install_failure "$log")"
        failed=1
      fi
    done
    [ "$failed" -eq 0 ] || exit 1
  fi
fi

# Wine takes the user-interface language from LC_ALL, which needs generated locales.
wanted_locales="en_US de_DE fr_FR cs_CZ es_ES it_IT"
available=$(locale -a 2>/dev/null || true)
missing_locales=()
for l in $wanted_locales; do
  grep -qix "$l.utf-\?8" <<<"$available" || missing_locales+=("$l")
done
if [ ${#missing_locales[@]} -gt 0 ]; then
  echo "Generating locales: ${missing_locales[*]}"
  for l in "${missing_locales[@]}"; do
    "${sudo_cmd[@]}" sed -i -E "s/^# *($l\.UTF-8 UTF-8)/\1/" /etc/locale.gen
  done
  "${sudo_cmd[@]}" locale-gen >/dev/null
fi
