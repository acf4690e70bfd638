#!/bin/sh
# Stands in for trellisane-cli when help2man makes its manual page: passes every call on to the
# program named by $TRELLISANE_CLI, and lays its --help out the way help2man reads it (the usage
# on one line, each operation a paragraph of its own, the "-" separators left out). The texts
# themselves are the program's, so the page follows every change to --help.
set -eu
: "${TRELLISANE_CLI:?set TRELLISANE_CLI to the trellisane-cli program}"
if [ "${1:-}" != --help ]; then
    LC_ALL=C exec "$TRELLISANE_CLI" "$@"
fi
LC_ALL=C "$TRELLISANE_CLI" --help | awk '
    /^Usage:/ { usage = 1; line = $0; next }
    usage && /^[ \t]+[^ \t]/ { sub(/^[ \t]+/, " "); line = line $0; next }
    usage { print line; usage = 0 }
    /^[^ \t].*:$/ { list = 1; print; next }
    /^$/ { list = 0 }
    list && /^  -$/ { next }
    list && /^  / { print ""; print; next }
    { print }'
