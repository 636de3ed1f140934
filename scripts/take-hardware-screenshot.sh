#!/usr/bin/env bash
# The counter browser over the captured laptop of tests/fixtures, on Hardware
# Sensor / Temperature, saved as docs/browser-laptop.png.
set -euo pipefail
program=${1:-build/tests/pdh_hardware/browse_fixture}
out=${2:-docs/browser-laptop.png}
tree=tests/fixtures/laptop
if [ -z "${VANTOREL_SHOTS_INNER:-}" ]; then
    export VANTOREL_SHOTS_INNER=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$program" "$out"
fi
export QT_QPA_PLATFORM=xcb
"$program" "$tree/t0" "$tree" "Hardware Sensor" "Temperature" >/dev/null 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
browser=$(timeout 20 xdotool search --sync --onlyvisible --name '^Browse Performance Counters$' | head -n 1)
sleep 1
mkdir -p "$(dirname "$out")"
import -window "$browser" "$out"
