#!/bin/sh
# Starts the window, or explains why it cannot where there is no display.
set -eu
BUILD="${1:-build}"
if [ ! -x "$BUILD/trellisane" ]; then
    exec "$BUILD/trellisane-cli" --help
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "trellisane: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
    echo "trellisane: run it from a desktop session, or under Xvfb: xvfb-run -a $BUILD/trellisane" >&2
    exit 1
fi
exec "$BUILD/trellisane"
