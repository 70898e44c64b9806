#!/usr/bin/env bash
# Builds every test executable (JUCE included) with AddressSanitizer and UndefinedBehaviorSanitizer
# in ./build-asan and runs each under Xvfb. Fails on any memory error, undefined behaviour or leak;
# nothing is suppressed.
# Usage: scripts/sanitize.sh [ctest arguments, e.g. -R shell]   (as root on Debian 12 when
# packages are missing)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer -g -O1"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTOREL_BENCHMARKS=OFF \
    -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined"
cmake --build build-asan --parallel "${JOBS:-3}"

export ASAN_OPTIONS="detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:halt_on_error=1 ${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1 ${UBSAN_OPTIONS:-}"

cd build-asan
# The shell and editor tests open windows and dialogs.
xvfb-run -a -s "-screen 0 1920x1080x24" \
    ctest --output-on-failure --parallel "${JOBS:-2}" --timeout 1800 "$@"
echo "AddressSanitizer and UndefinedBehaviorSanitizer: every test executable ran clean."
