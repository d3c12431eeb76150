#!/bin/sh
# Planview under Xvfb with a drawing loaded and converted (planview FILE --convert): the
# picture shows the drawing twice, in the zoom box and in the document view below it, so it
# holds clearly more of the drawing's blue than a picture of the same drawing unconverted.
# Usage: screenshot_test.sh PLANVIEW DRAWING OUT.png
set -eu
planview=$1
drawing=$2
out=$3
plain="$out.plain.png"
# The program must draw on the X server, also when the tests around it run offscreen.
unset QT_QPA_PLATFORM

shot() {  # shot PNG [--convert]
  png=$1
  shift
  xvfb-run -a -s "-screen 0 1280x800x24" sh -c \
    "\"$planview\" \"$drawing\" $* & sleep 5; xwd -root -silent | xwdtopnm 2>/dev/null | pnmtopng > \"$png\"; kill \$!"
}
blue() { pngtopnm "$1" | ppmhist -noheader | awk '$1 == 0 && $2 == 0 && $3 == 255 { n = $5 } END { print n + 0 }'; }

shot "$out" --convert
shot "$plain"
converted=$(blue "$out")
unconverted=$(blue "$plain")
rm -f "$plain"
echo "blue pixels: converted $converted, unconverted $unconverted; picture: $out"
if [ "$unconverted" -eq 0 ] || [ $((converted * 10)) -lt $((unconverted * 15)) ]; then
  echo "the document view does not show the converted drawing" >&2
  exit 1
fi
