#!/usr/bin/env bash
# Saves a picture of the main window: starts the program under Xvfb with a fresh
# HOME, waits for its window, saves it as PNG and closes the program again.
# Usage: screenshot.sh [output.png]   (default build/main-window.screenshot.png)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
output=$(realpath -m "${1:-$build/main-window.screenshot.png}")

bash scripts/install-deps.sh imagemagick

if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1920x1080x24" env BUILD_DIR="$build" bash "$0" "$output"
fi

program=$(realpath "$build/Vantorel")
probe=$(realpath "$build/vantorel_window_probe")
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$(dirname "$output")"
rm -f "$output"

# The picture is taken a second after the window shows, when the first paint has landed;
# the probe then closes the program.
env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_DOCUMENTS_DIR HOME="$home" \
    "$probe" launch --title Vantorel --timeout 30 --hold-ms 1000 \
    --then "import -window \"\$PROBE_WINDOW\" '$output'" -- "$program"

if [ ! -s "$output" ]; then
    echo "no picture was taken" >&2
    exit 1
fi
echo "saved $output"
