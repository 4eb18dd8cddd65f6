#!/bin/sh
# The real program exports without any display and tells failures by its exit status.
# usage: export_csv_cli.sh PELKO SCRATCH
pelko=$1
dir=$2
rm -rf "$dir" && mkdir -p "$dir/app" || exit 1
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
export PELKO_APPDIR="$dir/app" APPDATA="$dir"
printf '0,"12-01-2026","09:00:00","A01","Sato","PC","u","jpn_dat.1",30,99,0,1,1,1,1,60\r\n' >"$dir/pelko.log"
fail() { echo "FAIL: $*"; exit 1; }

"$pelko" --export-csv "$dir/pelko.log" "$dir/out.csv" || fail "export exited $?"
printf '\357\273\277' >"$dir/expected.csv"
printf '連番,日付,時間,入力ユーザＩＤ,入力ユーザ名,使用ＰＣ名,使用ＰＣユーザ名,データファイル名,入力速度(文字/分),正打率(%%),エラー数,入力文字数,総文字数,漢字含有率,半角文字含有率,計測時間(秒),合否\r\n' >>"$dir/expected.csv"
printf '0,2026-12-01,09:00:00,A01,Sato,PC,u,jpn_dat.1,30,99,0,1,1,1,1,60,合格\r\n' >>"$dir/expected.csv"
cmp "$dir/out.csv" "$dir/expected.csv" || fail "CSV differs"
"$pelko" --export-csv "$dir/pelko.log" | cmp - "$dir/expected.csv" || fail "standard output differs"

mkfifo "$dir/fifo" && ln -s fifo "$dir/pelko-20261130-080000.log" || exit 1 # no log: left out
"$pelko" --export-csv "$dir/pelko.log" 2>"$dir/err" | cmp - "$dir/expected.csv" || fail "bad archive: CSV differs"
grep -q "pelko-20261130-080000.log" "$dir/err" || fail "bad archive: not named"

"$pelko" --export-csv "$dir/missing.log" 2>"$dir/err"
[ $? -eq 1 ] || fail "missing log: status"
[ -s "$dir/err" ] || fail "missing log: no message"
"$pelko" --export-csv 2>/dev/null
[ $? -eq 3 ] || fail "no log named: status"
"$pelko" --export-csv "$dir/pelko.log" >/dev/full 2>"$dir/err"
[ $? -eq 2 ] || fail "full standard output: status"
[ -s "$dir/err" ] || fail "full standard output: no message"
echo ok
