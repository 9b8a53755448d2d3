#!/usr/bin/env bash
# Runs contrast_check.py in a virtual display, where the check starts a window manager (openbox) so
# that the window is shown and painted as on a desktop.
#   contrast_test.sh QUELVAR EXAMPLES_FOLDER [QUELVAR_TO_COMPARE]
set -euo pipefail
if [ -z "${DISPLAY:-}" ]; then
  # -noreset: otherwise Xvfb resets whenever its last client leaves, and refuses a client that
  # connects while it does.
  exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$0" "$@"
fi
export XDG_RUNTIME_DIR=$(mktemp -d)
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
/usr/bin/python3 "$(dirname "$0")/contrast_check.py" "$@"
