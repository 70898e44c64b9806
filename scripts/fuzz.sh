#!/usr/bin/env bash
# Builds every libFuzzer target of fuzz/ with clang, AddressSanitizer and UndefinedBehaviorSanitizer
# into build-fuzz, then runs each for the given number of seconds (default 60) on a temporary copy
# of its seed corpus (fuzz/corpus/<Name>/ for fuzz/<Name>Fuzzer.cpp). Fails on any crash, leak,
# sanitizer report or time-out; the failing input is kept in build-fuzz/artifacts/.
# Usage: scripts/fuzz.sh [seconds-per-target]   (as root on Debian 12 when packages are missing)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"

bash scripts/install-deps.sh clang libclang-rt-14-dev

targets=()
for source in fuzz/*Fuzzer.cpp; do
    [ -e "$source" ] && targets+=("$(basename "$source" .cpp)")
done
if [ ${#targets[@]} -eq 0 ]; then
    echo "No fuzz targets in fuzz/."
    exit 1
fi

cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DVANTOREL_FUZZ=ON -DVANTOREL_TESTS=OFF -DVANTOREL_BENCHMARKS=OFF
cmake --build build-fuzz --parallel "${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}" --target "${targets[@]}"

mkdir -p build-fuzz/artifacts
failed=()
for target in "${targets[@]}"; do
    corpus="$(mktemp -d)"
    seeds="fuzz/corpus/${target%Fuzzer}"
    [ -d "$seeds" ] || seeds="fuzz/corpus/$target"
    if [ -d "$seeds" ]; then
        cp -r "$seeds/." "$corpus/"
    fi
    echo "== $target: ${seconds}s, seeds from $seeds"
    if ! "./build-fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
            -print_final_stats=1 -artifact_prefix="build-fuzz/artifacts/$target-" "$corpus"; then
        failed+=("$target")
    fi
    rm -rf "$corpus"
done

if [ ${#failed[@]} -gt 0 ]; then
    echo "Fuzzing found faults in: ${failed[*]}"
    exit 1
fi
echo "Every fuzz target ran ${seconds}s without a fault."
