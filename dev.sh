#!/usr/bin/env bash
# One entry point for building, running and testing on Debian 12.
#   ./dev.sh run [args]  build (release) and start Planview
#   ./dev.sh test        build with sanitizers and run every test, the threaded tests
#                        under ThreadSanitizer, then each fuzzer over its checked-in inputs
#                        (<name>_corpus and <name>_findings beside its source) and a short run
#                        of fixed seed and length: the same checkout gives the same verdict
#   ./dev.sh fuzz [SECONDS] [TARGET...]
#                        explore: every fuzzer (or those named) for SECONDS (default 600) on
#                        all cores with new seeds; the corpus grows in build/fuzz/corpus/<name>;
#                        each finding's input is printed with the command that replays it
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

# ---- Fuzzers
# Every fuzzer keeps two folders beside its source: <name>_corpus (seeds and inputs worth
# keeping) and <name>_findings (the minimised input of every fault a fuzzer found, mended).
FUZZ_LIMITS=(-timeout=10 -rss_limit_mb=2048)

build_fuzzers() {
  configure build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPV_FUZZ=ON \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
  cmake --build build/fuzz -j "$JOBS" --target fuzzers
}

# The checked-in folder <name>_<kind> of a fuzzer; fails when there is none.
fuzz_folder() { # <name> <kind>
  local dir
  dir=$(find "$ROOT" -path "$ROOT/build*" -prune -o -type d -name "$1_$2" -print | sort | head -n1)
  if [ -z "$dir" ]; then echo "fuzzer $1 has no folder $1_$2 beside its source" >&2; return 1; fi
  echo "$dir"
}

# Test data made by other programs that fits a fuzzer as seeds for exploration (not copied
# into the tree: it may be absent).
fuzz_shared_seeds() { # <name>
  local data=$ROOT/../shared/data
  case $1 in
    *dxf*) echo "$data/dxf" ;;
    vela_bmp_fuzzer|vela_test_scanner_fuzzer|engine_input_fuzzer) echo "$data/fingerprints" ;;
    vela_wsq*) echo "$data/wsq" ;;
  esac
}

fuzz_targets() { # [TARGET...]: the executables, all when none is named
  local name
  if [ $# -eq 0 ]; then
    for name in build/fuzz/fuzzers/*; do [ -x "$name" ] && echo "$name"; done
    return 0
  fi
  for name in "$@"; do
    [ -x "build/fuzz/fuzzers/$name" ] || { echo "no fuzzer $name in build/fuzz/fuzzers" >&2; return 1; }
    echo "build/fuzz/fuzzers/$name"
  done
}

run_fuzzers() {
  # Each fuzzer replays its checked-in inputs (-runs=0: every input once, nothing mutated),
  # then mutates for a fixed number of runs from a fixed seed, into a work corpus made afresh
  # under build/. The checked-in folders come after a work folder in the arguments, so
  # libFuzzer never writes into them. Nothing depends on the clock but the time-out: no
  # corpus reloads, and no address randomisation, whose addresses would reach the mutations
  # through the traced comparisons and send each run down another path.
  local runs=${PV_FUZZ_RUNS:-2000}
  local fixed=()
  if setarch "$(uname -m)" -R true 2>/dev/null; then fixed=(setarch "$(uname -m)" -R); fi
  build_fuzzers
  local f name corpus findings replay work log
  for f in $(fuzz_targets); do
    name=$(basename "$f")
    corpus=$(fuzz_folder "$name" corpus)
    findings=$(fuzz_folder "$name" findings)
    replay=build/fuzz/replay/$name
    work=build/fuzz/ci/$name
    rm -rf "$replay" "$work"
    mkdir -p "$replay" "$work" build/fuzz/artifacts
    log=build/fuzz/$name.log
    echo "== fuzz $name: replay, then $runs runs of seed 1"
    { "$f" -runs=0 "${FUZZ_LIMITS[@]}" -artifact_prefix="build/fuzz/artifacts/$name-" \
        "$replay" "$corpus" "$findings" &&
      "${fixed[@]}" "$f" -seed=1 -runs="$runs" -reload=0 "${FUZZ_LIMITS[@]}" \
        -artifact_prefix="build/fuzz/artifacts/$name-" "$work" "$corpus" "$findings"; } >"$log" 2>&1 || {
        tail -n 60 "$log"; echo "fuzzer $name failed (log: $log)" >&2; return 1; }
  done
}

run_fuzz_exploration() { # [SECONDS] [TARGET...]
  # Long runs with new seeds on every core: one process per fuzzer while there are more
  # fuzzers than cores, else each fuzzer forks workers of its own. Crashes, time-outs and
  # memory blow-ups do not stop a run; each is kept under build/fuzz/findings/<name>/.
  local seconds=600
  if [[ ${1:-} =~ ^[0-9]+$ ]]; then seconds=$1; shift; fi
  build_fuzzers
  local targets
  targets=$(fuzz_targets "$@")
  local cores=${PV_FUZZ_JOBS:-$JOBS} count
  count=$(echo "$targets" | wc -l)
  local forks=$(( cores / count ))
  [ "$forks" -ge 1 ] || forks=1
  local f name
  for f in $targets; do
    name=$(basename "$f")
    fuzz_folder "$name" corpus >/dev/null && fuzz_folder "$name" findings >/dev/null || return 1
    mkdir -p "build/fuzz/corpus/$name" "build/fuzz/findings/$name"
  done
  echo "== fuzz $count target(s) for ${seconds}s, $cores at a time, $forks worker(s) each; logs in build/fuzz/explore-<name>.log"
  export ROOT seconds forks
  export -f fuzz_folder fuzz_shared_seeds
  echo "$targets" | xargs -P "$(( cores / forks ))" -I{} bash -c '
    f={}; name=$(basename "$f")
    seeds=("$(fuzz_folder "$name" corpus)" "$(fuzz_folder "$name" findings)")
    shared=$(fuzz_shared_seeds "$name")
    [ -n "$shared" ] && [ -d "$shared" ] && seeds+=("$shared")
    "$f" -fork="$forks" -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 \
      -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="build/fuzz/findings/$name/" "build/fuzz/corpus/$name" "${seeds[@]}" \
      >"build/fuzz/explore-$name.log" 2>&1
    echo "$name: $(grep -E "^#[0-9]+" "build/fuzz/explore-$name.log" | tail -n1)"'
  local found=0 input
  for f in $targets; do
    name=$(basename "$f")
    for input in build/fuzz/findings/"$name"/*; do
      [ -f "$input" ] || continue
      found=$((found + 1))
      echo "finding: $input"
      echo "  replay: $f ${FUZZ_LIMITS[*]} $input"
      echo "  minimise: $f ${FUZZ_LIMITS[*]} -minimize_crash=1 -runs=10000 -exact_artifact_path=$input.min $input"
    done
  done
  echo "fuzz: $found finding(s); a mended one goes, minimised, into <name>_findings beside the fuzzer's source"
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
  fuzz)
    ensure_packages
    run_fuzz_exploration "$@"
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
    sed -n '2,15p' "$0" >&2
    exit 2
    ;;
esac
