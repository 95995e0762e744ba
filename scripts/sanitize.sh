#!/usr/bin/env bash
# Builds Quorvan with AddressSanitizer and UndefinedBehaviorSanitizer into its
# own folder (build-asan/), runs the test suite there, then a long random-input
# run on the main window. Any sanitizer report stops the program that made it,
# so it shows up as a failed test.
#
#   scripts/sanitize.sh                 build, suite, random run
#   scripts/sanitize.sh --random-only   skip the suite (after a first full run)
#
# Environment:
#   QUORVAN_ASAN_DIR        build folder (default build-asan beside the sources)
#   JOBS                    parallel compile jobs (default 2)
#   QUORVAN_RANDOM_SEED     seed of the long random run (default: seconds since 1970)
#   QUORVAN_RANDOM_STEPS    its length in steps (default 20000, about a quarter of an hour)
#   QUORVAN_ASAN_LEAKS=1    also report leaks (off by default: fontconfig and Qt's
#                           process-wide caches are never freed and fill the report)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${QUORVAN_ASAN_DIR:-$here/build-asan}"
jobs="${JOBS:-2}"
random_only=0
[ "${1:-}" = "--random-only" ] && random_only=1

sanitize="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS="$sanitize" \
    -DCMAKE_EXE_LINKER_FLAGS="$sanitize" \
    -DCMAKE_SHARED_LINKER_FLAGS="$sanitize" \
    -DCMAKE_MODULE_LINKER_FLAGS="$sanitize"
cmake --build "$build" -j"$jobs"

leaks=0
[ "${QUORVAN_ASAN_LEAKS:-0}" = "1" ] && leaks=1
export ASAN_OPTIONS="detect_leaks=$leaks:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"

status=0
if [ "$random_only" = 0 ]; then
    # The web-engine tests (the previews, run under xvfb-run) are left out: the
    # Chromium inside QtWebEngineCore is not instrumented, brings its own
    # allocator and sandbox, and starts helper processes of its own, which
    # AddressSanitizer in the host process does not cope with; what it reports
    # there is not ours. Everything else, the program's export runs included,
    # runs instrumented.
    (cd "$build" && ctest -j"$jobs" --output-on-failure --timeout 1800 \
        -E '^(tst_preview|tst_editor_preview)$') || status=$?
fi

seed="${QUORVAN_RANDOM_SEED:-$(date +%s)}"
steps="${QUORVAN_RANDOM_STEPS:-20000}"
echo "random input: seed $seed, $steps steps"
start=$(date +%s)
QT_QPA_PLATFORM=offscreen QUORVAN_RANDOM_SEED="$seed" QUORVAN_RANDOM_STEPS="$steps" \
    "$build/bin/tst_random_input" || status=$?
echo "random input: $(( $(date +%s) - start )) s, status $status"
exit "$status"
