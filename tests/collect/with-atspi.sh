#!/usr/bin/env bash
# Runs a command as a screen reader's desktop has it: a session bus with the accessibility bus
# (AT-SPI) on it, Qt's bridge to that bus switched on, and a real X server with a window manager
# (scripts/under-x.sh). The command sees QRL_ATSPI=1. Ends with 77 (skipped) when the machine
# lacks the bus's programs (Debian: dbus-daemon, at-spi2-core).
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
launcher=/usr/libexec/at-spi-bus-launcher
if ! command -v dbus-run-session >/dev/null || [ ! -x "$launcher" ]; then
    echo "with-atspi: dbus-run-session or $launcher is missing" >&2
    exit 77
fi
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QRL_ATSPI=1
# shellcheck disable=SC2016
exec dbus-run-session -- bash -c '
    "$0" &
    bus=$!
    trap "kill $bus 2>/dev/null" EXIT
    bash "$1/scripts/under-x.sh" "${@:2}"' "$launcher" "$root" "$@"
