#!/bin/bash
# Saves every window picture the picture tools make into OUT, or compares OUT with a
# folder made before: tests/shots.sh BIN OUT [BEFORE]. A restructuring must leave each
# picture pixel for pixel as it was.
set -u
bin=$1 out=$2 before=${3:-}
mkdir -p "$out"
shoot() { # name, command…
    local name=$1; shift
    xvfb-run -a -s "-screen 0 1280x1024x24" "$@" >/dev/null 2>&1 || echo "$name: failed"
}
for w in splash menu ranking selfassessment printer; do shoot $w "$bin/dialog_shot" $w "$out/$w.png"; done
for w in settings logstyle color; do shoot $w "$bin/settings_shot" $w "$out/$w.png"; done
for w in browser chart; do shoot $w "$bin/history_shot" $w "$out/$w.png"; done
for w in waiting running result; do shoot $w "$bin/testwindow_shot" "$bin/PLACTICE" $w "$out/test-$w.png"; done
mkdir -p "$out/certificate" "$out/certificate-long"
shoot certificate "$bin/certificate_shot" "$out/certificate"
shoot certificate-long "$bin/certificate_shot" "$out/certificate-long" long
for pdf in "$out"/certificate*/*.pdf; do pdftoppm -r 100 -png "$pdf" "${pdf%.pdf}"; done
[ -n "$before" ] || exit 0
status=0
while IFS= read -r -d '' picture; do
    name=${picture#"$before"/}
    differing=$(compare -metric AE "$picture" "$out/$name" null: 2>&1) || true
    echo "$name: $differing"
    [ "$differing" = 0 ] || status=1
done < <(find "$before" -name '*.png' -print0 | sort -z)
exit $status
