#!/usr/bin/env bash
# Builds the amplifier-link tests, the firmware wizard's tests and the shell's device-road tests
# (JUCE included) with ThreadSanitizer in ./build-tsan and runs them; fails on any race report. The
# MIDI input callback runs on the emulator's thread there, so every hand-over between it, the
# requester and the message thread is exercised; the wizard's watcher thread meets the message
# thread through the message-manager lock while a firmware image streams, and asks the amplifier
# for its revision outside that lock when it comes back; the synchronisation
# pass sends while the pages edit the device, stops between frames, and meets message-thread
# requests; the amplifier's identity is read on its own thread while the window ticks, with every
# family, older and newer firmware (the wizard offered) and update mode, and a click waits for it;
# every modal window of the program meets a close request; a click during a pass waits for the
# link the pass holds.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

flags="-fsanitize=thread -g -O1"
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTOREL_BENCHMARKS=OFF \
    -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread"
cmake --build build-tsan --target tests_link tests_platform tests_updates tests_shell --parallel "${JOBS:-3}"

export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 ${TSAN_OPTIONS:-}"
# ThreadSanitizer cannot map its shadow memory under the kernel's full address randomisation;
# running without it changes nothing else.
run() { setarch "$(uname -m)" -R "$@"; }
run ./build-tsan/tests_platform
run ./build-tsan/tests_link
# One model's whole update road is enough here; the others differ only in their data.
run xvfb-run -a -s "-screen 0 1920x1080x24" ./build-tsan/tests_updates \
    --gtest_filter='FWUpdateWizardTest.*:Pages/*:EveryModel/FWUpdateWizardRoad.*/0:CutOrOtherRevision/*:FWUpdateWizardLongReplyWait.*'
run xvfb-run -a -s "-screen 0 1920x1080x24" ./build-tsan/tests_shell \
    --gtest_filter='*Synchroniser*:ProgramRoad*:ReadbackRoad*:ReadbackDuringPass*:MainContentProgram*:MainContentBeforeIdentity*:*StatusDisplay*:EachModalWindow/*'
echo "ThreadSanitizer: the link, wizard and device-road tests ran clean."
