#!/bin/sh
# Two copies of safestow on one folder: this script holds the folder's lock, as a running copy
# does, and starts the program beside it. The program must say that a copy runs and end at
# once with status 1; one that ran on would be cut off by the timeout (status 124).
# Usage: one_copy_per_folder.sh SAFESTOW
set -u
exe=$1
lock="$(dirname "$exe")/Safestow.lock"
out=$(INVOCATION_ID=one-copy-test QT_QPA_PLATFORM=offscreen flock --nonblock "$lock" timeout 60 "$exe" 2>&1)
status=$?
echo "$out"
if [ "$status" -ne 1 ]; then
  echo "the second copy ended with status $status instead of 1" >&2
  exit 1
fi
case "$out" in
  *"Service is already running from $(dirname "$exe")"*) ;;
  *) echo "the second copy did not say that a copy runs" >&2; exit 1 ;;
esac
