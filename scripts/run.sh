#!/usr/bin/env bash
# Builds Pelko and starts it with the sample problems next to the program.
# Without a display it starts a virtual one, takes a screenshot and says where it is.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${PELKO_BUILD_DIR:-$root/build}"
"$root/scripts/deps.sh" run
"$root/scripts/build.sh" --target pelko

app="$build/bin/pelko"
if [ -n "${DISPLAY:-}" ]; then
  exec "$app"
fi

echo "No display found: starting Pelko on a virtual display (Xvfb)."
fifo="$(mktemp -u)"; mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
xvfb_pid=$!
read -r number <"$fifo"; rm -f "$fifo"
display=":$number"
app_pid=""
trap '[ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null; kill "$xvfb_pid" 2>/dev/null || true' EXIT
DISPLAY="$display" "$app" &
app_pid=$!
# The splash stays about two seconds; the main menu comes after it.
sleep "${PELKO_SCREENSHOT_DELAY:-4}"
shot="$build/pelko-screenshot.png"
DISPLAY="$display" import -window root "$shot"
echo "Screenshot of the running program: $shot"
if [ -t 0 ] && [ -z "${CI:-}" ]; then
  echo "Pelko is running on display $display. Press Enter to stop it."
  read -r _
fi
