#!/usr/bin/env bash
# Builds the Debian package, lists it, checks it with lintian (an error fails; warnings and
# notes are shown), installs it with apt-get, starts the program once offscreen (as an ordinary
# user, from another folder, with a report named on its command line) and removes the package
# again. As root, on a machine without the package:
#   bash scripts/check-deb.sh [BUILD_FOLDER]      (default: build; build-release for the
#                                                  package as a packager builds it)
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$src/build}" && pwd)
fail() {
    echo "check-deb: $*" >&2
    exit 1
}
[ "$(id -u)" -eq 0 ] || fail "run this as root"
if dpkg-query -W -f='${Status}' quarrylog 2>/dev/null | grep -q "install ok installed"; then
    fail "the package quarrylog is installed already"
fi

echo "== build"
cd "$build"
rm -f quarrylog_*.deb
cpack -G DEB > cpack.log || fail "cpack failed, see $build/cpack.log"
deb=$(ls quarrylog_*.deb)
dpkg-deb --field "$deb" Package Version Architecture Depends Recommends
dpkg-deb --contents "$deb"
version=$(sed -n 's/^QRL_VERSION_TEXT:INTERNAL=//p' CMakeCache.txt)
[ "$(dpkg-deb --field "$deb" Version)" = "${version// /\~}" ] ||
    fail "the package's version is not that of the program ($version)"

echo "== lintian"
if ! dpkg-query -W -f='${Status}' lintian 2>/dev/null | grep -q "install ok installed"; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends lintian > /dev/null
fi
lintian --info --display-info --fail-on error "$deb" || fail "lintian found errors"

echo "== install"
work=$(mktemp -d)
chmod 755 "$work"
program=""
cleanup() {
    if [ -n "$program" ]; then kill "$program" 2>/dev/null || true; fi
    cd /
    rm -rf "$work"
    echo "== remove"
    apt-get remove -y quarrylog > /dev/null && echo "removed"
}
trap cleanup EXIT
apt-get install -y "./$deb"
man -w qrl > /dev/null || fail "no manual page for qrl"
qrl --version

echo "== start once"
mkdir -p "$work/home/elsewhere" "$work/home/reports"
chown -R nobody "$work/home"
cd "$work/home/elsewhere"
runuser -u nobody -- env HOME="$work/home" QT_QPA_PLATFORM=offscreen \
    quarrylog ../reports/first.qrl > "$work/run.log" 2>&1 &
program=$!
for _ in $(seq 100); do
    [ -f "$work/home/reports/first.qrl" ] && break
    kill -0 "$program" 2>/dev/null || fail "the program ended: $(cat "$work/run.log")"
    sleep 0.2
done
[ -f "$work/home/reports/first.qrl" ] || fail "the named report was not created"
grep -q "DATA_FILE_NAME=\"$work/home/reports/first.qrl\"" \
    "$work/home/.config/quarrylog/quarrylog.set" || fail "the report is not in the settings"
kill "$program"
wait "$program" 2>/dev/null || true
program=""
echo "check-deb: the package installs, starts and is removed"
