#!/usr/bin/env bash
# Installs what building, running and testing need on Debian 12 (as root), and
# any further packages named as arguments (the fuzz and screenshot scripts' own).
set -euo pipefail
packages=(cmake g++ make pkg-config ccache juce-modules-source libgtest-dev libgmock-dev
          libbenchmark-dev xvfb xauth libx11-dev xdotool "$@")
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update
    apt-get install -y --no-install-recommends "${missing[@]}"
fi
