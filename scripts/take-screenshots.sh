#!/usr/bin/env bash
# Screenshots of the real program for the README: the browser over the process
# list, and the window with a few counters ticking every second. With
# QT_SCALE_FACTOR set (2, 1.5) the shots are of the scaled window, named
# window-2x.png and so on.
set -euo pipefail
program=${1:-build/vantorel}
out=${2:-docs}
mkdir -p "$out"
if [ -z "${VANTOREL_SHOTS_INNER:-}" ]; then
    export VANTOREL_SHOTS_INNER=1
    exec xvfb-run -a -s "-screen 0 2560x1600x24" "$0" "$program" "$out"
fi
export QT_QPA_PLATFORM=xcb
scale=${QT_SCALE_FACTOR:-1}
suffix=$([ "$scale" = 1 ] && echo "" || echo "-${scale}x")
at() {  # logical x y -> the screen's pixels
    awk -v s="$scale" -v x="$1" -v y="$2" 'BEGIN { printf "%d %d", x * s, y * s }'
}
"$program" >/dev/null 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Vantorel$' | head -n 1)
sleep 0.5

browse() {  # keys to press in the browser before Enter
    xdotool mousemove --window "$window" $(at 53 28) click 1
    local browser
    browser=$(timeout 20 xdotool search --sync --onlyvisible --name '^Browse Performance Counters$' | head -n 1)
    sleep 0.4
    xdotool windowfocus --sync "$browser"
    for key in "$@"; do
        case $key in
            type:*) xdotool type --delay 20 "${key#type:}" ;;
            shot:*) sleep 0.4; import -window "$browser" "$out/${key#shot:}$suffix.png" ;;
            *) xdotool key "$key" ;;
        esac
        sleep 0.1
    done
    xdotool key Return
    sleep 0.6
}

browse                                   # Processor(_Total) % Processor Time
browse Down Tab Down Down                # Memory, Available MBytes
browse Down Down Down Down Tab Down Down Down Tab type:vantorel Tab shot:browser
xdotool mousemove --window "$window" $(at 30 120) click 1   # Update Every Second
sleep 2.5
import -window "$window" "$out/window$suffix.png"
