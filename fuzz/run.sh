#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for SECONDS (default 60) from its seed
# corpus in fuzz/corpus/<target>/. Found inputs go to a scratch folder, crashes to
# fuzz/artifacts/. Exits non-zero when any target fails.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=${ALMX_FUZZ_BUILD:-build-fuzz}
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DALMX_FUZZ=ON -DALMX_BENCH=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)"
mkdir -p fuzz/artifacts
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
status=0
for target in "$build"/fuzz/almx_fuzz_*; do
    name=${target##*/almx_fuzz_}
    mkdir -p "fuzz/corpus/$name" "$scratch/$name"
    echo "== $name (${seconds}s)"
    if ! "$target" "$scratch/$name" "fuzz/corpus/$name" -max_total_time="$seconds" \
        -timeout=10 -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1 \
        -artifact_prefix="fuzz/artifacts/$name-" 2>"$scratch/$name.log"; then
        tail -n 40 "$scratch/$name.log"
        status=1
    fi
    grep -E 'stat::number_of_executed_units|stat::average_exec_per_sec' "$scratch/$name.log" || true
done
exit $status
