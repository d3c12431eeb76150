#!/bin/sh
# Shows a panel on a virtual X screen, takes a screenshot of the screen as a PNG and checks its
# pixels. Usage: panel_screenshot.sh <panel_screenshot program> <png to write>
set -e
program="$1"
png="$2"
rm -f "$png"
xvfb-run -a -s "-screen 0 640x480x24" sh -c '
  QT_QPA_PLATFORM=xcb "$0" show 6 &
  pid=$!
  sleep 3
  xwd -root -silent | xwdtopnm 2>/dev/null | pnmtopng > "$1"
  kill $pid 2>/dev/null || true
  wait $pid 2>/dev/null || true
' "$program" "$png"
QT_QPA_PLATFORM=offscreen "$program" check "$png"
