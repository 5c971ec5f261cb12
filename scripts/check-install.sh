#!/usr/bin/env bash
# Checks the desktop integration files and an installation into a temporary folder:
#   bash scripts/check-install.sh [BUILD_FOLDER]      (default: build)
# The build folder must hold quarrylog, qrl and test_app_installed.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$src/build}" && pwd)
work=$(mktemp -d)
program=""
cleanup() {
    if [ -n "$program" ]; then kill "$program" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "check-install: $*" >&2
    exit 1
}
id=example.quarrylog.Quarrylog
# The version text the build folder was configured with (the project's version).
version=$(sed -n 's/^QRL_VERSION_TEXT:INTERNAL=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || fail "no QRL_VERSION_TEXT in $build/CMakeCache.txt"

echo "== desktop entry, AppStream metainfo, MIME type, icon"
desktop-file-validate "$src/dist/linux/$id.desktop"
appstreamcli validate --no-net --explain "$build/dist/$id.metainfo.xml"
xmllint --noout "$src/dist/linux/quarrylog-mime.xml" \
    "$src/dist/linux/icons/hicolor/scalable/apps/quarrylog.svg"

echo "== install into $work/root"
DESTDIR="$work/root" cmake --install "$build" --prefix /usr > "$work/install.log"
prefix="$work/root/usr"
for f in bin/quarrylog bin/qrl share/quarrylog/docs/intro.html share/quarrylog/docs/FLCEdit.html \
    "share/applications/$id.desktop" "share/metainfo/$id.metainfo.xml" \
    share/mime/packages/quarrylog.xml share/icons/hicolor/scalable/apps/quarrylog.svg \
    share/man/man1/qrl.1.gz share/man/man1/quarrylog.1.gz \
    share/doc/quarrylog/copyright share/doc/quarrylog/changelog.gz; do
    [ -f "$prefix/$f" ] || fail "not installed: $f"
done
for size in 16 22 24 32 48 64 128 256; do
    png="$prefix/share/icons/hicolor/${size}x${size}/apps/quarrylog.png"
    file "$png" | grep -q "PNG image data, $size x $size" || fail "no $size pixel icon"
done

echo "== versions"
[ "$("$prefix/bin/qrl" --version)" = "qrl (Quarrylog) $version" ] || fail "qrl --version"
[ "$("$prefix/bin/quarrylog" --version)" = "quarrylog $version" ] || fail "quarrylog --version"
for page in qrl quarrylog; do
    th=$(gzip -dc "$prefix/share/man/man1/$page.1.gz" | sed -n '/^\.TH /p')
    grep -q " \"Quarrylog $version\" " <<< "$th" ||
        fail "$page.1 does not give the version $version"
done
"$prefix/bin/quarrylog" --help | grep -q "^Usage: quarrylog \[REPORT.qrl\]" || fail "--help"
# Without any display, the command line is still answered: usage and status 2 for a wrong one.
nodisplay=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
[ "$("${nodisplay[@]}" "$prefix/bin/quarrylog" --version)" = "quarrylog $version" ] ||
    fail "--version without a display"
status=0
"${nodisplay[@]}" "$prefix/bin/quarrylog" -platform xcb --bogus 2> "$work/bogus.txt" || status=$?
[ "$status" = 2 ] && grep -q '^Usage: quarrylog' "$work/bogus.txt" ||
    fail "--bogus without a display: status $status, $(head -c 300 "$work/bogus.txt")"

echo "== every command of qrl is in its manual page"
man=$(gzip -dc "$prefix/share/man/man1/qrl.1.gz")
commands=$("$prefix/bin/qrl" 2>&1 | sed -n 's/^  qrl \([a-z-]*\).*/\1/p' || true)
[ -n "$commands" ] || fail "qrl shows no commands"
for c in $commands; do
    grep -q "^\.BI\{0,1\} \"\{0,1\}qrl $c\b" <<< "$man" || fail "qrl $c is missing in qrl.1"
done

echo "== help pages and report type as the installed program sees them"
# The report type joins the system's types in one database, as update-mime-database does on
# installation into /usr.
mkdir -p "$work/mime-all/mime/packages"
cp /usr/share/mime/packages/*.xml "$prefix/share/mime/packages/quarrylog.xml" \
    "$work/mime-all/mime/packages/"
update-mime-database "$work/mime-all/mime" 2> "$work/mime.log" || fail "$(cat "$work/mime.log")"
cp "$build/bin/test_app_installed" "$prefix/bin/"
mkdir -p "$work/home/elsewhere" "$work/home/reports" "$work/xdg"
(cd "$work/home/elsewhere" &&
    QRL_INSTALLED_PREFIX="$prefix" XDG_DATA_DIRS="$work/mime-all" \
        XDG_CONFIG_HOME="$work/xdg" XDG_DATA_HOME="$work/xdg" \
        QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1 \
        "$prefix/bin/test_app_installed" --gtest_brief=1) || fail "installed tree test"
rm "$prefix/bin/test_app_installed"

echo "== the program started from another folder with a report named on its command line"
printf '\r\n<SETTINGS SI="NO"/>' > "$prefix/bin/quarrylog.set"
cd "$work/home/elsewhere"
QT_QPA_PLATFORM=offscreen "$prefix/bin/quarrylog" ../reports/first > "$work/run.log" 2>&1 &
program=$!
for _ in $(seq 100); do
    [ -f "$work/home/reports/first.qrl" ] && break
    kill -0 "$program" 2>/dev/null || fail "the program ended: $(cat "$work/run.log")"
    sleep 0.2
done
[ -f "$work/home/reports/first.qrl" ] || fail "the named report was not created"
grep -q "DATA_FILE_NAME=\"$work/home/reports/first.qrl\"" "$prefix/bin/quarrylog.set" ||
    fail "the named report is not the settings' report"
grep -q "<QRL VERSION=\"$version\"" "$work/home/reports/first.qrl" ||
    fail "the new report does not carry the version $version"
kill "$program"
wait "$program" 2>/dev/null || true
program=""
echo "check-install: all checks passed"
