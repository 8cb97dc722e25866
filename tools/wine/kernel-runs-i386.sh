#!/bin/sh
# Tells whether this kernel itself executes 32-bit x86 programs, by running one.
# Exit status: 0 it does, 1 it refuses them, 2 cannot tell (the 64-bit control program
# did not run either, e.g. a noexec temporary folder).
# Usage: tools/wine/kernel-runs-i386.sh [--write-probes DIR]
#   --write-probes DIR  only writes the two probe programs (probe-i386, probe-x86_64) there.
#
# The probes are a few hand-written bytes: a static ELF whose entry point exits with
# status 42, one for i386 and one for x86-64, so nothing has to be downloaded. The i386
# probe sets EI_ABIVERSION to 1: the kernel's ELF loader ignores that byte, but the
# binfmt_misc entries for i386 ELF (ours for qemu-i386, Debian's qemu-user-binfmt) require
# 0 there, so an emulator registered on this machine cannot answer in the kernel's place.
set -eu

write_probes() {
    # ELF32 header, one PT_LOAD program header, then: mov eax,1; mov ebx,42; int 0x80.
    printf '\177ELF\001\001\001\000\001\000\000\000\000\000\000\000' > "$1/probe-i386"
    printf '\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000' >> "$1/probe-i386"
    printf '\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000' >> "$1/probe-i386"
    printf '\000\000\000\000' >> "$1/probe-i386"
    printf '\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010' >> "$1/probe-i386"
    printf '\140\000\000\000\140\000\000\000\005\000\000\000\000\020\000\000' >> "$1/probe-i386"
    printf '\270\001\000\000\000\273\052\000\000\000\315\200' >> "$1/probe-i386"
    # ELF64 header, one PT_LOAD program header, then: mov eax,60; mov edi,42; syscall.
    printf '\177ELF\002\001\001\000\000\000\000\000\000\000\000\000' > "$1/probe-x86_64"
    printf '\002\000\076\000\001\000\000\000\170\000\100\000\000\000\000\000' >> "$1/probe-x86_64"
    printf '\100\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000' >> "$1/probe-x86_64"
    printf '\000\000\000\000\100\000\070\000\001\000\000\000\000\000\000\000' >> "$1/probe-x86_64"
    printf '\001\000\000\000\005\000\000\000\000\000\000\000\000\000\000\000' >> "$1/probe-x86_64"
    printf '\000\000\100\000\000\000\000\000\000\000\100\000\000\000\000\000' >> "$1/probe-x86_64"
    printf '\204\000\000\000\000\000\000\000\204\000\000\000\000\000\000\000' >> "$1/probe-x86_64"
    printf '\000\020\000\000\000\000\000\000' >> "$1/probe-x86_64"
    printf '\270\074\000\000\000\277\052\000\000\000\017\005' >> "$1/probe-x86_64"
    chmod 755 "$1/probe-i386" "$1/probe-x86_64"
}

if [ "${1:-}" = "--write-probes" ]; then
    write_probes "$2"
    exit 0
fi

dir=$(mktemp -d "${TMPDIR:-/tmp}/kernel-i386.XXXXXX")
trap 'rm -rf "$dir"' EXIT
write_probes "$dir"
status=0
"$dir/probe-x86_64" 2>/dev/null || status=$?
if [ "$status" -ne 42 ]; then
    exit 2
fi
status=0
"$dir/probe-i386" 2>/dev/null || status=$?
[ "$status" -eq 42 ] && exit 0
exit 1
