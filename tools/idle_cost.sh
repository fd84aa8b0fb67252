#!/usr/bin/env bash
# What Veltrix costs while nobody looks at it. Starts a private X server (Xvfb) with a tray
# host, runs the desktop front end hidden in the tray and the console front end with --json,
# lets both settle, then measures each for RUNS windows of SECONDS and prints the medians:
#
#   RSS            resident memory at the end (VmRSS)
#   CPU %          of one core, from utime + stime in /proc/<pid>/stat
#   wake-ups/s     voluntary + involuntary context switches of all threads (/proc/<pid>/task)
#   calls/tick     system calls per monitoring tick (strace -c over one more window, when
#                  strace is installed; the console's output write counted apart)
#
# When psensor is installed it is measured the same way on the same display, for comparison.
#
#   tools/idle_cost.sh [-s SECONDS] [-n RUNS] [-b VELTRIX] [-d DISPLAY] [--shown]
#
#   -s SECONDS   length of one measuring window (default 20)
#   -n RUNS      windows per program; the table shows medians (default 3)
#   -b VELTRIX   the program to measure (default build/bin/veltrix)
#   -d DISPLAY   display number of the private X server (default 91)
#   --shown      also measure the desktop with its window shown on the Temp/Fan page
#
# Needs Xvfb and trayer (or stalonetray); xdotool for --shown. Nothing outside a fresh temporary
# folder is touched: every run has its own settings file and runtime folder.
set -euo pipefail

SECONDS_PER_RUN=20
RUNS=3
DISPLAY_NUMBER=91
SHOWN=0
HERE="$(cd "$(dirname "$0")/.." && pwd)"
VELTRIX="$HERE/build/bin/veltrix"
SETTLE=4        # seconds after start before measuring
TICK_MS=600     # the monitoring period of a fresh settings file

while [ $# -gt 0 ]; do
  case "$1" in
    -s) SECONDS_PER_RUN="$2"; shift 2 ;;
    -n) RUNS="$2"; shift 2 ;;
    -b) VELTRIX="$2"; shift 2 ;;
    -d) DISPLAY_NUMBER="$2"; shift 2 ;;
    --shown) SHOWN=1; shift ;;
    -h|--help) sed -n '2,22p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "idle_cost.sh: unknown option $1 (see --help)" >&2; exit 2 ;;
  esac
done

die() { echo "idle_cost.sh: $*" >&2; exit 1; }
[ -x "$VELTRIX" ] || die "no program at $VELTRIX (build it, or name it with -b)"
command -v Xvfb >/dev/null || die "Xvfb is needed (apt install xvfb)"
TRAY_HOST=""
if command -v trayer >/dev/null; then
  TRAY_HOST="trayer --edge bottom --align right --widthtype pixel --width 160 --height 24 --transparent false"
elif command -v stalonetray >/dev/null; then
  TRAY_HOST="stalonetray"
else
  die "a tray host is needed (apt install trayer)"
fi
if [ "$SHOWN" = 1 ]; then command -v xdotool >/dev/null || die "--shown needs xdotool"; fi

WORK="$(mktemp -d -t veltrix-idle.XXXXXX)"
PIDS=()
cleanup() {
  local pid
  for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  sleep 0.5
  for pid in "${PIDS[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
  rm -rf "$WORK"
}
trap cleanup EXIT INT TERM

CLK_TCK="$(getconf CLK_TCK)"

# utime + stime of a process in clock ticks.
cpu_ticks() { awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$1/stat"; }
# Context switches of all its threads.
switches() {
  cat /proc/"$1"/task/*/status 2>/dev/null |
    awk '/^(voluntary|nonvoluntary)_ctxt_switches/ { n += $2 } END { print n + 0 }'
}
rss_kb() { awk '/^VmRSS/ { print $2 }' "/proc/$1/status"; }
median() { sort -g | awk '{ v[NR] = $1 } END { if (NR == 0) print "-"; else if (NR % 2) print v[(NR + 1) / 2]; else printf "%.3f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# measure NAME PID: RUNS windows; leaves "<cpu%> <wakeups/s> <rss MB>" medians in $WORK/NAME.row
measure() {
  local name="$1" pid="$2" i t0 t1 s0 s1 c0 c1
  : >"$WORK/$name.cpu"; : >"$WORK/$name.wake"
  for ((i = 0; i < RUNS; i++)); do
    kill -0 "$pid" 2>/dev/null || die "$name ended while being measured"
    c0=$(cpu_ticks "$pid"); s0=$(switches "$pid"); t0=$(date +%s.%N)
    sleep "$SECONDS_PER_RUN"
    c1=$(cpu_ticks "$pid"); s1=$(switches "$pid"); t1=$(date +%s.%N)
    awk -v c="$((c1 - c0))" -v hz="$CLK_TCK" -v a="$t0" -v b="$t1" \
      'BEGIN { printf "%.3f\n", 100 * c / hz / (b - a) }' >>"$WORK/$name.cpu"
    awk -v s="$((s1 - s0))" -v a="$t0" -v b="$t1" 'BEGIN { printf "%.2f\n", s / (b - a) }' >>"$WORK/$name.wake"
  done
  echo "$(median <"$WORK/$name.cpu") $(median <"$WORK/$name.wake") $(awk -v k="$(rss_kb "$pid")" 'BEGIN { printf "%.1f", k / 1024 }')" \
    >"$WORK/$name.row"
}

# strace_calls NAME PID TICKS_FN: system calls over one window divided by the ticks in it.
strace_calls() {
  local name="$1" pid="$2" ticks="$3" total writes
  echo "- -" >"$WORK/$name.calls"
  command -v strace >/dev/null || return 0
  timeout -s INT "$SECONDS_PER_RUN" strace -c -f -q -p "$pid" -o "$WORK/$name.strace" 2>/dev/null || true
  [ -s "$WORK/$name.strace" ] || return 0
  total=$(awk '$NF == "total" { print $4 }' "$WORK/$name.strace")
  writes=$(awk '$NF == "write" { print $4 }' "$WORK/$name.strace")
  ticks=$($ticks)
  [ "${ticks:-0}" -gt 0 ] || return 0
  awk -v t="${total:-0}" -v w="${writes:-0}" -v n="$ticks" 'BEGIN { printf "%.1f %.1f\n", t / n, w / n }' \
    >"$WORK/$name.calls"
}

# A fresh environment per program: settings, runtime folder, home.
env_for() {
  local dir="$WORK/$1"
  mkdir -p "$dir/run" "$dir/home" "$dir/config"
  chmod 700 "$dir/run"
  echo "XDG_RUNTIME_DIR=$dir/run HOME=$dir/home XDG_CONFIG_HOME=$dir/config"
}

# ---- the private desktop --------------------------------------------------------------------
export DISPLAY=":$DISPLAY_NUMBER"
[ -e "/tmp/.X11-unix/X$DISPLAY_NUMBER" ] && die "display $DISPLAY is in use (pick another with -d)"
Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
PIDS+=($!)
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$DISPLAY_NUMBER" ] && break; sleep 0.1; done
if command -v openbox >/dev/null; then openbox >"$WORK/wm.log" 2>&1 & PIDS+=($!); fi
$TRAY_HOST >"$WORK/tray.log" 2>&1 &
PIDS+=($!)
sleep 1

echo "Measuring $VELTRIX: $RUNS x ${SECONDS_PER_RUN}s per program after ${SETTLE}s to settle (medians)."

# ---- the desktop, hidden in the tray --------------------------------------------------------
env $(env_for desktop) "$VELTRIX" --registry "$WORK/desktop/registry.reg" >"$WORK/desktop.out" 2>&1 &
DESKTOP=$!
PIDS+=($DESKTOP)
sleep "$SETTLE"
kill -0 "$DESKTOP" 2>/dev/null || die "the desktop front end ended at once: $(cat "$WORK/desktop.out")"
measure desktop "$DESKTOP"
desktop_ticks() { echo $((SECONDS_PER_RUN * 1000 / TICK_MS)); }
strace_calls desktop "$DESKTOP" desktop_ticks

if [ "$SHOWN" = 1 ]; then
  # Double-click the tray icon (the right end of the tray), then pick the Temp/Fan page.
  TRAY=$(xdotool search --onlyvisible --class trayer 2>/dev/null | head -1 || true)
  [ -n "$TRAY" ] || die "--shown: the tray host's window was not found"
  read -r TX TY TW TH < <(xdotool getwindowgeometry --shell "$TRAY" |
    awk -F= '/^(X|Y|WIDTH|HEIGHT)=/ { printf "%s ", $2 } END { print "" }')
  xdotool mousemove $((TX + TW - 12)) $((TY + TH / 2)) click --repeat 2 --delay 80 1
  sleep 1
  MAIN=$(xdotool search --onlyvisible --pid "$DESKTOP" 2>/dev/null | head -1 || true)
  [ -n "$MAIN" ] || die "the main window did not open from the tray"
  read -r MX MY < <(xdotool getwindowgeometry --shell "$MAIN" |
    awk -F= '/^(X|Y)=/ { printf "%s ", $2 } END { print "" }')
  xdotool mousemove $((MX + 170)) $((MY + 65)) click 1   # the third tab
  sleep "$SETTLE"
  measure shown "$DESKTOP"
  strace_calls shown "$DESKTOP" desktop_ticks
fi
kill "$DESKTOP" 2>/dev/null || true

# ---- the console, one JSON record per tick --------------------------------------------------
env $(env_for console) "$VELTRIX" --json --registry "$WORK/console/registry.reg" >"$WORK/console.jsonl" \
  2>"$WORK/console.err" &
CONSOLE=$!
PIDS+=($CONSOLE)
sleep "$SETTLE"
kill -0 "$CONSOLE" 2>/dev/null || die "the console front end ended at once: $(cat "$WORK/console.err")"
measure console "$CONSOLE"
LINES_BEFORE=0
console_ticks() { echo $(($(wc -l <"$WORK/console.jsonl") - LINES_BEFORE)); }
LINES_BEFORE=$(wc -l <"$WORK/console.jsonl")
strace_calls console "$CONSOLE" console_ticks
kill "$CONSOLE" 2>/dev/null || true

# ---- a peer for comparison ------------------------------------------------------------------
if command -v psensor >/dev/null; then
  env $(env_for psensor) psensor >"$WORK/psensor.out" 2>&1 &
  PSENSOR=$!
  PIDS+=($PSENSOR)
  sleep "$SETTLE"
  if kill -0 "$PSENSOR" 2>/dev/null; then
    measure psensor "$PSENSOR"
    echo "- -" >"$WORK/psensor.calls"
  fi
  kill "$PSENSOR" 2>/dev/null || true
fi

# ---- the table ------------------------------------------------------------------------------
printf '\n%-28s %8s %8s %12s %12s %12s\n' "program" "RSS MB" "CPU %" "wake-ups/s" "calls/tick" "writes/tick"
row() {
  local name="$1" label="$2"
  [ -f "$WORK/$name.row" ] || return 0
  read -r cpu wake rss <"$WORK/$name.row"
  read -r calls writes <"$WORK/$name.calls"
  printf '%-28s %8s %8s %12s %12s %12s\n' "$label" "$rss" "$cpu" "$wake" "$calls" "$writes"
}
row desktop "veltrix desktop, in tray"
row shown "veltrix desktop, Temp/Fan"
row console "veltrix console --json"
row psensor "psensor"
command -v strace >/dev/null || echo "(strace is not installed: no system-call counts)"
echo "(desktop calls/tick assume the ${TICK_MS} ms period of a fresh settings file)"
