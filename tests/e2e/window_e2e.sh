#!/usr/bin/env bash
# Runs the real program under a virtual X server: finds its window by caption,
# adds a counter through the browser with the keyboard, keeps screenshots, closes
# the window as a window manager would and expects exit status 0.
set -euo pipefail
program=$1
send_close=$2
shots=$3
mkdir -p "$shots"

if [ -z "${VANTOREL_E2E_INNER:-}" ]; then
    export VANTOREL_E2E_INNER=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

export QT_QPA_PLATFORM=xcb
log=$(mktemp)
"$program" >"$log" 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null || true; rm -f "$log"' EXIT

find_window() {  # caption
    timeout 20 xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1
}

window=$(find_window Vantorel)
[ -n "$window" ] || { echo "no window captioned Vantorel"; cat "$log"; exit 1; }
sleep 0.5

# Add Counter sits at (16,16) in the client area, 75 x 25.
xdotool mousemove --window "$window" 53 28 click 1
browser=$(find_window "Browse Performance Counters")
[ -n "$browser" ] || { echo "the browser did not open"; cat "$log"; exit 1; }
sleep 0.5
import -window "$browser" "$shots/browser.png"

# It starts on Processor / % Processor Time / _Total with the objects focused:
# Tab to the counters, Down to the next one, Enter for OK.
# Keys go to the focused window, as a person's would.
xdotool windowfocus --sync "$browser"
xdotool key Tab
xdotool key Down
sleep 0.2
xdotool key Return
for _ in $(seq 50); do
    xdotool search --onlyvisible --name '^Browse Performance Counters$' >/dev/null 2>&1 || break
    sleep 0.1
done
sleep 1
import -window "$window" "$shots/window.png"

"$send_close" "$window"
status=0
for _ in $(seq 100); do
    kill -0 $pid 2>/dev/null || break
    sleep 0.1
done
if kill -0 $pid 2>/dev/null; then
    echo "the program did not end after its window was closed"
    exit 1
fi
wait $pid || status=$?
trap - EXIT
rm -f "$log"
echo "exit status $status; screenshots in $shots"
exit $status
