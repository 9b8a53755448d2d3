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

# Polls for up to five seconds until the command succeeds.
until_true() {
  for _ in $(seq 50); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
  echo "gave up waiting for: $*" >&2
  return 1
}
focus() { xdotool windowfocus --sync "$wid"; }

"$quelvar" &
pid=$!
until_true xdotool search --name '^Quelvar$'
wid=$(xdotool search --name '^Quelvar$' | head -1)
alone=$(xdotool search --name '^Quelvar$' | wc -l)

focus
xdotool key F3
until_true xdotool search --name '^Open$'
xdotool type --delay 5 "$work/multiply.rm"
xdotool key Return
until_true bash -c "! xdotool search --name '^Open$'"

focus
xdotool key ctrl+F9
sleep 1  # the run takes about 205 ticks of 1 ms
import -window "$wid" "$screenshot"
test -s "$screenshot"
kill -0 "$pid"  # still running after the program ended

focus
xdotool key ctrl+x
status=0
wait "$pid" || status=$?
pid=
echo "quelvar exited with status $status"
test "$status" -eq 0

# A missing descriptor opens the error box at start-up; so do names that look like Qt's own
# options, since Qt takes none from Quelvar's command line; a Latin-1 name keeps its bytes and
# loads (no box).
cp multiply.rm $'caf\xe9.rm'
for name in missing.rm -reverse $'caf\xe9.rm'; do
  "$quelvar" "$name" &
  pid=$!
  until_true xdotool search --name '^Quelvar$'
  # The error box is captioned with the application title, as the window is: one window more
  # named Quelvar than the window alone has (Qt's own hidden window carries the name as well).
  if [ "$name" = $'caf\xe9.rm' ]; then
    sleep 1
    test "$(xdotool search --name '^Quelvar$' | wc -l)" -eq "$alone"
  else
    until_true bash -c "[ \$(xdotool search --name '^Quelvar\$' | wc -l) -gt $alone ]"
  fi
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  pid=
done
