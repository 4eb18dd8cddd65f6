#!/bin/sh
# The real program answers --help, --version and mistakes without any display.
# usage: command_line_cli.sh PELKO SCRATCH VERSION
pelko=$1
dir=$2
rm -rf "$dir" && mkdir -p "$dir" || exit 1
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM LC_ALL LC_MESSAGES
status=0
# LANG, arguments, expected exit status, expected text on standard output (o) or error (e)
check() {
  lang=$1 args=$2 want=$3 stream=$4 text=$5
  # shellcheck disable=SC2086
  LANG=$lang "$pelko" $args >"$dir/out" 2>"$dir/err"
  got=$?
  file="$dir/out"; [ "$stream" = e ] && file="$dir/err"
  if [ "$got" -ne "$want" ] || ! grep -qF -- "$text" "$file"; then
    echo "FAIL: LANG=$lang pelko $args: exit $got (want $want), no '$text' in:"
    cat "$dir/out" "$dir/err"
    status=1
  fi
}
check ja_JP.UTF-8 --help 0 o "使い方: pelko"
check C.UTF-8 --help 0 o "Usage: pelko"
check C.UTF-8 -h 0 o "--export-csv LOGFILE"
check C.UTF-8 --version 0 o "pelko $3"
check ja_JP.UTF-8 --bogus 2 e "知らないオプションです: --bogus"
check en_US.UTF-8 --bogus 2 e "unknown option: --bogus"
check C.UTF-8 stray 2 e "unexpected argument: stray"
check C.UTF-8 "-style fusion --nonsense" 2 e "unknown option: --nonsense"
check C.UTF-8 "--verify --help" 0 o "pelko --verify"
check C.UTF-8 "--verify $dir" 5 e "ふつうのファイルではない"
check C.UTF-8 "--verify $dir/certificate.pdf" 5 e "見つかりません"
[ $status -eq 0 ] && echo ok
exit $status
