#!/bin/sh
# Planview under Xvfb with a drawing loaded and converted (planview FILE --convert): the
# picture shows the drawing twice, in the zoom box and in the document view below it, so it
# holds clearly more of the drawing's blue than a picture of the same drawing unconverted.
# The window takes its time on a loaded machine, so each picture is taken once a second until
# it shows what it must (or a minute and a half has gone): the verdict does not hang on speed.
# Usage: screenshot_test.sh PLANVIEW DRAWING OUT.png
set -eu
planview=$1
drawing=$2
out=$3
plain="$out.plain.png"
# The program must draw on the X server, also when the tests around it run offscreen.
unset QT_QPA_PLATFORM

blue() { pngtopnm "$1" | ppmhist -noheader | awk '$1 == 0 && $2 == 0 && $3 == 255 { n = $5 } END { print n + 0 }'; }

# shot PNG WANT [--convert]: screenshots until the blue count passes WANT (a count the picture
# must exceed), and holds the same count twice in a row, so the drawing is whole.
shot() {
  png=$1
  want=$2
  shift 2
  xvfb-run -a -s "-screen 0 1280x800x24" sh -c '
    planview=$1 drawing=$2 png=$3 want=$4
    shift 4
    "$planview" "$drawing" "$@" &
    pid=$!
    last=-1
    tries=0
    while [ $tries -lt 90 ]; do
      sleep 1
      tries=$((tries + 1))
      xwd -root -silent | xwdtopnm 2>/dev/null | pnmtopng > "$png"
      n=$(pngtopnm "$png" | ppmhist -noheader | awk "\$1 == 0 && \$2 == 0 && \$3 == 255 { n = \$5 } END { print n + 0 }")
      if [ "$n" -gt "$want" ] && [ "$n" -eq "$last" ]; then break; fi
      last=$n
    done
    kill $pid 2>/dev/null || true
    wait $pid 2>/dev/null || true
  ' sh "$planview" "$drawing" "$png" "$want" "$@"
}

shot "$plain" 0
unconverted=$(blue "$plain")
shot "$out" $((unconverted * 15 / 10)) --convert
converted=$(blue "$out")
rm -f "$plain"
echo "blue pixels: converted $converted, unconverted $unconverted; picture: $out"
if [ "$unconverted" -eq 0 ] || [ $((converted * 10)) -lt $((unconverted * 15)) ]; then
  echo "the document view does not show the converted drawing" >&2
  exit 1
fi
