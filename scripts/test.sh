#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (windows open inside Xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
cd build
xvfb-run -a -s "-screen 0 1920x1080x24" ctest --output-on-failure --parallel "$(nproc)"
