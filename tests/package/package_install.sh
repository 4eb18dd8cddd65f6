#!/usr/bin/env bash
# Builds the Debian package, installs it, starts /usr/bin/pelko as an ordinary user on a
# virtual display until the main menu shows, then purges it and checks nothing is left.
# Without root or apt-get (or with PELKO_PACKAGE_UNPACK=1) it unpacks into a throwaway root
# instead. Exit 77: cannot run here.
#   package_install.sh <build folder>
set -uo pipefail
build="$1"
user=pelko-pkg
work="$(mktemp -d /tmp/pelko-pkg.XXXXXX)"
xvfb_pid= pelko_pid= made_user= installed=
log() { echo "package_install: $*"; }

cleanup() {
  [ -n "$pelko_pid" ] && kill "$pelko_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  if [ -n "$installed" ]; then
    DEBIAN_FRONTEND=noninteractive apt-get purge -y -q pelko >/dev/null 2>&1
  fi
  [ -n "$made_user" ] && userdel -r "$user" >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT

for tool in cpack Xvfb xdotool; do
  command -v "$tool" >/dev/null || { log "$tool missing"; exit 77; }
done

cmake --build "$build" --target pelko >"$work/build.log" 2>&1 || { cat "$work/build.log"; exit 1; }
(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || {
  cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/out/pelko_*_amd64.deb 2>/dev/null | head -n1)
[ -n "$deb" ] || { log "no pelko_<version>_amd64.deb"; ls "$work/out"; exit 1; }
log "built $(basename "$deb") ($(stat -c %s "$deb") bytes)"
dpkg-deb -f "$deb" Depends Recommends Suggests

fail() { log "FAILED: $*"; exit 1; }

# A Pelko the user installed is theirs: leave it alone and check the package unpacked instead.
if dpkg-query -W -f='${Status}' pelko 2>/dev/null | grep -q 'install ok installed'; then
  log "pelko is installed here: checking the package in a throwaway folder instead"
  PELKO_PACKAGE_UNPACK=1
fi
if [ "$(id -u)" -eq 0 ] && command -v apt-get >/dev/null && [ -z "${PELKO_PACKAGE_UNPACK:-}" ]; then
  dpkg-query -W -f='${Package}\n' | sort >"$work/before"
  cp "$deb" "$work/pelko.deb"
  chmod 644 "$work/pelko.deb"; chmod 755 "$work"
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
    "$work/pelko.deb" >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; fail "apt-get install"; }
  installed=1
  dpkg-query -W -f='${Package}\n' | sort >"$work/after"
  extra=$(comm -13 "$work/before" "$work/after" | grep -vx pelko)
  [ -z "$extra" ] || log "pulled in as dependencies: $extra"
  root=""
  mode="apt-get"
else
  root="$work/root"
  dpkg-deb -x "$deb" "$root" || fail "dpkg-deb -x"
  chmod -R a+rX "$work"
  mode="throwaway root $root (no root or no apt-get)"
fi
log "installed through $mode"

for f in /usr/bin/pelko /usr/share/pelko/DATA/jpn_dat.001 /usr/share/pelko/PLACTICE/jpn_dat.001 \
         /usr/share/applications/pelko.desktop /usr/share/icons/hicolor/scalable/apps/pelko.svg \
         /usr/share/metainfo/invalid.pelko.Pelko.metainfo.xml; do
  [ -e "$root$f" ] || fail "$f not installed"
done
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$root/usr/share/applications/pelko.desktop" || fail "desktop entry"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$root/usr/share/metainfo/invalid.pelko.Pelko.metainfo.xml" \
    || fail "metainfo"
fi

# An ordinary user with a fresh home.
run_as=()
if [ "$(id -u)" -eq 0 ]; then
  if ! id "$user" >/dev/null 2>&1; then
    useradd --create-home --shell /usr/sbin/nologin "$user" || fail "useradd"
    made_user=1
  fi
  home=$(getent passwd "$user" | cut -d: -f6)
  rm -rf "$home/.config/pelko" "$home/.local/share/pelko"
  run_as=(runuser -u "$user" --)
else
  home="$work/home"; mkdir -p "$home"
fi

display=""
for n in $(seq 140 180); do
  [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { display=":$n"; break; }
done
[ -n "$display" ] || fail "no free display"
Xvfb "$display" -screen 0 1280x900x24 -nolisten tcp -ac >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
sleep 1

# The teacher's site-wide defaults, where XDG_CONFIG_DIRS points.
site_ini=$'[default]\r\ntime=5\r\n'
mkdir -p "$work/xdg/pelko"
printf '%s' "$site_ini" >"$work/xdg/pelko/pelko.ini"
chmod -R a+rX "$work/xdg"; chmod a+x "$work"

"${run_as[@]}" env -i HOME="$home" USER="$user" PATH=/usr/bin:/bin DISPLAY="$display" \
  XDG_CONFIG_DIRS="$work/xdg" QT_QPA_PLATFORM=xcb LANG=C.UTF-8 ${root:+LD_LIBRARY_PATH=} \
  "$root/usr/bin/pelko" >"$work/pelko.log" 2>&1 &
pelko_pid=$!

found=""
for _ in $(seq 1 60); do
  if DISPLAY="$display" xdotool search --name "Pelko メインメニュー" >/dev/null 2>&1; then
    found=1; break
  fi
  kill -0 "$pelko_pid" 2>/dev/null || break
  sleep 0.5
done
[ -n "$found" ] || { cat "$work/pelko.log"; fail "main menu never appeared"; }
log "main menu shown"
[ -d "$home/.config/pelko" ] || fail "the user's settings folder was not made"
[ "$(stat -c %U "$home/.config/pelko")" = "$(stat -c %U "$home")" ] \
  || fail "settings folder not owned by the user"
# The site file is read beneath the user's at every start, never copied: a copy would stop
# the teacher's later changes from reaching this user.
grep -q '^time=5' "$home/.config/pelko/pelko.ini" 2>/dev/null \
  && fail "the site-wide pelko.ini was copied into the user's own"
[ -e "$root/usr/bin/pelko.ini" ] && fail "wrote pelko.ini beside the program"
[ -e "$root/usr/share/pelko/pelko.ini" ] && fail "wrote into share/pelko"

kill "$pelko_pid" 2>/dev/null; wait "$pelko_pid" 2>/dev/null; pelko_pid=
kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; xvfb_pid=

if [ -n "$installed" ]; then
  DEBIAN_FRONTEND=noninteractive apt-get purge -y -q pelko >"$work/purge.log" 2>&1 \
    || { cat "$work/purge.log"; fail "apt-get purge"; }
  installed=
  dpkg-query -W pelko >/dev/null 2>&1 && fail "still registered after purge"
  for f in /usr/bin/pelko /usr/share/pelko /usr/share/applications/pelko.desktop \
           /usr/share/icons/hicolor/scalable/apps/pelko.svg \
           /usr/share/metainfo/invalid.pelko.Pelko.metainfo.xml; do
    [ -e "$f" ] && fail "$f left after purge"
  done
  log "purged, nothing left"
fi
log "passed"
