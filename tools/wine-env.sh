# Sourced by tools/demo.sh: which Wine loader to use and which cross build runs under it.
# Debian's "wine" wrapper prefers the 32-bit loader whenever wine32 is installed, which
# fails outright on kernels without 32-bit support; so ask the kernel first.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  SETUP_WINE=/usr/lib/wine/wine
  SETUP_RUN_ARCH=i686
else
  SETUP_WINE=/usr/lib/wine/wine64
  SETUP_RUN_ARCH=x86_64
fi
export SETUP_WINE SETUP_RUN_ARCH
