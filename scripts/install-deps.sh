#!/bin/sh
# Installs the Debian packages Trellisane needs to build, test and run, when any is missing.
# Runs apt-get as root, or through sudo when there is one; says what it does and stops with a
# clear message where it cannot.
set -eu

# Extra packages may be named as arguments (`make bench` adds its measuring tools).
# help2man makes a manual page; desktop-file-utils, appstream, lintian, dpkg-dev, man-db and
# bash-completion check the installation and the Debian package; e2fsprogs makes the ext4 image of
# the full-disk test. The end-to-end tests (tests/e2e) drive the real window on a private X server
# (xvfb) with a window manager (openbox), real input (xdotool), screenshots (imagemagick), the
# window list (x11-utils), a session bus (dbus) and AT-SPI (at-spi2-core, read with
# Debian's python3 and python3-pyatspi). qt6-tools-dev and qt6-l10n-tools build the translations
# (lrelease, and lupdate for the catalogue test), qt6-translations-l10n holds Qt's own,
# fonts-noto-cjk writes Japanese. The file-system matrix (tests/disks/fs_matrix.py, python3)
# makes and mounts its file systems with util-linux (losetup), exfat-fuse and exfatprogs,
# ntfs-3g, xfsprogs, btrfs-progs, dosfstools, and sshfs with openssh-server (an sshd of its own
# on 127.0.0.1).
PACKAGES="cmake make g++ pkg-config qt6-base-dev libgtest-dev fonts-liberation xvfb xauth help2man \
desktop-file-utils appstream lintian dpkg-dev man-db bash-completion e2fsprogs \
openbox xdotool imagemagick x11-utils dbus at-spi2-core python3 python3-pyatspi util-linux \
exfat-fuse exfatprogs ntfs-3g xfsprogs btrfs-progs dosfstools sshfs openssh-server openssh-client \
qt6-tools-dev qt6-l10n-tools qt6-translations-l10n fonts-noto-cjk $*"

missing=""
for pkg in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $pkg"
    fi
done

if [ -z "$missing" ]; then
    exit 0
fi

if ! command -v apt-get >/dev/null 2>&1; then
    echo "trellisane: these packages are missing:$missing" >&2
    echo "trellisane: this is not a Debian or Ubuntu machine (no apt-get); install them by hand." >&2
    exit 1
fi

if [ "$(id -u)" -eq 0 ]; then
    SUDO=""
elif command -v sudo >/dev/null 2>&1; then
    SUDO="sudo"
else
    echo "trellisane: these packages are missing:$missing" >&2
    echo "trellisane: installing them needs root; run as root or install sudo." >&2
    exit 1
fi

echo "trellisane: installing the Debian packages it needs:$missing"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
# shellcheck disable=SC2086
$SUDO apt-get install -y --no-install-recommends $missing
