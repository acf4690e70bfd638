#!/bin/sh
# Static analysis of the project's own sources: clang-tidy (checks in .clang-tidy) and cppcheck,
# both driven by the build's compile_commands.json so they see the flags the compiler sees.
# Generated files (moc, resources) are left out. Exits non-zero on any finding.
#   scripts/lint.sh [BUILD]   (default build/, which must have been configured)
set -eu
cd "$(dirname "$0")/.."
BUILD=${1:-build}
JOBS=${JOBS:-2}
DB="$BUILD/compile_commands.json"
if [ ! -f "$DB" ]; then
    echo "lint: $DB is missing; configure the build first (make configure)" >&2
    exit 2
fi
TIDY=$(command -v clang-tidy-14 || command -v clang-tidy)

# The project's translation units, as the compilation database lists them.
FILES=$(python3 - "$DB" <<'PY'
import json, os, sys
root = os.getcwd() + os.sep
seen = set()
for entry in json.load(open(sys.argv[1])):
    path = os.path.normpath(os.path.join(entry["directory"], entry["file"]))
    if not path.startswith(root) or "_autogen" in path or "/build" in path[len(root)-1:]:
        continue
    rel = path[len(root):]
    if rel.split(os.sep)[0] in ("app", "cli", "control", "engine", "folders", "i18n", "rename", "shell", "tests", "bench", "fuzz"):
        seen.add(rel)
print("\n".join(sorted(seen)))
PY
)

status=0
echo "lint: clang-tidy over $(echo "$FILES" | wc -l) files"
# One process per file, JOBS at a time; --quiet keeps a clean run silent. Clang puts
# -Wsign-conversion inside -Wconversion, GCC does not: the warning set is GCC's, and index
# arithmetic between qsizetype and size_t is checked where it is converted, not at every use.
if ! echo "$FILES" | xargs -P "$JOBS" -n 1 "$TIDY" -p "$BUILD" --quiet --extra-arg=-Wno-sign-conversion 2>/dev/null; then
    status=1
fi

echo "lint: cppcheck"
# Only the checks that report faults; style would churn with every merge. The files are the
# database's; cppcheck gets the project's include root only (reading Qt's own headers would take
# minutes and report on Qt), with its configurations for Qt and GoogleTest (not its POSIX one,
# which takes a model's index() for the C library's and reports a null pointer). Suppressed:
#   readdirCalled         readdir_r is deprecated; readdir is safe on a stream of one's own
#   useInitializationList a suggestion about style, wrong where order matters
# shellcheck disable=SC2086
if ! cppcheck --quiet --error-exitcode=1 --inline-suppr --std=c++20 --language=c++ \
        --library=qt --library=googletest \
        --enable=warning,performance,portability \
        --suppress=missingIncludeSystem --suppress=unknownMacro \
        --suppress=readdirCalled --suppress=useInitializationList \
        -I . -DQT_NO_KEYWORDS -j "$JOBS" $FILES; then
    status=1
fi

if [ "$status" -eq 0 ]; then echo "lint: clean"; else echo "lint: findings above" >&2; fi
exit "$status"
