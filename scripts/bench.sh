#!/bin/sh
# scripts/bench.sh BUILD: the figures behind docs/performance.md, as `make bench` runs them.
#
# Makes trees of 1,000, 10,000, 100,000 and 1,000,000 folders (fan-out 10, names with blanks,
# digits and brackets) in a fresh temporary folder, then:
#   - the in-process figures with Google Benchmark (bench_engine, bench_add);
#   - whole-process comparisons with hyperfine at 1,000 to 100,000 folders: listing against
#     `find TREE -type d`, renaming against the floor (`find -depth -type d` into a list, then
#     a bare renameat2 loop) and against perl's rename, each rename on a fresh copy;
#   - the real window adding 1,000,000 folders on a private desktop (Xvfb, openbox): seconds
#     until the list holds them, the longest stall of its event loop seen from outside, its
#     resident memory (bench/window_million.py);
#   - peak resident memory of listing and of --apply at 100,000 and 1,000,000 folders, less
#     that of the same run over an empty folder;
# and prints one table. Everything it measured stays in BUILD/bench (JSON, Markdown, the data
# and the PNG of the plot); the trees are removed at the end.
#
# Environment: BENCH_TMP, where the trees go (default /dev/shm when it can be written, so the
# figures are of the programs rather than of a disk; else $TMPDIR or /tmp); BENCH_RUNS, the
# hyperfine runs per command at 100,000 folders (default 3; 5 at 10,000 and 10 at 1,000).
set -eu

BUILD=${1:-build}
BUILD=$(cd "$BUILD" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
OUT=$BUILD/bench
RUNS=${BENCH_RUNS:-3}
if [ -z "${BENCH_TMP:-}" ]; then
    if [ -d /dev/shm ] && [ -w /dev/shm ]; then BENCH_TMP=/dev/shm; else BENCH_TMP=${TMPDIR:-/tmp}; fi
fi

for tool in make_tree renameat2_loop rename_two_threads bench_engine bench_plan bench_add trellisane trellisane-cli; do
    if [ ! -x "$BUILD/$tool" ]; then
        echo "bench: $BUILD/$tool is missing; build the target 'benchmarks' first" >&2
        exit 1
    fi
done

WORK=$(mktemp -d "$BENCH_TMP/trellisane-bench.XXXXXX")
trap 'rm -rf "$WORK"' EXIT INT TERM
rm -rf "$OUT"
mkdir -p "$OUT" "$WORK/trees"
LOG=$OUT/log.txt
: >"$LOG"

START=$(date +%s)
say() { echo "bench: [$(($(date +%s) - START)) s] $*" >&2; }
CLI=$BUILD/trellisane-cli
LIST="$CLI --operation 'add x to end' --x _old --subfolders"

say "making the trees in $WORK"
mkdir "$WORK/trees/0"
for n in 1000 10000 100000 1000000; do
    "$BUILD/make_tree" "$WORK/trees/$n" $n
done

for n in 1000 10000 100000; do
    runs=10
    [ $n -eq 10000 ] && runs=5
    [ $n -eq 100000 ] && runs=$RUNS
    tree=$WORK/trees/$n
    copy=$WORK/copy
    say "listing $n folders (hyperfine)"
    hyperfine --style basic --warmup 1 --runs $runs \
        --export-json "$OUT/list-$n.json" --export-markdown "$OUT/list-$n.md" \
        -n find "find $tree -type d >/dev/null" \
        -n trellisane-cli "$LIST $tree >/dev/null" >>"$LOG" 2>&1
    say "renaming $n folders (hyperfine, a fresh copy each run)"
    hyperfine --style basic --runs $runs \
        --prepare "rm -rf $copy ${copy}_old && cp -a $tree $copy" \
        --export-json "$OUT/rename-$n.json" --export-markdown "$OUT/rename-$n.md" \
        -n floor "find $copy -depth -type d >$WORK/list && $BUILD/renameat2_loop $WORK/list _old" \
        -n floor-dirfd "find $copy -depth -type d >$WORK/list && $BUILD/renameat2_loop $WORK/list _old dirfd" \
        -n trellisane-cli "$LIST --apply $copy >/dev/null" \
        -n perl-rename "find $copy -depth -type d -print0 | xargs -0 file-rename 's/\$/_old/'" \
        >>"$LOG" 2>&1
    rm -rf "$copy" "${copy}_old"
done

say "in-process figures (Google Benchmark; the rename pass leaves the trees renamed)"
TRELLISANE_BENCH_TREES=$WORK/trees "$BUILD/bench_engine" \
    --benchmark_min_time=0.2 --benchmark_out="$OUT/engine.json" --benchmark_out_format=json >>"$LOG" 2>&1
TRELLISANE_BENCH_TREES=$WORK/trees "$BUILD/bench_add" \
    --benchmark_out="$OUT/add.json" --benchmark_out_format=json >>"$LOG" 2>&1

say "planning 100,000 folders, every row renamed and every name but one claimed (bench_plan)"
"$BUILD/bench_plan" nested >"$OUT/plan.txt" 2>>"$LOG"

say "two renames at once: two threads against one on the file system of ${TMPDIR:-/tmp}"
two=$(mktemp -d "${TMPDIR:-/tmp}/trellisane-two.XXXXXX")
"$BUILD/rename_two_threads" "$two" 20000 >"$OUT/two-threads.txt" 2>>"$LOG" || true
rm -rf "$two"

say "the real window adding 1,000,000 folders under Xvfb (bench/window_million.py)"
/usr/bin/python3 "$HERE/../bench/window_million.py" "$BUILD" "$WORK/trees/1000000" 1000001 "$OUT" \
    >>"$LOG" 2>&1 || say "the window's figure failed: see $LOG"

# Peak resident memory (kB) and wall time (s) of one run: "KIND FOLDERS PEAK SECONDS".
measure() {
    kind=$1 n=$2
    shift 2
    /usr/bin/time -o "$WORK/time" -f '%M %e' "$@" >/dev/null
    echo "$kind $n $(cat "$WORK/time")" >>"$OUT/memory.txt"
}
say "peak memory of listing and --apply (empty, 100,000 and 1,000,000 folders)"
: >"$OUT/memory.txt"
for n in 0 100000 1000000; do
    tree=$WORK/trees/$n
    measure find $n find "$tree" -type d
    measure list $n "$CLI" --operation 'add x to end' --x _old --subfolders "$tree"
    # The last use of the tree: it is renamed in place rather than copied.
    measure apply $n "$CLI" --operation 'add x to end' --x _old --subfolders --apply "$tree"
done

/usr/bin/python3 "$HERE/bench-table.py" "$OUT" | tee "$OUT/table.md"
"$HERE/bench-plot.sh" "$OUT" "$OUT/time-against-folders.png"
say "figures in $OUT (table.md, *.json, *.md, time-against-folders.png)"
