#!/bin/sh
# Shows a panel on a virtual X screen, takes screenshots of the screen as a PNG and checks their
# pixels. The window takes its time to appear on a loaded machine (a sanitizer build, tests in
# parallel), so the screen is taken once a second until the check passes or a minute has gone:
# the verdict depends on what the panel paints, not on how fast.
# Usage: panel_screenshot.sh <panel_screenshot program> <png to write>
set -e
program="$1"
png="$2"
rm -f "$png"
xvfb-run -a -s "-screen 0 640x480x24" sh -c '
  QT_QPA_PLATFORM=xcb "$0" show 300 &
  pid=$!
  status=1
  tries=0
  while [ $tries -lt 60 ]; do
    sleep 1
    tries=$((tries + 1))
    xwd -root -silent | xwdtopnm 2>/dev/null | pnmtopng > "$1"
    if QT_QPA_PLATFORM=offscreen "$0" check "$1" > "$1.log"; then status=0; break; fi
  done
  cat "$1.log"
  rm -f "$1.log"
  kill $pid 2>/dev/null || true
  wait $pid 2>/dev/null || true
  exit $status
' "$program" "$png"
