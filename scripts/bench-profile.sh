#!/bin/sh
# scripts/bench-profile.sh BUILD [FOLDERS]: where the companion's time and memory go when it
# lists and when it renames (--apply) a tree of FOLDERS folders (default 100,000) in the
# benchmark trees' shape. Instructions are counted with valgrind's callgrind (repeatable on a
# busy machine), the heap at its peak with massif. Writes BUILD/bench/profile-{list,apply}-*.txt
# (callgrind_annotate, inclusive and exclusive, and ms_print) and prints the heads.
set -eu

BUILD=$(cd "${1:-build}" && pwd)
N=${2:-100000}
HERE=$(cd "$(dirname "$0")" && pwd)
"$HERE/install-deps.sh" valgrind
OUT=$BUILD/bench
mkdir -p "$OUT"
if [ -z "${BENCH_TMP:-}" ]; then
    if [ -d /dev/shm ] && [ -w /dev/shm ]; then BENCH_TMP=/dev/shm; else BENCH_TMP=${TMPDIR:-/tmp}; fi
fi
WORK=$(mktemp -d "$BENCH_TMP/trellisane-profile.XXXXXX")
trap 'rm -rf "$WORK"' EXIT INT TERM
"$BUILD/make_tree" "$WORK/tree" "$N"


run() {  # run KIND TOOL: the companion under one valgrind tool, on the tree or a fresh copy
    kind=$1 tool=$2
    rm -rf "$WORK/copy" "$WORK/copy_old"
    cp -a "$WORK/tree" "$WORK/copy"
    apply=""
    [ "$kind" = apply ] && apply=--apply
    valgrind --tool="$tool" --"$tool"-out-file="$WORK/$kind.$tool" -q \
        "$BUILD/trellisane-cli" --operation "add x to end" --x _old --subfolders $apply \
        "$WORK/copy" >/dev/null
}
for kind in list apply; do
    echo "bench-profile: $kind, $N folders: callgrind" >&2
    run $kind callgrind
    callgrind_annotate --inclusive=yes "$WORK/$kind.callgrind" >"$OUT/profile-$kind-inclusive.txt"
    callgrind_annotate "$WORK/$kind.callgrind" >"$OUT/profile-$kind-exclusive.txt"
    echo "bench-profile: $kind, $N folders: massif" >&2
    run $kind massif
    ms_print "$WORK/$kind.massif" >"$OUT/profile-$kind-heap.txt"
    echo "== $kind: instructions, inclusive"
    sed -n '/^Ir/,/^$/p;/file:function/,+25p' "$OUT/profile-$kind-inclusive.txt" | head -40
done
