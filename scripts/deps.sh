#!/usr/bin/env bash
# Installs the Debian packages Pelko needs that this machine lacks.
#   scripts/deps.sh build   compiler, Qt and fonts
#   scripts/deps.sh run     build + a virtual display for machines without one
#   scripts/deps.sh test    build + what the test suite drives (virtual display, tools)
#   scripts/deps.sh bench   build + what scripts/bench.sh needs (virtual display, ibus + Mozc,
#                           XTEST and XDAMAGE headers, gnuplot; valgrind for profiling;
#                           two typing tutors to compare with)
set -euo pipefail

build_pkgs=(cmake make g++ pkg-config qt6-base-dev qt6-qpa-plugins libgl-dev
            fonts-ipafont-gothic qt6-translations-l10n libcups2-dev
            libsodium-dev libqrencode-dev libzxing-dev libpoppler-qt6-dev libpq-dev)
run_pkgs=(xvfb xauth imagemagick)
# The input-method acceptance suite also needs both Japanese input methods with Mozc,
# a session bus and a clipboard tool; the Wayland run needs a compositor with XWayland and
# Qt's Wayland platform (which the program must not pick); the fuzz targets need clang and
# its libFuzzer; the package tests validate the menu entry and metainfo, build the .deb and
# check it with lintian; the certificate's checking page is tried in a headless browser.
test_pkgs=(xvfb xauth imagemagick xdotool cups printer-driver-cups-pdf poppler-utils
           python3 dbus xclip x11-utils ibus ibus-mozc fcitx5 fcitx5-mozc fcitx5-frontend-qt6
           at-spi2-core python3-pyatspi tesseract-ocr tesseract-ocr-jpn
           weston xwayland qt6-wayland
           clang-14 libclang-rt-14-dev appstream desktop-file-utils dpkg-dev lintian
           chromium postgresql)

# Keystroke to screen runs on a virtual display through ibus + Mozc, like the acceptance suites.
bench_pkgs=(xvfb xauth xdotool x11-utils dbus python3 ibus ibus-mozc libxtst-dev libxdamage-dev
            gnuplot-nox valgrind postgresql stress-ng
            tipp10 klavaro libqt6sql6-sqlite)  # tipp10's package forgets its Qt SQLite driver

case "${1:-build}" in
  build) wanted=("${build_pkgs[@]}") ;;
  run)   wanted=("${build_pkgs[@]}" "${run_pkgs[@]}") ;;
  test)  wanted=("${build_pkgs[@]}" "${test_pkgs[@]}") ;;
  bench) wanted=("${build_pkgs[@]}" "${bench_pkgs[@]}") ;;
  *) echo "usage: $0 build|run|test|bench" >&2; exit 2 ;;
esac

missing=()
for p in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
"${sudo_cmd[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
