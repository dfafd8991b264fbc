#!/bin/sh
# The autopilot plays level 1 again and again on a copy of the game tree for MINUTES minutes
# and prints each round's resident memory and frame-time percentiles.
#   tools/soak.sh BUILD_DIR MINUTES
set -e
build=$1
minutes=${2:-30}
copy=$(mktemp -d)
trap 'rm -rf "$copy"' EXIT
cp -r "$build/game/." "$copy/"
rm -f "$copy/Vorn.log" "$copy/security"
# The same cheap drawing as the end-to-end tests: a small window without shadows.
sed -i 's/^width = .*/width = 320/; s/^height = .*/height = 240/; s/^shadows = true/shadows = false/' "$copy/Vorn.ini"
ALSOFT_DRIVERS=null VORN_AUTOPILOT=soak VORN_SOAK_MINUTES=$minutes \
    xvfb-run -a -s "-screen 0 1280x1024x24" "$copy/bin/vorn" > "$copy/output.txt" 2>&1 || {
    tail -20 "$copy/output.txt"
    exit 1
}
grep -E "Soak round|Run figures|Autopilot cannot go on" "$copy/Vorn.log" | sed 's/^.* - //'
