#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
if [ -z "${DISPLAY:-}" ]; then
    echo "No DISPLAY: starting the program inside a virtual X server."
    exec xvfb-run -a -s "-screen 0 1920x1080x24" ./build/Vantorel
fi
exec ./build/Vantorel
