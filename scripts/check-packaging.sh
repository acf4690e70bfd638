#!/bin/sh
# Checks what an installation and the Debian package of a built tree hold: installs BUILD into a
# temporary prefix, checks the layout and the launchers, validates the desktop entry and the
# AppStream metainfo, checks the keys of the file managers' menu entries, renders the manual pages, tries the bash completion, checks that the
# installed companion refuses to rename its own samples (and renames a copy of them), then
# builds the .deb, checks its contents and dependencies with dpkg-deb and runs lintian on it.
# Needs Debian's desktop-file-utils, appstream, lintian, dpkg-dev, man-db and bash-completion
# (scripts/install-deps.sh installs them). Writes nothing outside its temporary folder.
# Usage: scripts/check-packaging.sh BUILD
set -eu

[ $# -eq 1 ] || { echo "usage: $0 BUILD" >&2; exit 2; }
BUILD="$(cd "$1" && pwd)"
APP_ID=com.quorvane.Trellisane
MENU_FILES="share/kio/servicemenus/$APP_ID.desktop share/nemo/actions/$APP_ID.rename.nemo_action
share/nemo/actions/$APP_ID.rename-beneath.nemo_action share/file-manager/actions/$APP_ID.rename.desktop
share/file-manager/actions/$APP_ID.rename-beneath.desktop"
TMP="$(mktemp -d "${TMPDIR:-/tmp}/trellisane-packaging.XXXXXX")"
trap 'rm -rf "$TMP"' EXIT

fail() {
    echo "check-packaging: $*" >&2
    exit 1
}
step() { echo "== $*"; }

# The value of KEY in [GROUP] of the desktop-entry-style FILE; empty when it is not there.
entry_key() {
    awk -v group="[$2]" -v key="$3" '
        /^\[/ { inside = ($0 == group); next }
        inside && index($0, key "=") == 1 { print substr($0, length(key) + 2); exit }' "$1"
}
# Fails unless KEY in [GROUP] of FILE is exactly VALUE.
expect_key() {
    got="$(entry_key "$1" "$2" "$3")"
    [ "$got" = "$4" ] || fail "$(basename "$1"): [$2] $3 is '$got', not '$4'"
}
# Fails unless every line of FILE is a comment, a blank, a [group] or a key=value line.
expect_entry_lines() {
    bad="$(grep -nvE '^(#.*|\[[^][]+\]|[A-Za-z0-9-]+(\[[A-Za-z_@.]+\])?=.*|)$' "$1" || true)"
    [ -z "$bad" ] || fail "$(basename "$1") has lines of no desktop-entry form: $bad"
}

step "cmake --install into a temporary prefix"
PREFIX="$TMP/prefix"
cmake --install "$BUILD" --prefix "$PREFIX" >"$TMP/install.log" || {
    cat "$TMP/install.log" >&2
    fail "cmake --install failed"
}
for file in lib/trellisane/trellisane lib/trellisane/trellisane-cli lib/trellisane/HAND-M.CUR \
    lib/trellisane/x/o.cjs share/applications/$APP_ID.desktop \
    share/metainfo/$APP_ID.metainfo.xml share/icons/hicolor/scalable/apps/$APP_ID.svg \
    share/icons/hicolor/48x48/apps/$APP_ID.png share/icons/hicolor/256x256/apps/$APP_ID.png \
    share/man/man1/trellisane.1.gz share/man/man1/trellisane-cli.1.gz \
    share/bash-completion/completions/trellisane-cli share/doc/trellisane/copyright \
    share/doc/trellisane/changelog.gz $MENU_FILES; do
    [ -f "$PREFIX/$file" ] || fail "the installation lacks $file"
done
[ -n "$(find "$PREFIX/lib/trellisane/Samples" -mindepth 1 -maxdepth 1 -type d)" ] ||
    fail "the installation has no sample folders"
for program in trellisane trellisane-cli; do
    [ -L "$PREFIX/bin/$program" ] || fail "bin/$program is not a link into lib/trellisane"
    [ "$(readlink -f "$PREFIX/bin/$program")" = "$(readlink -f "$PREFIX/lib/trellisane/$program")" ] ||
        fail "bin/$program does not lead to lib/trellisane/$program"
done
"$PREFIX/bin/trellisane-cli" --version >/dev/null || fail "bin/trellisane-cli does not start"

step "desktop entry and AppStream metainfo"
desktop-file-validate "$PREFIX/share/applications/$APP_ID.desktop"
appstreamcli validate --no-net "$PREFIX/share/metainfo/$APP_ID.metainfo.xml"

step "the file managers' menus on folders"
# Other formats than an application's entry, which desktop-file-validate rejects: their keys.
for file in $MENU_FILES; do expect_entry_lines "$PREFIX/$file"; done
menu="$PREFIX/share/kio/servicemenus/$APP_ID.desktop"
expect_key "$menu" "Desktop Entry" Type Service
expect_key "$menu" "Desktop Entry" MimeType "inode/directory;"
expect_key "$menu" "Desktop Entry" X-KDE-ServiceTypes KonqPopupMenu/Plugin
expect_key "$menu" "Desktop Entry" Actions "renameFolders;renameFoldersBeneath;"
expect_key "$menu" "Desktop Action renameFolders" Name "Rename Folders…"
expect_key "$menu" "Desktop Action renameFolders" Exec "trellisane -- %U"
expect_key "$menu" "Desktop Action renameFoldersBeneath" Name \
    "Rename Folders and Everything Beneath…"
expect_key "$menu" "Desktop Action renameFoldersBeneath" Exec "trellisane --subfolders -- %U"
for kind in rename rename-beneath; do
    nemo="$PREFIX/share/nemo/actions/$APP_ID.$kind.nemo_action"
    fma="$PREFIX/share/file-manager/actions/$APP_ID.$kind.desktop"
    if [ "$kind" = rename ]; then
        name="Rename Folders…" option=""
    else
        name="Rename Folders and Everything Beneath…" option="--subfolders "
    fi
    expect_key "$nemo" "Nemo Action" Name "$name"
    expect_key "$nemo" "Nemo Action" Exec "trellisane $option-- %F"
    expect_key "$nemo" "Nemo Action" Extensions "dir;"
    expect_key "$nemo" "Nemo Action" Selection notnone
    expect_key "$nemo" "Nemo Action" Quote double
    expect_key "$fma" "Desktop Entry" Type Action
    expect_key "$fma" "Desktop Entry" Name "$name"
    expect_key "$fma" "Desktop Entry" Profiles "folders;"
    expect_key "$fma" "X-Action-Profile folders" MimeTypes "inode/directory;"
    expect_key "$fma" "X-Action-Profile folders" Exec "trellisane $option-- %U"
done
# The main entry opens no folders: it would become their default program on some desktops.
[ -z "$(entry_key "$PREFIX/share/applications/$APP_ID.desktop" "Desktop Entry" MimeType)" ] ||
    fail "the main desktop entry claims MIME types"
# What the menus start: the window's command line, read before any display is looked for.
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$PREFIX/bin/trellisane" --help |
    grep -q "^Usage: trellisane \[--subfolders\] \[FOLDER...\]" ||
    fail "bin/trellisane --help does not answer without a display"

step "manual pages"
for page in trellisane trellisane-cli; do
    text="$(MANWIDTH=80 man --warnings -l "$PREFIX/share/man/man1/$page.1.gz" 2>"$TMP/man.err")"
    [ ! -s "$TMP/man.err" ] || { cat "$TMP/man.err" >&2; fail "man warns about $page.1"; }
    echo "$text" | grep -q "^NAME" || fail "$page.1 has no NAME section"
done

step "bash completion"
offered="$(bash -c '
    . /usr/share/bash-completion/bash_completion
    . "$1/share/bash-completion/completions/trellisane-cli"
    COMP_WORDS=(trellisane-cli --operation "remove n"); COMP_CWORD=2
    COMP_LINE="${COMP_WORDS[*]}"; COMP_POINT=${#COMP_LINE}
    _trellisane_cli trellisane-cli "remove n" --operation
    printf "%s\n" "${COMPREPLY[@]}"' completion "$PREFIX")"
[ "$offered" = "$(printf 'remove\\ numeric\nremove\\ non-alphanumeric')" ] ||
    fail "completing '--operation remove n' offers: $offered"

step "an installed program never renames its own samples"
sample="$(find "$PREFIX/lib/trellisane/Samples" -mindepth 1 -maxdepth 1 -type d -name '*[0-9]*' |
    head -n1)"
before="$(find "$PREFIX/lib/trellisane" | sort)"
if "$PREFIX/bin/trellisane-cli" --operation "remove numeric" --apply "$sample" \
    >/dev/null 2>"$TMP/refused"; then
    fail "renaming an installed sample was reported as done"
fi
grep -q "installed program's own folder" "$TMP/refused" || {
    cat "$TMP/refused" >&2
    fail "the refusal does not say why"
}
[ "$(find "$PREFIX/lib/trellisane" | sort)" = "$before" ] ||
    fail "the installed program's folder changed"
cp -R "$PREFIX/lib/trellisane" "$TMP/copy"
"$TMP/copy/trellisane-cli" --operation "remove numeric" --apply \
    "$TMP/copy/Samples/$(basename "$sample")" >/dev/null ||
    fail "a copy of the program's folder does not rename its samples"

step "the Debian package"
cpack --config "$BUILD/CPackConfig.cmake" -B "$TMP/package" >"$TMP/cpack.log" 2>&1 || {
    cat "$TMP/cpack.log" >&2
    fail "cpack failed"
}
set -- "$TMP"/package/trellisane_*.deb
[ $# -eq 1 ] && [ -f "$1" ] || fail "cpack made no trellisane_*.deb: $(ls "$TMP/package")"
deb="$1"
version="$(dpkg-deb -f "$deb" Version)"
arch="$(dpkg-deb -f "$deb" Architecture)"
[ "$(basename "$deb")" = "trellisane_${version}_${arch}.deb" ] ||
    fail "the package is named $(basename "$deb"), not Debian's trellisane_${version}_${arch}.deb"
depends="$(dpkg-deb -f "$deb" Depends)"
for library in libqt6core6 libqt6gui6 libqt6widgets6 libc6 libstdc++6 qt6-translations-l10n; do
    echo "$depends" | grep -q "$library" || fail "Depends lacks $library: $depends"
done
dpkg-deb -c "$deb" | awk '{ $1 = $2 = $3 = $4 = $5 = ""; sub(/^ +/, ""); print }' >"$TMP/contents"
for file in ./usr/bin/trellisane ./usr/bin/trellisane-cli ./usr/lib/trellisane/trellisane \
    ./usr/lib/trellisane/trellisane-cli ./usr/lib/trellisane/HAND-M.CUR \
    ./usr/lib/trellisane/x/o.cjs ./usr/share/applications/$APP_ID.desktop \
    ./usr/share/metainfo/$APP_ID.metainfo.xml ./usr/share/man/man1/trellisane-cli.1.gz \
    ./usr/share/bash-completion/completions/trellisane-cli ./usr/share/doc/trellisane/copyright \
    ./usr/share/doc/trellisane/changelog.gz $(for file in $MENU_FILES; do echo "./usr/$file"; done); do
    grep -q "^$file\( -> .*\)\?\$" "$TMP/contents" || fail "the package lacks $file"
done
grep -q "^./usr/lib/trellisane/Samples/" "$TMP/contents" || fail "the package has no samples"
dpkg-deb -x "$deb" "$TMP/unpacked"
zcat "$TMP/unpacked/usr/share/doc/trellisane/changelog.gz" | head -n1 |
    grep -q "^trellisane ($version)" || fail "the changelog's latest entry is not $version"
# lintian warns that it runs as root, which CI does; only errors fail.
status=0
lintian --fail-on error "$deb" >"$TMP/lintian" 2>&1 || status=$?
grep -v "running with root privileges" "$TMP/lintian" || true
[ "$status" -eq 0 ] || fail "lintian finds errors in $(basename "$deb")"

echo "check-packaging: $(basename "$deb") and the installation are in order"
