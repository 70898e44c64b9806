#!/usr/bin/env bash
# The program's window against an emulated amplifier: starts the emulated program
# (build/vantorel_emulated) with a fresh HOME, waits for its window, plays the steps below
# while reading what the window shows (its report on the standard output, see
# testing/emulated/WindowReport.h), then closes the window as a user would.
# Usage: emulated-scenario.sh [path/to/vantorel_emulated] [path/to/vantorel_window_probe]
set -euo pipefail
cd "$(dirname "$0")/.."

# The steps, run once the window is shown; $SCENARIO_LOG is the window's report so far.
steps() {
    wait_for '^status: Connected to Zelta 240/2M | Serial Number: 4711 Rev:924$'
    wait_for '^amplifier: application$'
}

# Waits until a line of the report matches the (grep) pattern; fails after the time.
wait_for() {
    local pattern=$1 seconds=${2:-30}
    local deadline=$((SECONDS + seconds))
    until grep -q -- "$pattern" "$SCENARIO_LOG"; do
        if [ $SECONDS -ge $deadline ]; then
            echo "scenario failed: no line \"$pattern\" within ${seconds}s" >&2
            return 1
        fi
        sleep 0.1
    done
    echo "seen: $pattern"
}

if [ "${1:-}" = "--steps" ]; then
    # Kept apart from the report, which the patterns are matched against.
    steps >>"$SCENARIO_LOG.steps" 2>&1
    exit 0
fi

program=$(realpath "${1:-build/vantorel_emulated}")
probe=$(realpath "${2:-build/vantorel_window_probe}")

if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1920x1080x24" bash "$0" "$program" "$probe"
fi

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export SCENARIO_LOG=$home/window.log

set +e
env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_DOCUMENTS_DIR HOME="$home" \
    VANTOREL_EMULATOR_MODEL="Zelta 240/2M" VANTOREL_EMULATOR_SERIAL=4711 \
    "$probe" launch --title Vantorel --timeout 30 --then "bash '$0' --steps" -- "$program" \
    >"$SCENARIO_LOG" 2>&1
status=$?
set -e
cat "$SCENARIO_LOG" "$SCENARIO_LOG.steps" 2>/dev/null || true

if [ $status -ne 0 ]; then
    echo "emulated scenario failed (probe status $status)" >&2
    exit 1
fi
echo "emulated scenario passed"
