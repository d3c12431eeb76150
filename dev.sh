#!/usr/bin/env bash
# One entry point for building, running and testing on Debian 12.
#   ./dev.sh run [args]  build (release) and start Planview
#   ./dev.sh test        build with sanitizers and run every test, the threaded tests
#                        under ThreadSanitizer, then the fuzzers briefly
#   ./dev.sh bench       build (release) and run the benchmarks
#   ./dev.sh build       build (release) only
#   ./dev.sh edits [SECONDS]  random edit sequences on a document panel with new seeds for
#                        SECONDS (default 60), each failure printed shrunk as a test
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$(pwd)

PACKAGES=(
  cmake g++ ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-svg-dev libgl-dev
  libjpeg62-turbo-dev libpng-dev fonts-liberation2
  clang libclang-rt-14-dev
  python3 python3-ezdxf
  xvfb xauth x11-apps netpbm
  dbus-daemon ccache
)

ensure_packages() {
  local missing=()
  local p
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "dev.sh: installing ${missing[*]}" >&2
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
}

JOBS=$(nproc)

# Objects are cached by content, so a second checkout (a worktree, CI's fresh clone) on the
# same machine rebuilds only what differs; paths are taken relative to the checkout.
export CCACHE_BASEDIR="$ROOT" CCACHE_NOHASHDIR=1

configure() { # <dir> <cmake args...>
  local dir=$1; shift
  local launcher=()
  if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  fi
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$ROOT" -B "$dir" -G Ninja "${launcher[@]}" "$@"
  fi
}

build_release() {
  configure build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF
  cmake --build build/release -j "$JOBS"
}

main_program() {
  if [ -x build/release/viewer/planview ]; then
    exec build/release/viewer/planview "${@:-$ROOT/viewer/samples/sample.dxf}"
  fi
  # Until the viewer window exists the main road is the SDK: read a BMP and write it back.
  local out=build/release/example-out.bmp
  build/release/sdk/examples/vela_bmp_info "${1:-$ROOT/../shared/data/fingerprints/f01_1.bmp}" "$out"
}

run_fuzzers() {
  # Each fuzzer runs briefly on its seed corpus; a crash fails the run.
  local seconds=${PV_FUZZ_SECONDS:-20}
  configure build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPV_FUZZ=ON \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
  cmake --build build/fuzz -j "$JOBS" --target fuzzers
  local f name corpus work
  shopt -s nullglob
  for f in build/fuzz/fuzzers/*; do
    [ -x "$f" ] || continue
    name=$(basename "$f")
    work=build/fuzz/corpus/$name
    mkdir -p "$work"
    corpus=$(find "$ROOT" -path "$ROOT/build*" -prune -o -type d -name "${name}_corpus" -print | head -n1)
    echo "== fuzz $name for ${seconds}s"
    "$f" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=0 \
      "$work" ${corpus:+"$corpus"} >"build/fuzz/$name.log" 2>&1 || {
        tail -n 60 "build/fuzz/$name.log"; echo "fuzzer $name failed" >&2; return 1; }
  done
}

run_tsan_tests() {
  # Code that threads share, checked by ThreadSanitizer in a build of its own: the scanner
  # framework, identification against one set from several threads, and ISO
  # templates created from two client threads at once.
  configure build/tsan -DCMAKE_BUILD_TYPE=Debug -DPV_TSAN=ON -DPV_WITH_QT=OFF -DPV_BENCH=OFF
  local runs=(
    "sdk/scan/tests vela_scan_concurrency_test *"
    "sdk/scan/tests vela_scan_device_test *"
    "sdk/scan/tests vela_scan_fakescan_test *"
    "sdk/scan/tests vela_scan_bindings_test *"
    "sdk/engine/objects/tests vela_objects_tests Identify.*:TemplateSet*:RecordSet*"
    "sdk/engine/standard/tests vela_standard_tests CreateIsoTemplate.TwoThreads*"
    "sdk/base/tests vela_base_tests WsqThreads.*"
  )
  local run dir t filter targets=()
  for run in "${runs[@]}"; do read -r dir t filter <<<"$run"; targets+=("$t"); done
  cmake --build build/tsan -j "$JOBS" --target "${targets[@]}"
  for run in "${runs[@]}"; do
    read -r dir t filter <<<"$run"
    echo "== tsan $t"
    (cd "build/tsan/$dir" && TSAN_OPTIONS=halt_on_error=1 "./$t" --gtest_brief=1 --gtest_filter="$filter")
  done
}

cmd=${1:-}
shift || true
case "$cmd" in
  run)
    ensure_packages
    build_release
    main_program "$@"
    ;;
  build)
    ensure_packages
    build_release
    ;;
  test)
    ensure_packages
    configure build/asan -DCMAKE_BUILD_TYPE=Debug -DPV_SANITIZE=ON -DPV_BENCH=OFF
    cmake --build build/asan -j "$JOBS"
    export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
    export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
    export QT_QPA_PLATFORM=offscreen
    (cd build/asan && ctest -j "$JOBS" --output-on-failure --timeout 600)
    if [ "${PV_SKIP_TSAN:-0}" != 1 ]; then run_tsan_tests; fi
    if [ "${PV_SKIP_FUZZ:-0}" != 1 ]; then run_fuzzers; fi
    # Every step above stops the script on a failure, so reaching here means all passed.
    total=$(cd build/asan && ctest -N | sed -n 's/^Total Tests: //p')
    echo "tests: ${total} passed, 0 failed"
    ;;
  edits)
    ensure_packages
    configure build/asan -DCMAKE_BUILD_TYPE=Debug -DPV_SANITIZE=ON -DPV_BENCH=OFF
    cmake --build build/asan -j "$JOBS" --target panel_edit_sequences
    ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1} \
      UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1} \
      build/asan/graphics/panel/panel_edit_sequences "${1:-60}"
    ;;
  bench)
    ensure_packages
    configure build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF
    cmake --build build/release -j "$JOBS"
    for b in build/release/bench/*; do
      if [ -f "$b" ] && [ -x "$b" ]; then "$b" "$@"; fi
    done
    ;;
  *)
    sed -n '2,9p' "$0" >&2
    exit 2
    ;;
esac
