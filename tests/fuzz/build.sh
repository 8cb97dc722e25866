#!/bin/sh
# Builds the libFuzzer targets with clang, libFuzzer, ASan and UBSan, under the project's
# warning set:
#   xml_fuzz           the XML reader
#   settings_fuzz      the settings reader over scrambled resources
#   command_line_fuzz  the launcher's command-line evaluation, with its safety rules checked
#   presets_fuzz       the presets file (setup.ini), with its all-or-nothing rule checked
#   tests/fuzz/build.sh [output-dir]          (default: /tmp/setup-fuzz)
# Run one with a scratch corpus, its seed corpus and, where there is one, its dictionary:
#   mkdir -p /tmp/xml-corpus
#   /tmp/setup-fuzz/xml_fuzz /tmp/xml-corpus tests/fuzz/corpus/xml -dict=tests/fuzz/xml.dict \
#     -max_len=65536 -max_total_time=600
#   mkdir -p /tmp/command-line-corpus
#   /tmp/setup-fuzz/command_line_fuzz /tmp/command-line-corpus tests/fuzz/corpus/command_line \
#     -dict=tests/fuzz/command_line.dict -max_len=4096 -max_total_time=600 -print_final_stats=1
#   mkdir -p /tmp/presets-corpus
#   /tmp/setup-fuzz/presets_fuzz /tmp/presets-corpus tests/fuzz/corpus/presets \
#     -dict=tests/fuzz/presets.dict -max_len=4096 -max_total_time=600 -print_final_stats=1
# A broken rule stops the run with a crash-* file holding the input.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
out=${1:-/tmp/setup-fuzz}
mkdir -p "$out"
flags="-std=c++17 -g -O1 -fno-omit-frame-pointer -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -I$root"
flags="$flags -Wall -Wextra -Wshadow -Wcast-qual -Wundef -Wold-style-cast -Wnon-virtual-dtor"
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

# The command-line evaluation needs a run context, not the application object: of the
# layers above config only the evaluation itself and the installer property table.
clang++ $flags -I"$root/tests/unit" -o "$out/command_line_fuzz" \
  "$here/command_line_fuzz.cpp" \
  "$root/app/command_line.cpp" "$root/install/msi_properties.cpp" \
  "$root"/config/*.cpp "$root"/text/*.cpp \
  "$root"/platform/*.cpp
echo "built $out/command_line_fuzz"

# The presets reader and writer stand on config and below.
clang++ $flags -I"$root/tests/unit" -o "$out/presets_fuzz" \
  "$here/presets_fuzz.cpp" \
  "$root"/config/*.cpp "$root"/text/*.cpp \
  "$root"/platform/*.cpp
echo "built $out/presets_fuzz"
