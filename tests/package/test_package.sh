#!/usr/bin/env bash
# The Debian package as a shop gets it: built by cpack from this build folder,
# its contents and control fields, the menu entry and the software-centre file,
# lintian, and then the installed program itself, unpacked into a throw-away
# root and started under Xvfb with a data folder of its own. Real X keys
# answer the first-start question, ring up a demo product and complete the
# sale to a PDF folder; the data file and the recorded line are then read
# back with sqlite3.
#
#     test_package.sh BUILD_DIR VERSION
set -euo pipefail

build=$(cd "$1" && pwd)
version=$2
work=$(mktemp -d /tmp/fenwo-package.XXXXXX)
pids=()

# A pid of ours that has ended may be reused: only a child of this shell is ended.
ours() { [ "$(ps -o ppid= -p "$1" 2>/dev/null | tr -d ' ')" = "$$" ]; }
cleanup() {
    local pid
    for pid in "${pids[@]}"; do
        if ours "$pid"; then
            kill "$pid" 2>/dev/null || true
            wait "$pid" 2>/dev/null || true
        fi
    done
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
step() { echo "-- $*"; }

# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
    local seconds=$1
    shift
    local i
    for ((i = 0; i < seconds * 10; i++)); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

for tool in cpack dpkg-deb dpkg-shlibdeps desktop-file-validate appstreamcli lintian Xvfb xdotool sqlite3 xdg-open file; do
    command -v "$tool" >/dev/null || fail "$tool is missing (scripts/deps.sh installs it)"
done

# 1. The package, made from the build folder into a folder of its own.
step "cpack"
(cd "$build" && cpack -G DEB -B "$work/out") > "$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack -G DEB"; }
deb=$(echo "$work"/out/fenwo_"$version"_*.deb)
[ -f "$deb" ] || { ls "$work/out"; fail "no fenwo_${version}_*.deb"; }
echo "$deb"

# 2. Control fields: the version, and Depends with the libraries found by
# dpkg-shlibdeps and the pieces Qt loads at run time.
step "dpkg-deb --info"
dpkg-deb --info "$deb" > "$work/info"
cat "$work/info"
field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = fenwo ] || fail "package name"
[ "$(field Version)" = "$version" ] || fail "version is $(field Version), not $version"
depends=$(field Depends)
for piece in libqt6widgets6 libqt6sql6 libqt6printsupport6 libc6 \
             fonts-wqy-zenhei libqt6sql6-sqlite libqt6gui6; do
    grep -Eq "(^|, )$piece( |,|$)" <<<"$depends" || fail "Depends lacks $piece: $depends"
done

# 3. Contents: what the shop needs, and nothing from the build tree's tests.
step "dpkg-deb --contents"
dpkg-deb --contents "$deb" > "$work/contents"
has() { grep -Eq " \./$1$" "$work/contents" || fail "the package lacks /$1"; }
grep -Eq '^-rwxr-xr-x root/root .* \./usr/bin/fenwo$' "$work/contents" || fail "no executable /usr/bin/fenwo"
has usr/share/applications/org.fenwo.Fenwo.desktop
has usr/share/metainfo/org.fenwo.Fenwo.metainfo.xml
for size in 16 22 24 32 48 64 128 256; do
    has "usr/share/icons/hicolor/${size}x${size}/apps/fenwo.png"
done
has usr/share/icons/hicolor/scalable/apps/fenwo.svg
has usr/share/fenwo/guide.html
has usr/share/fenwo/screenshots/main.png
has usr/share/doc/fenwo/copyright
has usr/share/doc/fenwo/changelog.gz
has usr/share/man/man1/fenwo.1.gz
if grep -Ei 'tst_|bench_|crash_probe|make_assets|\.a$|data\.db' "$work/contents"; then
    fail "build-tree files in the package"
fi

# 4. Menu entry, software-centre file, Debian's own checks.
root=$work/root
dpkg -x "$deb" "$root"
step "desktop-file-validate, appstreamcli validate"
desktop-file-validate "$root/usr/share/applications/org.fenwo.Fenwo.desktop"
grep -qx 'Exec=fenwo' "$root/usr/share/applications/org.fenwo.Fenwo.desktop" || fail "menu entry does not start fenwo"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.fenwo.Fenwo.metainfo.xml"
appstreamcli validate-tree --no-net "$root"
step "lintian"
lintian_ok=yes
lintian --fail-on error --no-tag-display-limit "$deb" > "$work/lintian" 2>&1 || lintian_ok=no
grep -v 'running with root privileges' "$work/lintian" || true
[ "$lintian_ok" = yes ] || fail "lintian reports errors"

# 5. The installed program on a screen of its own.
step "Xvfb"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
wait_for 20 test -s "$work/display" || { cat "$work/xvfb.log"; fail "Xvfb did not start"; }
export DISPLAY=":$(head -n 1 "$work/display")"
echo "DISPLAY=$DISPLAY"

# A browser stand-in for F8: it writes down what it was asked to open.
mkdir -p "$work/home/.config" "$work/apps"
cat > "$work/browser" <<EOF
#!/bin/sh
echo "\$1" >> "$work/opened"
EOF
chmod +x "$work/browser"
mkdir -p "$work/data/applications"
printf '[Desktop Entry]\nType=Application\nName=Browser\nExec=%s %%f\nMimeType=text/html;\n' "$work/browser" \
    > "$work/data/applications/fenwo-test-browser.desktop"
printf '[Default Applications]\ntext/html=fenwo-test-browser.desktop\n' > "$work/home/.config/mimeapps.list"

# Starts the installed program with $1 as XDG_DATA_HOME; its pid is in $program.
start_installed() {
    env -u QT_QPA_PLATFORM -u XDG_CURRENT_DESKTOP QT_QPA_PLATFORM=xcb \
        HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$1" LC_ALL=C.UTF-8 \
        "$root/usr/bin/fenwo" --printer "pdf:$work/pdf" >> "$work/program.log" 2>&1 &
    program=$!
    pids+=("$program")
}
running() { kill -0 "$program" 2>/dev/null; }
# The visible window of the program, once it is shown.
program_window() { xdotool search --onlyvisible --pid "$program" 2>/dev/null | tail -n 1; }
window_shown() { [ -n "$(program_window)" ]; }
# The cashier screen is 980 pixels wide; the question box is narrower.
window_width() { xdotool getwindowgeometry --shell "$(program_window)" | sed -n 's/^WIDTH=//p'; }
cashier_shown() { window_shown && [ "$(window_width)" -eq 980 ]; }
question_shown() { window_shown && [ "$(window_width)" -lt 980 ]; }
# Keys go to the window that has the focus; there is no window manager.
keys() {
    xdotool windowfocus --sync "$(program_window)"
    xdotool "$@"
    sleep 0.5
}
exited() { ! running; }

# 5a. Cancel: nothing is made and the program ends.
step "first start, cancelled"
start_installed "$work/cancelled"
wait_for 30 question_shown || { cat "$work/program.log"; fail "no first-start question"; }
keys key Escape
wait_for 20 exited || fail "the program went on after the question was cancelled"
wait "$program" || { status=$?; cat "$work/program.log"; fail "cancelling ended the program with status $status"; }
[ ! -e "$work/cancelled/fenwo" ] || fail "cancelling made $(ls -R "$work/cancelled")"

# 5b. The demo catalogue, one sale, the guide.
step "first start, demo catalogue, one sale"
data=$work/data/fenwo/data.db
start_installed "$work/data"
wait_for 30 question_shown || { cat "$work/program.log"; fail "no first-start question"; }
keys key alt+d
wait_for 20 test -f "$data" || { cat "$work/program.log"; fail "no data file at $data"; }
# The file appears before its catalogue is written.
demo_written() { [ "$(sqlite3 "$data" 'SELECT count(*) FROM spinfo' 2>/dev/null || echo 0)" -ge 20 ]; }
wait_for 20 demo_written || fail "the demo catalogue is not in $data"
# The till asks for the opening cash as it opens, before anything is typed: 跳过.
wait_for 20 question_shown && keys key Escape
wait_for 20 cashier_shown || fail "no cashier screen after the question"
keys type --delay 80 6920459950180
keys key Return
keys key F12
wait_for 20 sh -c "ls '$work/pdf'/*.pdf >/dev/null 2>&1" || { cat "$work/program.log"; fail "no PDF receipt"; }
file "$work"/pdf/*.pdf | grep -q 'PDF document' || fail "the receipt is not a PDF"
recorded=$(sqlite3 "$data" 'SELECT 编码, 品名, 数量, 金额 FROM XiaoShouRecord')
echo "recorded: $recorded"
[ "$recorded" = "6920459950180|康师傅红烧牛肉面|1.0|4.0" ] || fail "the sales record holds '$recorded'"
[ "$(sqlite3 "$data" 'SELECT count(*) FROM xiaoshou')" = 0 ] || fail "the open sale was not emptied"
keys key F8
wait_for 20 test -s "$work/opened" || { cat "$work/program.log"; fail "F8 opened nothing"; }
grep -qx "$root/usr/share/fenwo/guide.html" "$work/opened" || fail "F8 opened $(cat "$work/opened"), not the installed guide"
keys key Escape
wait_for 20 exited || fail "Esc did not end the program"
[ ! -e "$root/usr/bin/data.db" ] || fail "a data file beside the installed program"

# 5c. The next start goes straight to the cashier screen on the same file.
step "second start"
start_installed "$work/data"
wait_for 30 cashier_shown || { cat "$work/program.log"; fail "no cashier screen at the second start"; }
keys key Escape
wait_for 20 exited || fail "Esc did not end the second start"
[ "$(sqlite3 "$data" 'SELECT count(*) FROM XiaoShouRecord')" = 1 ] || fail "the second start changed the record"
if grep -q '数据库连接出错' "$work/program.log"; then fail "connection error at the second start"; fi

# 5d. Work without a window finds the same file.
step "command line on the installed data file"
env HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/data" LC_ALL=C.UTF-8 \
    "$root/usr/bin/fenwo" --export-sales "$work/sales.csv" || fail "--export-sales on the installed data file"
grep -q '康师傅红烧牛肉面' "$work/sales.csv" || fail "--export-sales did not read the installed data file"

echo "PASS: $deb"
