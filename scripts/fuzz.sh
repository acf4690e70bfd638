#!/bin/sh
# Builds the libFuzzer targets with clang (build-fuzz/) and runs each for a bounded time over its
# corpus. New inputs that reach new code are merged back into fuzz/corpus/TARGET, which is kept
# in the repository (properties_test replays it); a crash stops the run and leaves its input in
# build-fuzz/artifacts/.
#   scripts/fuzz.sh [SECONDS-PER-TARGET] [TARGET...]   (default 60 seconds, every target)
set -eu
cd "$(dirname "$0")/.."
SECONDS_EACH=${1:-60}
[ $# -gt 0 ] && shift
TARGETS=${*:-engine run}
BUILD=${FUZZ_BUILD:-build-fuzz}
JOBS=${JOBS:-2}

./scripts/install-deps.sh clang libclang-rt-14-dev
if [ ! -f "$BUILD/CMakeCache.txt" ]; then
    cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRELLISANE_FUZZ=ON \
        -DCMAKE_CXX_COMPILER=clang++
fi
set --
for target in $TARGETS; do set -- "$@" "${target}_fuzz"; done
cmake --build "$BUILD" -j "$JOBS" --target "$@"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/sanitizers/lsan.supp"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
mkdir -p "$BUILD/artifacts"
for target in $TARGETS; do
    kept="fuzz/corpus/$target"
    work="$BUILD/corpus/$target"
    mkdir -p "$kept" "$work"
    echo "fuzz: $target for $SECONDS_EACH seconds"
    "$BUILD/${target}_fuzz" -max_total_time="$SECONDS_EACH" -max_len=512 -timeout=10 \
        -print_final_stats=1 -artifact_prefix="$BUILD/artifacts/$target-" "$work" "$kept"
    # Only inputs that add coverage join the kept corpus, so it stays small.
    "$BUILD/${target}_fuzz" -merge=1 "$kept" "$work" >/dev/null 2>&1
done
