#!/usr/bin/env bash
# Drives the real window under a virtual X display with real key presses: Load (F3) through the
# file dialog, Run It (Ctrl+F9), a screenshot, then Exit (Ctrl+X), which must end with status 0.
# Then a descriptor given as the argument: a missing one opens the error box at start-up.
#   window_e2e.sh QUELVAR EXAMPLES_FOLDER SCREENSHOT.png     (run inside xvfb-run)
set -euo pipefail
quelvar=$1 examples=$2 screenshot=$3

work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
cp "$examples"/multiply* "$work"/
cd "$work"

# Polls until the command succeeds, for up to a minute: the sanitizer build of the window starts
# and draws many times slower than the normal one, and CI shares its cores with other jobs.
until_true() {
  local deadline=$((SECONDS + 60))
  until "$@" >/dev/null 2>&1; do
    if [ "$SECONDS" -ge "$deadline" ]; then
      echo "gave up waiting for: $*" >&2
      return 1
    fi
    sleep 0.1
  done
}
# The windows on screen named NAME: a window exists, with its name, before it is shown.
shown() { xdotool search --onlyvisible --name "^$1\$"; }
# Gives WINDOW the keyboard and waits until it has it, so that no key press goes elsewhere.
# (xdotool's own wait has no end of its own, hence the timeout).
focus() { until_true timeout 10 xdotool windowfocus --sync "$1"; }
# Whether the window's process has ended (a child that ended stays a zombie until waited for).
over() { ! kill -0 "$pid" 2>/dev/null || ps -o stat= -p "$pid" | grep -q '^Z'; }
# Waits for the window to end on its own; its exit status is the test's.
ended() {
  until_true over
  local status=0
  wait "$pid" || status=$?
  pid=
  echo "quelvar exited with status $status"
  return "$status"
}

"$quelvar" &
pid=$!
until_true shown Quelvar
wid=$(shown Quelvar | head -1)

focus "$wid"
xdotool key F3
until_true shown Open
focus "$(shown Open | head -1)"
xdotool type --delay 5 "$work/multiply.rm"
xdotool key Return
until_true bash -c "! xdotool search --onlyvisible --name '^Open\$'"
# A box in place of the loaded program (a name typed wrong) would take the keys that follow.
[ "$(shown Quelvar | wc -l)" -eq 1 ] || { echo "the load opened a box" >&2; exit 1; }

focus "$wid"
xdotool key ctrl+F9
# The run takes about 205 ticks of 1 ms; the picture is taken once the window holds still.
still() {
  import -window "$wid" "rgb:$work/now.rgb" && cmp -s "$work/now.rgb" "$work/then.rgb" ||
    { mv "$work/now.rgb" "$work/then.rgb"; false; }
}
until_true still
import -window "$wid" "$screenshot"
test -s "$screenshot"
kill -0 "$pid"  # still running after the program ended

focus "$wid"
xdotool key ctrl+x
ended

# A missing descriptor opens the error box at start-up; so do names that look like Qt's own
# options, since Qt takes none from Quelvar's command line; a Latin-1 name keeps its bytes and
# loads (no box).
cp multiply.rm $'caf\xe9.rm'
for name in missing.rm -reverse $'caf\xe9.rm'; do
  "$quelvar" "$name" &
  pid=$!
  until_true shown Quelvar
  # The error box is captioned with the application title, as the window is: one window more
  # named Quelvar on screen.
  if [ "$name" = $'caf\xe9.rm' ]; then
    sleep 1
    test "$(shown Quelvar | wc -l)" -eq 1
  else
    until_true bash -c "[ \$(xdotool search --onlyvisible --name '^Quelvar\$' | wc -l) -gt 1 ]"
  fi
  kill "$pid"
  ended || true
done
