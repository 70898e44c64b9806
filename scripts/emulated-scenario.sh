#!/usr/bin/env bash
# The program's window against an emulated amplifier: for each scenario below, starts the
# emulated program (build/vantorel_emulated) with a fresh HOME and the scenario's amplifier, waits
# for its window, plays the scenario's steps with the mouse (xdotool) while reading what the
# window shows (its report on the standard output, see testing/emulated/WindowReport.h), then
# closes the window as a user would.
# Usage: emulated-scenario.sh [path/to/vantorel_emulated] [path/to/vantorel_window_probe]
set -euo pipefail
cd "$(dirname "$0")/.."

# Scenarios: the amplifier's variables, then the steps, run once the window is shown.
connect_env=(VANTOREL_EMULATOR_MODEL="Zelta 240/2M" VANTOREL_EMULATOR_SERIAL=4711)
connect() {
    wait_for '^status: Connected to Zelta 240/2M | Serial Number: 4711 Rev:924$'
    wait_for '^amplifier: application$'
}

firmware_update_env=(VANTOREL_EMULATOR_MODEL="Zelta 60/2" VANTOREL_EMULATOR_REVISION=900)
firmware_update() {
    wait_for '^window: Firmware Update: Firmware Update Required!'
    click Next
    wait_for '^amplifier: update$'
    wait_for '^window: Firmware Update: Firmware Update / The connected ZELTA is now ready'
    click Update
    wait_for '^window: Firmware Update: Firmware Updating'
    wait_for '^amplifier: firmware update 1 complete, revision 924$' 60
    wait_for '^window: Firmware Update: Firmware Update Complete!'
    click OK
    wait_for '^closed: Firmware Update$'
    wait_for '^status: Connected to Zelta 60/2 | Serial Number: 1234 Rev:924$'
    wait_for '^program: Program enabled'
}

scenarios=(connect firmware_update)

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

# Clicks the button with this text where the report last showed it enabled.
click() {
    local at
    at=$(grep -o -- "\[$1 enabled at [0-9]*,[0-9]*\]" "$SCENARIO_LOG" | tail -n 1 | grep -o '[0-9]*,[0-9]*') || {
        echo "scenario failed: no enabled button \"$1\" shown" >&2
        return 1
    }
    xdotool mousemove "${at%,*}" "${at#*,}" click 1
    echo "clicked: $1 at $at"
}

if [ "${1:-}" = "--steps" ]; then
    # Kept apart from the report, which the patterns are matched against.
    "$2" >>"$SCENARIO_LOG.steps" 2>&1
    exit 0
fi

program=$(realpath "${1:-build/vantorel_emulated}")
probe=$(realpath "${2:-build/vantorel_window_probe}")

if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1920x1080x24" bash "$0" "$program" "$probe"
fi

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
failed=0

for scenario in "${scenarios[@]}"; do
    export SCENARIO_LOG=$home/$scenario.log
    rm -rf "$home/Documents"
    declare -n amplifier="${scenario}_env"
    set +e
    env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_DOCUMENTS_DIR HOME="$home" "${amplifier[@]}" \
        "$probe" launch --title Vantorel --timeout 30 --then "bash '$0' --steps $scenario" -- "$program" \
        >"$SCENARIO_LOG" 2>&1
    status=$?
    set -e
    echo "== $scenario"
    cat "$SCENARIO_LOG" "$SCENARIO_LOG.steps" 2>/dev/null || true

    if [ $status -ne 0 ]; then
        echo "scenario $scenario failed (probe status $status)" >&2
        failed=1
    fi
done

[ $failed -eq 0 ] && echo "emulated scenarios passed"
exit $failed
