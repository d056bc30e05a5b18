#!/bin/sh
# cmake --install into a temporary prefix: every file lands where the
# desktop expects it, the menu entry is valid, and its launcher starts the
# program in the music folder when that holds tunes, else in the demo folder;
# the library, its header and its pkg-config file are there, and a plain C
# program built against them with pkg-config renders a tune as ptrender does;
# the GStreamer element is in the prefix's plugin folder, where
# gst-inspect-1.0 finds it, and the desktop knows both file types from the
# prefix's MIME database.
#   install_test.sh BUILD_DIR
set -u
build=$1
src=$(cd "$(dirname "$0")/../.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/prefix
failed=0
passed=0
check() {  # check DESCRIPTION COMMAND...
    what=$1; shift
    if "$@"; then passed=$((passed + 1)); else echo "FAIL: $what"; failed=$((failed + 1)); fi
}

cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1 || {
    cat "$tmp/install.log"; echo "FAIL: cmake --install"; exit 1; }

desktop=$prefix/share/applications/brindlewick.desktop
launcher=$prefix/libexec/brindlewick/brindlewick-launcher
demo=$prefix/share/brindlewick/demo
check "desktop entry" test -f "$desktop"
check "launcher is executable" test -x "$launcher"
for size in 16 32 64; do
    check "icon ${size}" cmp -s "$src/resources/brindlewick-$size.png" \
        "$prefix/share/icons/hicolor/${size}x${size}/apps/brindlewick.png"
done
for f in "$src"/demo/*.bmp "$src"/demo/*.ptcop "$src"/demo/*.pttune; do
    [ -f "$f" ] || continue
    check "demo file $(basename "$f")" cmp -s "$f" "$demo/$(basename "$f")"
done
if [ -x "$build/brindlewick" ]; then
    check "program" test -x "$prefix/bin/brindlewick"
fi
if [ -x "$build/ptrender" ]; then
    check "ptrender runs from the prefix" "$prefix/bin/ptrender" --help >/dev/null
fi
for page in brindlewick ptrender; do
    check "man page $page" test -f "$prefix/share/man/man1/$page.1"
    if command -v man >/dev/null; then
        # man finds the page through the prefix's share/man, as it does
        # for ~/.local or /usr/local, and formats it without a warning.
        shown=$(MANPATH="$prefix/share/man" MANWIDTH=80 man --warnings=all -P cat "$page" 2>"$tmp/man.err")
        check "man $page" test -n "$shown"
        check "man $page formats cleanly" test ! -s "$tmp/man.err"
        check "man $page shows its name" sh -c 'printf "%s\n" "$1" | grep -q "^NAME"' - "$shown"
    fi
done
if ! command -v man >/dev/null; then
    echo "note: man not installed, the pages were not formatted"
fi
# The library, as another program finds and links it.
pc_dir=$(find "$prefix" -name brindlewick.pc -path '*/pkgconfig/*' | head -n 1)
check "pkg-config file" test -n "$pc_dir"
if [ -n "$pc_dir" ] && command -v pkg-config >/dev/null; then
    export PKG_CONFIG_PATH="$(dirname "$pc_dir")"
    libdir=$(pkg-config --variable=libdir brindlewick)
    check "header" test -f "$(pkg-config --variable=includedir brindlewick)/brindlewick.h"
    check "pxtone.h stays out" test -z "$(find "$prefix" -name pxtone.h)"
    check "library and its links" test -f "$libdir/libbrindlewick.so.1.0.0" -a -L "$libdir/libbrindlewick.so.1" \
        -a -L "$libdir/libbrindlewick.so"
    check "soname" sh -c 'objdump -p "$1" | grep -q "SONAME *libbrindlewick.so.1$"' - "$libdir/libbrindlewick.so.1.0.0"
    check "exports bw_* alone" sh -c '! nm -D --defined-only "$1" | grep -v " A " | grep -qv " bw_"' - \
        "$libdir/libbrindlewick.so.1"
    probe=$src/tests/assets/probe/library_probe.c
    # shellcheck disable=SC2046
    check "a C program builds with pkg-config" cc -std=c99 -Wall -Werror -o "$tmp/probe" "$probe" \
        $(pkg-config --cflags --libs brindlewick)
    tune="$src/demo/Brindle Waltz.ptcop"
    if [ -x "$tmp/probe" ] && [ -x "$prefix/bin/ptrender" ]; then
        check "it renders a tune" env LD_LIBRARY_PATH="$libdir" "$tmp/probe" "$tune" "$tmp/probe.raw" >/dev/null
        "$prefix/bin/ptrender" "$tune" "$tmp/ptrender.wav"
        check "as ptrender does" sh -c 'tail -c +45 "$1" | cmp -s - "$2"' - "$tmp/ptrender.wav" "$tmp/probe.raw"
    fi
else
    echo "note: pkg-config not installed, the library was not linked"
fi

check "entry runs the installed launcher" grep -qx "Exec=$launcher" "$desktop"
check "entry names the themed icon" grep -qx "Icon=brindlewick" "$desktop"
if command -v desktop-file-validate >/dev/null; then
    check "desktop-file-validate" desktop-file-validate "$desktop"
else
    echo "note: desktop-file-validate not installed, entry not validated"
fi

# The GStreamer element and the desktop's file types. The jukebox takes no
# arguments, so its entry claims no file types.
check "entry claims no file types" sh -c '! grep -q "^MimeType=" "$1"' - "$desktop"
check "MIME entry" test -f "$prefix/share/mime/packages/brindlewick.xml"
if command -v update-mime-database >/dev/null && command -v gio >/dev/null; then
    mkdir "$tmp/types"
    printf 'not a tune' >"$tmp/types/named.ptcop"
    printf 'not a tune' >"$tmp/types/named.pttune"
    cp "$src/demo/Brindle Waltz.ptcop" "$tmp/types/project"
    cp "$src/demo/Copper Kettle Reel.pttune" "$tmp/types/tune"
    # by extension, then by file code alone
    for pair in named.ptcop:audio/x-ptcop named.pttune:audio/x-pttune project:audio/x-ptcop \
                tune:audio/x-pttune; do
        check "file type of ${pair%%:*}" sh -c 'XDG_DATA_HOME="$1" XDG_DATA_DIRS="$1" gio info \
            -a standard::content-type "$2" | grep -q "content-type: $3$"' - "$prefix/share" \
            "$tmp/types/${pair%%:*}" "${pair#*:}"
    done
fi
plugin=$(find "$prefix" -name libgstbrindlewick.so -path "*/gstreamer-1.0/*")
if [ -f "$build/gst/libgstbrindlewick.so" ]; then
    check "GStreamer element in the prefix's plugin folder" test -n "$plugin"
    if [ -n "$plugin" ] && command -v gst-inspect-1.0 >/dev/null; then
        check "gst-inspect-1.0 finds the installed element" env GST_PLUGIN_PATH="$(dirname "$plugin")" \
            GST_REGISTRY="$tmp/registry.bin" gst-inspect-1.0 brindlewickdec >/dev/null
        check "the plugin's version is the library's" sh -c 'env GST_PLUGIN_PATH="$1" GST_REGISTRY="$2" \
            gst-inspect-1.0 brindlewick | grep -qx " *Version *$(pkg-config --modversion brindlewick)"' - \
            "$(dirname "$plugin")" "$tmp/registry.bin"
    fi
fi

# Stand in for the program with a script that reports its folder, to see
# where the launcher starts it.
mkdir -p "$prefix/bin"
printf '#!/bin/sh\npwd > "%s/started-in"\n' "$tmp" >"$prefix/bin/brindlewick"
chmod +x "$prefix/bin/brindlewick"
started_in() {
    rm -f "$tmp/started-in"
    env -u XDG_CONFIG_HOME HOME="$1" "$launcher" && cat "$tmp/started-in"
}
home=$tmp/home
mkdir -p "$home/Music"
check "no tunes: demo folder" test "$(started_in "$home")" = "$(cd "$demo" && pwd)"
touch "$home/Music/song.ptcop"
check "tunes in ~/Music: there" test "$(started_in "$home")" = "$home/Music"
mkdir -p "$home/.config" "$home/Tunes"
echo 'XDG_MUSIC_DIR="$HOME/Tunes"' >"$home/.config/user-dirs.dirs"
if command -v xdg-user-dir >/dev/null; then
    check "empty configured music folder: demo" test "$(started_in "$home")" = "$(cd "$demo" && pwd)"
    touch "$home/Tunes/tune.pttune"
    check "configured music folder: there" test "$(started_in "$home")" = "$home/Tunes"
fi

echo "install_layout: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
