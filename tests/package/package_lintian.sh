#!/usr/bin/env bash
# Builds the Debian package and checks it as Debian's own tools would: the manual page and
# /usr/share/doc/pelko are there, the description reads cleanly, lintian finds nothing
# beyond the tags explained below. Exit 77: cannot run here.
#   package_lintian.sh <build folder>
set -uo pipefail
build="$1"
work="$(mktemp -d /tmp/pelko-lintian.XXXXXX)"
trap 'rm -rf "$work"' EXIT
fail() { echo "package_lintian: FAILED: $*"; exit 1; }
for tool in cpack lintian dpkg-deb man; do
  command -v "$tool" >/dev/null || { echo "package_lintian: $tool missing"; exit 77; }
done

cmake --build "$build" --target pelko >"$work/build.log" 2>&1 || { cat "$work/build.log"; exit 1; }
(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || {
  cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/out/pelko_*_amd64.deb 2>/dev/null | head -n1)
[ -n "$deb" ] || fail "no package built"

dpkg-deb -c "$deb" >"$work/contents"
for f in ./usr/share/man/man1/pelko.1.gz ./usr/share/doc/pelko/copyright \
         ./usr/share/doc/pelko/changelog.gz; do
  grep -q " $f\$" "$work/contents" || fail "$f not in the package"
done
dpkg-deb -f "$deb" Description >"$work/description"
grep -q '^ *;' "$work/description" && fail "a description line begins with ';'"

# The manual page renders without warnings.
dpkg-deb -x "$deb" "$work/root"
MANWIDTH=80 LC_ALL=C.UTF-8 man --warnings -l "$work/root/usr/share/man/man1/pelko.1.gz" \
  >"$work/man.txt" 2>"$work/man.err" || fail "man could not render pelko(1)"
[ -s "$work/man.err" ] && { cat "$work/man.err"; fail "man warns about pelko(1)"; }
grep -q -- "--export-csv" "$work/man.txt" || fail "pelko(1) does not describe --export-csv"

lintian --no-cfg --fail-on error,warning "$deb" >"$work/lintian.txt" 2>&1
status=$?
cat "$work/lintian.txt"
[ $status -eq 0 ] || fail "lintian"
echo "package_lintian: passed"
