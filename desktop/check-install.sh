#!/usr/bin/env bash
# Stages an install of the build into a temporary folder and checks it as a desktop would: every
# file in its place, the desktop entry and the metainfo valid, the icons one picture at every
# size, the file type telling a descriptor from a RealMedia video, the manual pages rendering
# without warnings, quelvar-run --version, and the .deb building with no lintian error. Then a
# private install into a temporary home's ~/.local: its file type and launcher known at once.
#   check-install.sh BUILD_FOLDER DESKTOP_SOURCE_FOLDER VERSION
set -euo pipefail
build=$(realpath "$1") source=$(realpath "$2") version=$3
id=org.quelvar.Quelvar
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null
share=$stage/usr/share
expected=(
  usr/bin/quelvar usr/bin/quelvar-run
  "usr/share/applications/$id.desktop" "usr/share/metainfo/$id.metainfo.xml"
  "usr/share/mime/packages/$id.xml" "usr/share/icons/hicolor/scalable/apps/$id.svg"
  usr/share/man/man1/quelvar.1.gz usr/share/man/man1/quelvar-run.1.gz
  usr/share/doc/quelvar/copyright usr/share/doc/quelvar/changelog.gz
  usr/share/doc/quelvar/examples/multiply.rm usr/share/doc/quelvar/examples/multiply-data.txt
  usr/share/doc/quelvar/examples/multiply-program.txt usr/share/doc/quelvar/examples/divide.cases
  usr/share/doc/quelvar/examples/grading/add.cases
  usr/share/doc/quelvar/examples/grading/model/add.rm
  usr/share/doc/quelvar/examples/grading/submissions/carol/add-program.txt
)
sizes=(16 22 24 32 48 64 128 256)
for size in "${sizes[@]}"; do expected+=("usr/share/icons/hicolor/${size}x${size}/apps/$id.png"); done
for file in "${expected[@]}"; do [ -f "$stage/$file" ] || fail "not installed: /$file"; done
# The databases of a staged install are the package manager's to build.
for cache in mime/mime.cache applications/mimeinfo.cache; do
  [ ! -e "$share/$cache" ] || fail "a staged install wrote /usr/share/$cache"
done

desktop-file-validate "$share/applications/$id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml" >"$stage/as.log" 2>&1 ||
  { cat "$stage/as.log"; fail "appstreamcli validate"; }
grep -E '^[EW]:' "$stage/as.log" && fail "appstreamcli reports errors or warnings"
grep -q "release version=\"$version\"" "$share/metainfo/$id.metainfo.xml" ||
  fail "metainfo lacks release $version"

# One picture: each size, and the SVG rendered by ImageMagick, against the largest scaled down.
largest="$share/icons/hicolor/256x256/apps/$id.png"
for size in "${sizes[@]}"; do
  png="$share/icons/hicolor/${size}x${size}/apps/$id.png"
  [ "$(identify -format '%wx%h' "$png")" = "${size}x${size}" ] || fail "icon $size has another size"
  convert "$largest" -resize "${size}x${size}" "$stage/reference.png"
  distance=$( (compare -metric RMSE "$png" "$stage/reference.png" null: 2>&1 || true) | sed "s/.*(\(.*\))/\1/")
  awk -v d="$distance" 'BEGIN { exit !(d < 0.12) }' || fail "icon $size is another picture ($distance)"
done

# The file type: a descriptor is ours, a RealMedia file (magic ".RMF") stays video.
mkdir -p "$stage/xdg"
update-mime-database "$share/mime" 2>/dev/null
printf '.RMF\0\0\0\x12\0\x01\0\0\0\0\0\0' >"$stage/movie.rm"
type_of() {
  XDG_DATA_HOME="$stage/xdg" XDG_DATA_DIRS="$share:/usr/share" \
    gio info -a standard::content-type "$1" | sed -n 's/.*content-type: //p'
}
[ "$(type_of "$source/../examples/multiply.rm")" = text/x-quelvar-descriptor ] ||
  fail "a descriptor is $(type_of "$source/../examples/multiply.rm")"
[ "$(type_of "$stage/movie.rm")" = application/vnd.rn-realmedia ] ||
  fail "a RealMedia file is $(type_of "$stage/movie.rm")"

# A private install refreshes its own databases: a descriptor is ours and Quelvar opens it at
# once. Without the tools on the PATH, the install says what to run instead.
home=$stage/home data=$stage/home/.local/share
HOME="$home" cmake --install "$build" --prefix "$home/.local" >"$stage/private.log"
[ -f "$data/mime/mime.cache" ] || fail "a private install leaves the MIME database stale"
grep -qx "text/x-quelvar-descriptor=$id.desktop;" "$data/applications/mimeinfo.cache" ||
  fail "a private install leaves the desktop database stale"
# As Debian's ~/.profile does, ~/.local/bin is on the PATH (gio lists only launchers it can run).
in_home() { PATH="$home/.local/bin:$PATH" HOME="$home" XDG_DATA_HOME="$data" XDG_DATA_DIRS=/usr/share "$@"; }
private_type=$(in_home gio info -a standard::content-type "$source/../examples/multiply.rm" |
  sed -n 's/.*content-type: //p')
[ "$private_type" = text/x-quelvar-descriptor ] || fail "a descriptor is $private_type in ~/.local"
private_default=$(in_home gio mime text/x-quelvar-descriptor 2>&1 || true)
grep -q "^Default application.*: $id.desktop$" <<<"$private_default" ||
  fail "Quelvar does not open descriptors in ~/.local; gio mime says: $private_default"
mkdir "$stage/bin"
ln -s "$(command -v cmake)" "$stage/bin/cmake"
PATH="$stage/bin" HOME="$stage/bare" cmake --install "$build" --prefix "$stage/bare/.local" \
  >"$stage/bare.log"
grep -q "run: update-mime-database '$stage/bare/.local/share/mime'" "$stage/bare.log" ||
  fail "an install without update-mime-database does not say what to run"
[ ! -e "$stage/bare/.local/share/mime/mime.cache" ] || fail "a MIME database without the tool"

for page in quelvar quelvar-run; do
  warnings=$(MANWIDTH=80 man --warnings -l "$share/man/man1/$page.1.gz" 2>&1 >/dev/null)
  [ -z "$warnings" ] || { echo "$warnings"; fail "man page $page warns"; }
  MANWIDTH=80 man -l "$share/man/man1/$page.1.gz" 2>/dev/null | grep -q "Quelvar $version" ||
    fail "man page $page lacks the version"
done

[ "$("$stage/usr/bin/quelvar-run" --version)" = "quelvar-run $version" ] || fail "quelvar-run --version"
"$stage/usr/bin/quelvar-run" --help >/dev/null || fail "quelvar-run --help"

# The Debian package, built from the same build, and lintian's word on it.
(cd "$build" && cpack -G DEB -B "$stage/package" >"$stage/cpack.log" 2>&1) ||
  { cat "$stage/cpack.log"; fail "cpack"; }
deb=$(ls "$stage"/package/quelvar_"$version"_*.deb 2>/dev/null | head -1)
if [ -z "$deb" ]; then
  fail "no quelvar_${version}_<arch>.deb"
else
  dpkg-deb --field "$deb" Depends Section
  lintian --tag-display-limit 0 --info "$deb" >"$stage/lintian.log" 2>&1 || true
  cat "$stage/lintian.log"
  grep -q '^E:' "$stage/lintian.log" && fail "lintian reports errors"
fi

echo "$failures failed"
[ "$failures" -eq 0 ]
