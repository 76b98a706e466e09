#!/usr/bin/env bash
# Runs one fuzz target of build-fuzz/ (`make fuzz`) with its own settings.
#
#   fuzz/run.sh TARGET [SECONDS]      default 600 seconds
#
# The corpus grows in build-fuzz/corpus/TARGET (seeds from the source tree are
# read too), findings land in build-fuzz/artifacts/TARGET-*, the log in
# build-fuzz/logs/TARGET.log. Two targets may run at once. Each input may grow
# to the size at which its format's faults live: a registry key 100,000 levels
# deep is 200 KB, an element with 100,000 attributes about 1 MB, a companion
# file that may claim the full 64 MiB inflate cap is 672 KB.
set -euo pipefail
cd "$(dirname "$0")/.."

# target: binary below build-fuzz/fuzz, then libFuzzer options and seed folders.
# -len_control=0 lets inputs grow to the largest size from the start rather
# than over hours, for the formats whose faults need large inputs.
declare -A settings=(
  [mp3_reader_fuzzer]="media/mp3_reader_fuzzer -max_len=65536"
  [fuzz_xml_parse]="xml/fuzz_xml_parse -max_len=1048576 -len_control=0 -dict=fuzz/xml/xml.dict fuzz/xml/seeds/parse"
  [fuzz_xml_file]="xml/fuzz_xml_file -max_len=1048576 -len_control=0 -dict=fuzz/xml/xml.dict fuzz/xml/seeds/file"
  [fuzz_store_file]="storage/fuzz_store_file -timeout=10 fuzz/storage/corpus"
  [fuzz_automation]="platform/fuzz_automation -max_len=65536"
  [fuzz_registry]="platform/fuzz_registry -max_len=262144 -len_control=0"
  [fuzz_descriptors]="data/fuzz_descriptors -dict=fuzz/data/data.dict fuzz/data/seeds/descriptors"
  [fuzz_presets]="data/fuzz_presets -dict=fuzz/data/data.dict fuzz/data/seeds/presets"
  [fuzz_track_image]="library/fuzz_track_image fuzz/library/seeds"
  [fuzz_track_row]="generation/fuzz_track_row -dict=fuzz/xml/xml.dict fuzz/library/seeds"
)

target=${1:-}
if [[ -z "$target" || -z "${settings[$target]+set}" ]]; then
  echo "usage: fuzz/run.sh TARGET [SECONDS]; targets: ${!settings[*]}" >&2
  exit 2
fi
read -r binary options <<<"${settings[$target]}"
mkdir -p "build-fuzz/corpus/$target" build-fuzz/artifacts build-fuzz/logs
# shellcheck disable=SC2086  # the options are words
exec "build-fuzz/fuzz/$binary" -max_total_time="${2:-600}" -print_final_stats=1 \
  -artifact_prefix="build-fuzz/artifacts/$target-" "build-fuzz/corpus/$target" $options \
  >"build-fuzz/logs/$target.log" 2>&1
