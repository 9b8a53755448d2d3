#!/usr/bin/env bash
# Runs atspi_check.py in a virtual display with its own session bus, the AT-SPI registry and a
# window manager (openbox, which the check starts), as a screen-reader user's desktop has them.
#   atspi_test.sh QUELVAR EXAMPLES_FOLDER
set -euo pipefail
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ] || [ -z "${DISPLAY:-}" ]; then
  # -noreset: otherwise Xvfb resets whenever its last client leaves, and refuses a client that
  # connects while it does.
  exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" dbus-run-session -- "$0" "$@"
fi
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 NO_AT_BRIDGE=0
export XDG_RUNTIME_DIR=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; rm -rf "$XDG_RUNTIME_DIR"' EXIT
/usr/libexec/at-spi-bus-launcher --launch-immediately &
pids+=($!)
/usr/bin/python3 "$(dirname "$0")/atspi_check.py" "$@"
