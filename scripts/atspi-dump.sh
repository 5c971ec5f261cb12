#!/usr/bin/env bash
# Shows what a screen reader receives from the program: starts it on a new Xvfb display with
# openbox, a session bus and the accessibility bus of their own, prints its accessibility tree
# (AT-SPI, as Orca reads it; every tab of the main window in turn) and lists the controls that
# take the focus without a name. Exits with 1 when it found such controls.
#   bash scripts/atspi-dump.sh [BUILD_FOLDER] [REPORT]      (default: build, the dev preset's)
# Needs python3-pyatspi for the Debian python (installed here when run as root).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
report=${2:-}
if ! /usr/bin/python3 -c 'import pyatspi' 2>/dev/null; then
    if [ "$(id -u)" = 0 ]; then
        apt-get install -y -q python3-pyatspi at-spi2-core dbus >/dev/null
    else
        echo "atspi-dump: python3-pyatspi is missing (apt-get install python3-pyatspi)" >&2
        exit 2
    fi
fi
[ -x "$build/bin/quarrylog" ] || { echo "atspi-dump: build $build first" >&2; exit 2; }
launcher=/usr/libexec/at-spi-bus-launcher
export QRL_DUMP_BUILD="$build" QRL_DUMP_REPORT="$report" QRL_DUMP_LAUNCHER="$launcher"
exec dbus-run-session -- bash scripts/under-x.sh bash -c '
    "$QRL_DUMP_LAUNCHER" --launch-immediately &
    bus=$!
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QTWEBENGINE_DISABLE_SANDBOX=1 \
        "$QRL_DUMP_BUILD/bin/quarrylog" ${QRL_DUMP_REPORT:+"$QRL_DUMP_REPORT"} &
    app=$!
    rc=0
    /usr/bin/python3 tools/atspi/atspi_dump.py Quarrylog --wait 30 || rc=$?
    kill "$app" "$bus" 2>/dev/null || true
    wait 2>/dev/null || true
    exit "$rc"'
