#!/usr/bin/env bash
# The program's window against an emulated amplifier: for each scenario below, starts the
# emulated program (build/vantorel_emulated) with a fresh HOME and the scenario's amplifier, waits
# for its window, plays the scenario's steps with the mouse (xdotool) while reading what the
# window shows (its report on the standard output, see testing/emulated/WindowReport.h), then
# closes the window as a user would.
# Usage: emulated-scenario.sh [path/to/vantorel_emulated] [path/to/vantorel_window_probe]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh xdotool >/dev/null

# Scenarios: the amplifier's variables, then the steps, run once the window is shown.
connect_env=(VANTOREL_EMULATOR_MODEL="Zelta 240/2M" VANTOREL_EMULATOR_SERIAL=4711)
connect() {
    wait_for '^status: Connected to Zelta 240/2M | Serial Number: 4711 Rev:924$'
    wait_for '^amplifier: application$'
}

# Opens the "ZELTA M Default" example (its device suits the amplifier), selects its device,
# programs it without and with the padlock, changes it, reads it back and compares.
program_and_read_back_env=(VANTOREL_EMULATOR_MODEL="Zelta 240/2M" VANTOREL_EMULATOR_SERIAL=4711)
program_and_read_back() {
    wait_for '^status: Connected to Zelta 240/2M'
    local origin
    origin=$(xdotool getwindowgeometry "$PROBE_WINDOW" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p')
    # The second row of the application list.
    click $(( ${origin% *} + 100 )) $(( ${origin#* } + 69 ))
    wait_for '^device: 1 "ZELTA M" padlock off, password no'
    # The box body, below its name.
    local name
    name=$(position_in '^device: ' 'name')
    click ${name% *} $(( ${name#* } + 60 ))
    wait_for '^program: Program enabled'

    mark
    click_button '^program: ' 'Program'
    press_in 'Programming Done' Return
    wait_new '^amplifier: stored application block 1,'
    local settings
    settings=$(last_line '^device: ' | sed 's/.*, settings \([^ ]*\) .*/\1/')

    click $(position_in '^device: ' 'padlock')
    wait_for '^device: 1 "ZELTA M" padlock on'
    mark
    click_button '^program: ' 'Program'
    type_in 'Choose password' 'left over' 9
    xdotool key Escape
    wait_new '^closed: Choose password'
    mark
    click_button '^program: ' 'Program'
    type_in 'Choose password' secret 6
    xdotool key Return
    press_in 'Programming Done' Return
    wait_new '^amplifier: stored application block 2,'
    if [ "$(grep -c '^amplifier: stored application block' "$SCENARIO_LOG")" -ne 2 ]; then
        echo "scenario failed: the cancelled password entry sent something" >&2
        return 1
    fi

    # Open the padlock and rename the device, then take the amplifier's settings back.
    click $(position_in '^device: ' 'padlock')
    click $(position_in '^device: ' 'name')
    xdotool type Edited
    xdotool key Return
    wait_for '^device: 1 "Edited" padlock off'
    mark
    click $(position_in '^device: ' 'get settings enabled')
    press_in 'Download settings?' Return
    type_in 'Enter password' secret 6
    xdotool key Return
    wait_new "^device: 1 \"ZELTA M\" padlock on, password yes, settings $settings "

    # The program asks to save the read-back device when the probe closes it: answer No.
    answer_save_question &
}

answer_save_question() {
    wait_new '^window: Save current application?:' 60 >/dev/null && click_button '^window: Save current' 'No'
}

# The hand moves on after a click, as a person's does. The program asks the X server for the
# pointer several times a second (JUCE's tooltip window and its desktop mouse timer); an event
# that arrives during such a round trip waits in Xlib's queue, and the program finds it only
# when a later event makes its connection readable again.
click() { xdotool mousemove "$1" "$2" click 1 sleep 0.2 mousemove_relative 1 0; }

# Waits for the window, presses the key in it, and waits until it has closed.
press_in() {
    wait_new "^window: $1:"
    settle
    xdotool key "$2"
    wait_new "^closed: $1"
}

# Waits for the window, types the text into its field and waits until the field holds it.
type_in() {
    wait_new "^window: $1:"
    click $(position_in "^window: $1:" 'field')
    xdotool type "$2"
    wait_new "^window: $1: .*\[field $3 characters"
}

# A window that has just appeared takes the keyboard focus once it has painted.
settle() { sleep 0.5; }

last_line() { grep -- "$1" "$SCENARIO_LOG" | tail -n 1; }

# "x y" of the item "[<name> ... at x,y]" of the last report line matching the pattern.
position_in() {
    last_line "$1" | sed -n "s/.*\[$2[^]]* at \([0-9]*\),\([0-9]*\)\].*/\1 \2/p"
}

click_button() {
    local position
    position=$(last_line "$1" | sed -n "s/.*$2 enabled at \([0-9]*\),\([0-9]*\).*/\1 \2/p")
    [ -n "$position" ] || { echo "scenario failed: no enabled $2 in \"$(last_line "$1")\"" >&2; return 1; }
    click $position
}

# wait_new waits only for lines written after the last mark.
mark() { SCENARIO_MARK=$(wc -l <"$SCENARIO_LOG"); }

wait_new() {
    local pattern=$1 seconds=${2:-30}
    local deadline=$((SECONDS + seconds)) nudge=$((SECONDS + 2)) step=0
    until tail -n +$((${SCENARIO_MARK:-0} + 1)) "$SCENARIO_LOG" | grep -q -- "$pattern"; do
        if [ $SECONDS -ge $deadline ]; then
            echo "scenario failed: no new line \"$pattern\" within ${seconds}s" >&2
            return 1
        fi
        # A key or click may still wait in Xlib's queue (see click): while waiting, the hand on
        # the mouse moves it by a pixel now and then.
        if [ $SECONDS -ge $nudge ]; then
            if [ $step -eq 0 ]; then
                echo "still waiting for \"$pattern\": moving the pointer now and then"
                step=1
            fi
            xdotool mousemove_relative -- $step 0
            step=$((-step))
            nudge=$((SECONDS + 2))
        fi
        sleep 0.1
    done
    echo "seen: $pattern"
}

firmware_update_env=(VANTOREL_EMULATOR_MODEL="Zelta 60/2" VANTOREL_EMULATOR_REVISION=900)
firmware_update() {
    wait_for '^window: Firmware Update: Firmware Update Required!'
    click_button '^window: Firmware Update:' Next
    wait_for '^amplifier: update$'
    wait_for '^window: Firmware Update: Firmware Update / The connected ZELTA is now ready'
    click_button '^window: Firmware Update:' Update
    wait_for '^window: Firmware Update: Firmware Updating'
    wait_for '^amplifier: firmware update 1 complete, revision 924$' 60
    wait_for '^window: Firmware Update: Firmware Update Complete!'
    click_button '^window: Firmware Update:' OK
    wait_for '^closed: Firmware Update$'
    wait_for '^status: Connected to Zelta 60/2 | Serial Number: 1234 Rev:924$'
    wait_for '^program: Program enabled'
}

scenarios=(connect program_and_read_back firmware_update)

# Waits until any line of the report matches the (grep) pattern.
wait_for() {
    local SCENARIO_MARK=0
    wait_new "$@"
}

if [ "${1:-}" = "--steps" ]; then
    # Kept apart from the report, which the patterns are matched against.
    "$2" >>"$SCENARIO_LOG.steps" 2>&1
    exit 0
fi

program=$(realpath "${1:-build/vantorel_emulated}")
probe=$(realpath "${2:-build/vantorel_window_probe}")

# Always an X server of its own: other tests' windows (the smoke test's is also titled
# "Vantorel") would take the clicks and keys, or be taken for this program's window.
if [ -z "${SCENARIO_OWN_DISPLAY:-}" ]; then
    SCENARIO_OWN_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1920x1080x24" bash "$0" "$program" "$probe"
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
