#!/bin/sh
# Makes the Debian package of a built tree and checks it as a user's system
# would see it: scripts/check-package.sh BUILD-DIR
#   - cpack -G DEB makes it; its content is listed and must hold both programs
#     with their manual pages, the print helper and the desktop integration
#     (the icon in every fixed size besides the scalable one), and no cache
#     files; it recommends Qt's Wayland plugin;
#   - lintian finds no error or warning in it;
#   - the AppStream metadata, the desktop entry and the manual pages validate;
#   - both programs, run from the unpacked package without a display, answer
#     --help and --version (exit status 0, the package's version); the print
#     helper starts and answers a call without arguments with its usage.
# Needs dpkg-dev, lintian, appstream, desktop-file-utils, man-db, groff-base.
set -eu
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "check-package: FAIL: $*" >&2; exit 1; }
step() { echo "== $*"; }

step "cpack -G DEB"
rm -f "$build"/halvex_*.deb
(cd "$build" && cpack -G DEB >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack"; }
set -- "$build"/halvex_*.deb
[ $# -eq 1 ] && [ -f "$1" ] || fail "cpack made no single halvex_*.deb"
deb=$1
version=$(dpkg-deb -f "$deb" Version)
upstream=${version%-*}
echo "$deb ($version)"

step "dpkg-deb -c"
dpkg-deb -c "$deb" | tee "$work/content"
id=com.halvex.switchsetup
for f in usr/bin/halvex usr/bin/halvex-eval usr/libexec/halvex/halvex-print-submit \
  usr/share/man/man1/halvex.1.gz usr/share/man/man1/halvex-eval.1.gz \
  usr/share/applications/$id.desktop usr/share/metainfo/$id.metainfo.xml \
  usr/share/icons/hicolor/scalable/apps/halvex.svg usr/share/mime/packages/halvex.xml \
  usr/share/icons/hicolor/16x16/apps/halvex.png usr/share/icons/hicolor/256x256/apps/halvex.png \
  usr/share/doc/halvex/copyright usr/share/doc/halvex/changelog.Debian.gz \
  usr/share/doc/halvex/examples/plant.csv; do
  grep -q " \./$f\$" "$work/content" || fail "the package lacks $f"
done
# The README and every picture it shows.
grep -q " \./usr/share/doc/halvex/README.md\$" "$work/content" || fail "the package lacks the README"
for picture in $(grep -o 'docs/pictures/[A-Za-z0-9._-]*\.png' "$(dirname "$0")/../README.md" | sort -u); do
  grep -q " \./usr/share/doc/halvex/$picture\$" "$work/content" || fail "the package lacks $picture of the README"
done
# The desktop's caches belong to the system and are rebuilt by its triggers.
! grep -E '(mime\.cache|mimeinfo\.cache|icon-theme\.cache)$' "$work/content" || fail "the package holds cache files"
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "dependencies were not worked out from the programs"
dpkg-deb -f "$deb" Recommends | grep -qw qt6-wayland || fail "the package does not recommend qt6-wayland"

step "lintian"
lintian --fail-on error,warning "$deb" || fail "lintian found errors or warnings"

dpkg-deb -x "$deb" "$work/root"
root=$work/root

step "icons"
# Every fixed size a PNG of just that size, beside the scalable one.
for size in 16 22 24 32 48 64 128 256; do
  png="$root/usr/share/icons/hicolor/${size}x${size}/apps/halvex.png"
  file -b "$png" | grep -q "^PNG image data, $size x $size," ||
    fail "icon ${size}x${size}: $(file -b "$png" 2>&1)"
done
echo "halvex.png in 16 to 256 pixels, and halvex.svg"

step "appstreamcli validate --no-net --pedantic"
appstreamcli validate --no-net --pedantic "$root/usr/share/metainfo/$id.metainfo.xml" || fail "AppStream metadata"
# The whole tree: the metadata's desktop entry is there and fits it.
appstreamcli validate-tree --no-net --pedantic "$root" || fail "AppStream metadata with the desktop entry"
grep -q "<release version=\"$upstream\"" "$root/usr/share/metainfo/$id.metainfo.xml" ||
  fail "the AppStream metadata lists no release $upstream"
zcat "$root/usr/share/doc/halvex/changelog.Debian.gz" | head -n 1 | grep -q "^halvex ($version)" ||
  fail "the change log's first entry is not $version"

step "desktop-file-validate"
desktop-file-validate "$root/usr/share/applications/$id.desktop" || fail "desktop entry"

step "manual pages"
for page in halvex halvex-eval; do
  file="$root/usr/share/man/man1/$page.1.gz"
  warnings=$(zcat "$file" | groff -man -ww -z 2>&1) || fail "groff on $page.1"
  [ -z "$warnings" ] || fail "groff warns on $page.1: $warnings"
  lexgrog "$file" | grep -q "\"$page - " || fail "$page.1 has no proper NAME section"
  MANWIDTH=80 man -l "$file" 2>&1 >/dev/null | grep . && fail "man -l $page.1 complains"
done

step "the programs from the package, without a display"
run() { # run PROGRAM OPTION: exit status 0 and something on standard output
  env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$root/usr/bin/$1" "$2" >"$work/out" 2>"$work/err" ||
    fail "$1 $2: exit status $? ($(cat "$work/err"))"
  [ -s "$work/out" ] || fail "$1 $2 printed nothing on standard output"
}
for program in halvex halvex-eval; do
  run "$program" --help
  grep -q -- "$program" "$work/out" || fail "$program --help does not name the program"
  run "$program" --version
  head -n 1 "$work/out" | grep -q "^$program $upstream\$" ||
    fail "$program --version printed '$(head -n 1 "$work/out")', not '$program $upstream'"
  echo "$program --version: $(head -n 1 "$work/out")"
done
# Where the window program looks for it, relative to its own folder.
helper="$root/usr/libexec/halvex/halvex-print-submit"
status=0
"$helper" >"$work/out" 2>"$work/err" || status=$?
[ "$status" -eq 64 ] && grep -q '^usage: halvex-print-submit ' "$work/err" ||
  fail "halvex-print-submit without arguments: exit status $status ($(cat "$work/err"))"
echo "halvex-print-submit: $(cat "$work/err")"
echo "check-package: $deb is fine"
