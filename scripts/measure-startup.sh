#!/usr/bin/env bash
# Start-up of Vantorel against a minimal JUCE window program built in the same tree:
# under one X server, starts each program N times, alternating, and measures the time
# from process start to its window being mapped with the expected title. Prints both
# medians and their ratio.
# Usage: measure-startup.sh [runs]   (default 10)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
runs=${1:-10}

if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1920x1080x24" env BUILD_DIR="$build" bash "$0" "$runs"
fi

probe="$build/vantorel_window_probe"
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT

# One start of the program with this title; prints the milliseconds until it was shown. The
# program runs once per machine: while another copy runs (a test elsewhere on this machine) it
# ends at once, and the start is tried again.
measure() {
    local title=$1 program=$2 report attempt
    for attempt in $(seq 20); do
        rm -rf "$home"/* "$home"/.[!.]* 2> /dev/null || true
        report=$(env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_DOCUMENTS_DIR HOME="$home" \
            "$probe" launch --title "$title" --timeout 60 --expect-size 1024x600 -- "$program" 2> /dev/null |
            sed -n 's/^shown_ms=\([0-9.]*\).*/\1/p')
        if [ -n "$report" ]; then
            echo "$report"
            return
        fi
        sleep 1
    done
    echo "no start of $program showed its window" >&2
    exit 1
}

median() {
    sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# Warm-up: the first start of each reads the libraries from disk.
measure MinimalWindow "$build/vantorel_minimal_window" > /dev/null
measure Vantorel "$build/Vantorel" > /dev/null

minimal=()
vantorel=()
for i in $(seq "$runs"); do
    minimal+=("$(measure MinimalWindow "$build/vantorel_minimal_window")")
    vantorel+=("$(measure Vantorel "$build/Vantorel")")
done

echo "minimal window (ms): ${minimal[*]}"
echo "Vantorel (ms):       ${vantorel[*]}"
m=$(printf '%s\n' "${minimal[@]}" | median)
v=$(printf '%s\n' "${vantorel[@]}" | median)
echo "median minimal window: $m ms"
echo "median Vantorel:       $v ms"
awk -v v="$v" -v m="$m" 'BEGIN { printf "ratio Vantorel / minimal: %.2f (goal: under 1.5)\n", v / m }'
