#!/usr/bin/env bash
# Smoke test of the real program: starts it with a fresh HOME (so that its Documents
# folder is a temporary one), waits until its window is shown, checks the title and
# the size, asks the window to close and checks that the program ended by itself.
# Usage: smoke-test.sh [path/to/Vantorel] [path/to/vantorel_window_probe]
set -euo pipefail
cd "$(dirname "$0")/.."
program=$(realpath "${1:-build/Vantorel}")
probe=$(realpath "${2:-build/vantorel_window_probe}")

if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1920x1080x24" bash "$0" "$program" "$probe"
fi

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT

# Exit codes of the probe: 2 no window within the time, 3 ended before showing one,
# 4 still running after the close request, 5 wrong size, 6 ended with a failure.
set +e
report=$(env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_DOCUMENTS_DIR HOME="$home" \
    "$probe" launch --title Vantorel --timeout 30 --expect-size 1024x600 -- "$program")
status=$?
set -e
echo "$report"

if [ $status -ne 0 ]; then
    echo "smoke test failed (probe status $status)" >&2
    exit 1
fi

if [ ! -d "$home/Documents/ZELTA Applications" ]; then
    echo "smoke test failed: the applications folder was not made in the temporary Documents folder" >&2
    exit 1
fi

echo "smoke test passed"
