#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan) in build/fuzz and runs each for a
# while, one after the other, on a working corpus seeded from the repository's corpus.
#   bash scripts/fuzz.sh [SECONDS [TARGET...]]     default 600 s, every target below
# A finding stops the run with the target's report and a non-zero exit; the crashing
# input is saved as build/fuzz/findings/<target>/crash-*. Run it under `nice -n 19` on a
# shared machine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds=${1:-600}
shift || true

# target, its folder under fuzz/, its corpus folder, its longest input
table=(
  "definitions_fuzzer        definitions fuzz/definitions/corpus 8192"
  "definitions_source_fuzzer definitions fuzz/definitions/corpus 4096"
  "connection_scan_fuzzer    engine      fuzz/engine/corpus      8192"
  "cipher_fuzzer             crypto      fuzz/crypto/corpus      1024"
  "listing_rules_fuzzer      listing     fuzz/listing/corpus     4096"
  "registry_values_fuzzer    machine     fuzz/machine/corpus     256"
  "signature_text_fuzzer     signing     fuzz/signing/corpus     512"
  "treatment_record_fuzzer   restore     fuzz/restore/corpus     4096"
)
targets=("$@")
if ((${#targets[@]} == 0)); then
  for row in "${table[@]}"; do targets+=("${row%% *}"); done
fi

source scripts/build-trees.sh  # for the ccache launcher
if [ ! -f build/fuzz/build.ninja ]; then
  CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZC_SANITIZE=ON -DZC_BUILD_FUZZERS=ON -DZC_BUILD_TESTS=OFF -DZC_BUILD_BENCHMARKS=OFF \
    "${launcher[@]}" >build/fuzz.configure.log 2>&1 || { cat build/fuzz.configure.log; exit 1; }
fi
cmake --build build/fuzz --target "${targets[@]}" >build/fuzz/build.log 2>&1 || { cat build/fuzz/build.log; exit 1; }

for target in "${targets[@]}"; do
  row=""
  for r in "${table[@]}"; do [ "${r%% *}" == "$target" ] && row=$r; done
  [ -n "$row" ] || { echo "fuzz: unknown target $target"; exit 2; }
  read -r _ folder corpus max_len <<<"$row"
  work=build/fuzz/corpus/$target findings=build/fuzz/findings/$target
  mkdir -p "$work" "$findings"
  log=build/fuzz/$target.log
  echo "fuzz: $target for $seconds s (log $log)"
  if ! "build/fuzz/fuzz/$folder/$target" -max_total_time="$seconds" -max_len="$max_len" \
       -artifact_prefix="$findings/" -print_final_stats=1 "$work" "$corpus" >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "fuzz: $target found a fault (inputs in $findings)"
    exit 1
  fi
  grep -a -E 'stat::number_of_executed_units|Done [0-9]+ runs' "$log" | tail -n 1 | sed "s/^/fuzz: $target: /"
done
