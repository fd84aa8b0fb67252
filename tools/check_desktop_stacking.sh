#!/usr/bin/env bash
# The desktop as a person meets it, on a private X server with a real window manager (openbox)
# and tray host (trayer): Veltrix starts in the tray, a CPU fan stops and its alarm appears
# while the main window is hidden; a double click on the tray icon shows the main window, a
# click on it must not bury the alarm; the tray menu's Exit ends the run with status 0.
# Offscreen tests cannot see window stacking; this can.
#   tools/check_desktop_stacking.sh [BUILD_DIR] [DISPLAY_NUMBER]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
display=:${2:-93}
bash scripts/install-deps.sh desktop-check
veltrix=$PWD/$build/bin/veltrix
[[ -x $veltrix ]] || { echo "check_desktop_stacking: $veltrix is missing; build first" >&2; exit 2; }

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "check_desktop_stacking: $*" >&2; DISPLAY=$display import -window root "$work/failed.png" 2>/dev/null && cp "$work/failed.png" "/tmp/check_desktop_stacking-failed.png" && echo "  screen: /tmp/check_desktop_stacking-failed.png" >&2; exit 1; }

Xvfb "$display" -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 & pids+=($!)
export DISPLAY=$display
for _ in $(seq 50); do
  if xprop -root >/dev/null 2>&1; then break; fi
  sleep 0.1
done
openbox --sm-disable >/dev/null 2>&1 & pids+=($!)
sleep 1
trayer --edge bottom --align right --widthtype request --height 24 >/dev/null 2>&1 & pids+=($!)
sleep 1

mkdir -m 0700 "$work/run"
XDG_RUNTIME_DIR=$work/run XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=xcb \
  "$veltrix" --registry "$work/registry.reg"\
  --scenario examples/cpu-fan-stops.scn >"$work/out.txt" 2>&1 &
app=$!
pids+=("$app")

window_of() { xdotool search --all --pid "$app" --name "$1" 2>/dev/null | head -n 1 || true; }
stacking() { xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/,//g'; }
hex() { printf '0x%x' "$1"; }

alarm=""
for _ in $(seq 150); do
  alarm=$(window_of '^Warning$')
  if [[ -n $alarm ]]; then break; fi
  sleep 0.1
done
[[ -n $alarm ]] || fail "no alarm dialog appeared within 15 s"
icon=$(xdotool search --all --pid "$app" --classname '^veltrix$' 2>/dev/null | while read -r w; do
  g=$(xdotool getwindowgeometry "$w" | sed -n 's/.*Geometry: //p')
  if [[ $g == 22x22 || $g == 24x24 ]]; then echo "$w"; fi; done | head -n 1 || true)
[[ -n $icon ]] || fail "no tray icon"
eval "$(xdotool getwindowgeometry --shell "$icon")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click --repeat 2 --delay 80 1
main=""
for _ in $(seq 50); do
  for w in $(xdotool search --all --onlyvisible --pid "$app" --name '^(Hushwind|Veltrix)' 2>/dev/null || true); do
    eval "$(xdotool getwindowgeometry --shell "$w")"
    if ((WIDTH > 300)); then main=$w; fi
  done
  if [[ -n $main ]]; then break; fi
  sleep 0.1
done
[[ -n $main ]] || fail "the double click on the tray icon did not show the main window"
sleep 1
eval "$(xdotool getwindowgeometry --shell "$main")"
# A click on an empty spot of the main window (left of the buttons at the bottom).
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT - 20)) click 1
sleep 1
order=$(stacking)
below=$(awk -v m="$(hex "$main")" -v a="$(hex "$alarm")" '{for (i = 1; i <= NF; i++) { if ($i == m) mi = i; if ($i == a) ai = i } } END { print (ai < mi) ? "yes" : "no" }' <<<"$order")
[[ $below == no ]] || fail "the alarm dialog fell behind the main window (stacking: $order)"

# The tray menu's Exit.
eval "$(xdotool getwindowgeometry --shell "$icon")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 3
sleep 1
menu=$(xdotool search --all --onlyvisible --pid "$app" --classname '^veltrix$' 2>/dev/null | while read -r w; do
  eval "$(xdotool getwindowgeometry --shell "$w")"
  if ((HEIGHT > 30 && HEIGHT < 120 && WIDTH < 300)); then echo "$w"; fi; done | tail -n 1 || true)
[[ -n $menu ]] || fail "the tray menu did not open"
eval "$(xdotool getwindowgeometry --shell "$menu")"
# Two entries, "Show" above "Exit".
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT * 3 / 4)) sleep 0.2 click 1
for _ in $(seq 50); do
  if ! kill -0 "$app" 2>/dev/null; then break; fi
  sleep 0.1
done
if kill -0 "$app" 2>/dev/null; then fail "the tray menu's Exit did not end the program"; fi
status=0
wait "$app" || status=$?
((status == 0)) || fail "the program ended with status $status: $(cat "$work/out.txt")"
echo "check_desktop_stacking: the alarm stayed above the main window; the tray menu's Exit ended the run (status 0)"
