#!/bin/sh
# Builds the XML reader and settings reader fuzzers with clang, libFuzzer, ASan and UBSan.
#   tests/fuzz/build.sh [output-dir]          (default: /tmp/setup-fuzz)
# Run it with the seed corpus, for example:
#   mkdir -p /tmp/xml-corpus
#   /tmp/setup-fuzz/xml_fuzz /tmp/xml-corpus tests/fuzz/corpus/xml -max_len=65536 -max_total_time=600
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
out=${1:-/tmp/setup-fuzz}
mkdir -p "$out"
flags="-std=c++17 -g -O1 -fno-omit-frame-pointer -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -I$root"
clang++ $flags -o "$out/xml_fuzz" \
  "$here/xml_fuzz.cpp" \
  "$root/config/xml_document.cpp" \
  "$root/config/tokenizer.cpp" \
  "$root/config/name_table.cpp"
echo "built $out/xml_fuzz"

# The settings reader over scrambled resources, on the in-memory platform: only the
# layers it stands on.
clang++ $flags -I"$root/tests/unit" -o "$out/settings_fuzz" \
  "$here/settings_fuzz.cpp" \
  "$root"/config/*.cpp "$root"/text/*.cpp \
  "$root"/platform/*.cpp
echo "built $out/settings_fuzz"
