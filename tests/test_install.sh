#!/bin/bash
# Installs the build into a temporary folder as the Debian package does
# (DESTDIR, prefix /usr) and checks what a desktop finds there: the layout and
# its permissions, the link to the program, the menu entry, the metainfo, the
# icons and the man pages; then runs the installed dozedozovo-list on a small
# tree and compares its lists line by line.
# Usage: test_install.sh BUILD_DIR PROGRAM HELP DESKTOP
#   PROGRAM, HELP, DESKTOP: 1 when the build has the desktop program, the help
#   file, the desktop files; each must then be installed, 0 when it has not.
set -u
build=$1
want_program=$2
want_help=$3
want_desktop=$4

fail=0
failed() { echo "FAIL: $*"; fail=1; }
skipped() { echo "SKIP: $*"; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
work=$(realpath "$work")
dest=$work/dest
root=$dest/usr

if ! DESTDIR=$dest cmake --install "$build" --prefix /usr >"$work/install.log" 2>&1; then
    cat "$work/install.log"
    echo "FAIL: cmake --install failed"
    exit 1
fi

# mode_is PATH MODE: PATH is a regular file (not a link) with permission bits MODE.
mode_is() {
    if [ -L "$root/$1" ] || [ ! -f "$root/$1" ]; then
        failed "$1 is not installed as a regular file"
        return 1
    fi
    local mode
    mode=$(stat -c %a "$root/$1")
    [ "$mode" = "$2" ] || failed "$1 has mode $mode, expected $2"
}

# absent PATH: PATH is not installed.
absent() {
    if [ -e "$root/$1" ] || [ -L "$root/$1" ]; then failed "$1 is installed without its part in the build"; fi
}

# --- Layout ---------------------------------------------------------------
mode_is bin/dozedozovo-list 755
for dir in bin lib/dozedozovo share/man/man1; do
    if [ -d "$root/$dir" ]; then
        mode=$(stat -c %a "$root/$dir")
        [ "$mode" = 755 ] || failed "folder $dir has mode $mode, expected 755"
    fi
done

if [ "$want_program" = 1 ]; then
    if mode_is lib/dozedozovo/dozedozovo 755; then
        if [ ! -L "$root/bin/dozedozovo" ]; then
            failed "bin/dozedozovo is not a symbolic link"
        else
            target=$(readlink "$root/bin/dozedozovo")
            [ "$target" = ../lib/dozedozovo/dozedozovo ] ||
                failed "bin/dozedozovo points to '$target', expected ../lib/dozedozovo/dozedozovo"
            [ "$(readlink -f "$root/bin/dozedozovo")" = "$root/lib/dozedozovo/dozedozovo" ] ||
                failed "bin/dozedozovo does not resolve to lib/dozedozovo/dozedozovo"
        fi
        missing=$(ldd "$root/lib/dozedozovo/dozedozovo" 2>&1 | grep 'not found')
        [ -z "$missing" ] || failed "the installed program misses libraries: $missing"
        # The menu entry starts the program through the link: it must come up
        # and keep running (timeout ends it, status 124).
        QT_QPA_PLATFORM=offscreen timeout 5 "$root/bin/dozedozovo" >"$work/gui.log" 2>&1
        status=$?
        if [ "$status" != 124 ]; then
            cat "$work/gui.log"
            failed "the installed program started through bin/dozedozovo ended with status $status"
        fi
    fi
else
    absent lib/dozedozovo/dozedozovo
    absent bin/dozedozovo
fi

if [ "$want_help" = 1 ]; then
    # The help file sits in the folder of the resolved program, where the
    # program looks for it.
    if mode_is lib/dozedozovo/mp3.chm 644; then
        cmp -s "$build/bin/mp3.chm" "$root/lib/dozedozovo/mp3.chm" ||
            failed "lib/dozedozovo/mp3.chm differs from the built help file"
    fi
else
    absent lib/dozedozovo/mp3.chm
fi

# --- Menu entry, metainfo, icons -------------------------------------------
app_id=example.vovezaduvu.Dozedozovo
desktop=share/applications/$app_id.desktop
metainfo=share/metainfo/$app_id.metainfo.xml
png=share/icons/hicolor/32x32/apps/dozedozovo.png
svg=share/icons/hicolor/scalable/apps/dozedozovo.svg

# desktop_key KEY: the value of KEY in the installed menu entry.
desktop_key() { sed -n "s/^$1=//p" "$root/$desktop"; }

if [ "$want_desktop" = 1 ]; then
    for f in "$desktop" "$metainfo" "$png" "$svg"; do mode_is "$f" 644; done
    if [ -f "$root/$desktop" ]; then
        if command -v desktop-file-validate >/dev/null; then
            out=$(desktop-file-validate "$root/$desktop" 2>&1) ||
                failed "desktop-file-validate rejects $desktop: $out"
            if grep -q 'error:' <<<"$out"; then failed "desktop-file-validate: $out"; fi
        else
            skipped "desktop-file-validate not installed (apt-get install desktop-file-utils)"
        fi
        [ "$(desktop_key Exec)" = dozedozovo ] || failed "menu entry Exec is '$(desktop_key Exec)'"
        [ "$(desktop_key Icon)" = dozedozovo ] || failed "menu entry Icon is '$(desktop_key Icon)'"
        [ "$(desktop_key Type)" = Application ] || failed "menu entry Type is '$(desktop_key Type)'"
        if [ "$want_program" = 1 ] && [ ! -x "$root/bin/$(desktop_key Exec)" ]; then
            failed "the menu entry's command $(desktop_key Exec) is not in bin/"
        fi
    fi
    if [ -f "$root/$metainfo" ]; then
        if command -v appstreamcli >/dev/null; then
            out=$(appstreamcli validate --no-net "$root/$metainfo" 2>&1) ||
                failed "appstreamcli validate rejects $metainfo: $out"
        else
            skipped "appstreamcli not installed (apt-get install appstream)"
        fi
        grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$root/$metainfo" ||
            failed "the metainfo does not launch $app_id.desktop"
        grep -q "<id>$app_id</id>" "$root/$metainfo" || failed "the metainfo id is not $app_id"
        # The newest release named in the metainfo is the installed version.
        version=$("$root/bin/dozedozovo-list" --version | awk '{print $2}')
        newest=$(grep -o '<release version="[^"]*"' "$root/$metainfo" | head -1 | cut -d'"' -f2)
        if [ -z "$version" ] || [ "$newest" != "$version" ]; then
            failed "the metainfo's newest release is '$newest', the program's version '$version'"
        fi
    fi
    if [ -f "$root/$png" ]; then
        # PNG signature, then the IHDR width and height (big-endian) at bytes 16-23.
        signature=$(od -An -tx1 -N8 "$root/$png" | tr -d ' \n')
        size=$(od -An -tu1 -j16 -N8 "$root/$png" | awk '{print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8}')
        [ "$signature" = 89504e470d0a1a0a ] || failed "$png is not a PNG file"
        [ "$size" = 32x32 ] || failed "$png is $size, expected 32x32"
    fi
    if [ -f "$root/$svg" ]; then
        grep -q '<svg[^>]*viewBox="0 0 32 32"' "$root/$svg" || failed "$svg is not a 32 x 32 SVG picture"
    fi
else
    for f in "$desktop" "$metainfo" "$png" "$svg"; do absent "$f"; done
fi

# --- Man pages ----------------------------------------------------------------
pages=(dozedozovo-list)
[ "$want_program" = 1 ] && pages+=(dozedozovo)
for page in "${pages[@]}"; do
    found=("$root/share/man/man1/$page.1" "$root/share/man/man1/$page.1.gz")
    file=
    for candidate in "${found[@]}"; do [ -f "$candidate" ] && file=$candidate; done
    if [ -z "$file" ]; then
        failed "man page $page.1 not installed"
        continue
    fi
    mode_is "${file#"$root"/}" 644
    source=$work/$page.1
    case $file in
        *.gz) gzip -dc "$file" >"$source" ;;
        *) cp "$file" "$source" ;;
    esac
    grep -q "^\.TH ${page^^} 1 " "$source" || failed "$page.1 has no .TH line for section 1"
    if command -v groff >/dev/null; then
        warnings=$(groff -man -Tutf8 -ww -z "$source" 2>&1)
        [ -z "$warnings" ] || failed "groff warns about $page.1: $warnings"
    else
        skipped "groff not installed: $page.1 not rendered"
    fi
done
# Every option the program's --help names is in its man page, and so is every
# exit status.
if [ -f "$work/dozedozovo-list.1" ]; then
    for option in $("$root/bin/dozedozovo-list" --help | grep -o -- '--[a-z]*' | sort -u); do
        grep -q -- "${option//-/\\\\-}" "$work/dozedozovo-list.1" ||
            failed "dozedozovo-list.1 does not describe $option"
    done
    for status in 0 1 2 3 4 5; do
        grep -A1 '^\.TP' "$work/dozedozovo-list.1" | grep -qx "\.B $status" ||
            failed "dozedozovo-list.1 does not describe exit status $status"
    done
fi

# --- The installed dozedozovo-list on a small tree ------------------------------
music=$work/Music
mkdir -p "$music/Live/1999" "$music/Rock/Demos" "$music/Empty"
truncate -s 3670016 "$music/intro.mp3"
truncate -s 5000000 "$music/Live/1999/concert.mp3"
truncate -s 1572863 "$music/Live/1999/encore.MP3"
truncate -s 2621440 "$music/Rock/riff.mp3"
truncate -s 1000 "$music/Rock/cover.jpg"

# text_line NAME SIZE: a file line of the text list, the size at column 60.
text_line() { printf '%-59s%s MB\r\n' "$1" "$2"; }
{
    printf 'List Generated by:  Vovezaduvu'"'"'s Dozedozovo\r\n'
    printf 'Get your copy at https://vovezaduvu.example/dozedozovo\r\n\r\n'
    printf '%s\r\n\r\n' "$music"
    text_line intro.mp3 4.00
    printf '\r\n%s\r\n\r\n' "$music/Live/1999"
    text_line concert.mp3 5.00
    text_line encore.MP3 2.00
    printf '\r\n%s\r\n\r\n' "$music/Rock"
    text_line riff.mp3 2.00
    printf '\r\n'
} >"$work/expected.txt"

html_row() { printf '<TR>\r\n<TD WIDTH=50%%>%s</TD>\r\n<TD WIDTH=50%%>%s MB</TD>\r\n</TR>\r\n\r\n' "$1" "$2"; }
html_heading() { printf '</TABLE><BR><BR>\r\n<B>%s</B>\r\n<TABLE WIDTH=100%% BORDER=1>\r\n' "$1"; }
{
    printf '<HTML>\r\n<BODY>\r\n<P>\r\n'
    printf '<B>MP3 List Generated by:  Vovezaduvu'"'"'s Dozedozovo<BR>\r\n'
    printf "Get your copy at <A HREF='https://vovezaduvu.example/dozedozovo'>Vovezaduvu Software</A></B>\r\n"
    printf '<BR><BR>\r\n<B>%s</B>\r\n<TABLE WIDTH=100%% BORDER=1>\r\n' "$music"
    html_row intro.mp3 4.00
    printf '\r\n'
    html_heading "$music/Live/1999"
    html_row concert.mp3 5.00
    html_row encore.MP3 2.00
    printf '\r\n'
    html_heading "$music/Rock"
    html_row riff.mp3 2.00
    printf '\r\n</P>\r\n</TABLE>\r\n</BODY>\r\n</HTML>\r\n'
} >"$work/expected.html"

# run_list EXPECTED_STATUS EXPECTED_STDERR ARGS...: runs the installed
# dozedozovo-list from PATH (as a user would) in the C locale.
run_list() {
    local want_status=$1 want_err=$2
    shift 2
    (cd "$work" && LC_ALL=C PATH="$root/bin:$PATH" dozedozovo-list "$@" >"$work/stdout" 2>"$work/stderr")
    local status=$?
    [ "$status" = "$want_status" ] || failed "dozedozovo-list $* ended with $status, expected $want_status"
    [ "$(cat "$work/stderr")" = "$want_err" ] ||
        failed "dozedozovo-list $* said '$(cat "$work/stderr")', expected '$want_err'"
}

run_list 0 "4 MP3 files were generated, have a nice day!" Music list.txt
cmp -s "$work/expected.txt" "$work/list.txt" ||
    failed "the text list differs: $(diff <(cat -A "$work/expected.txt") <(cat -A "$work/list.txt"))"

run_list 0 "4 MP3 files were generated, have a nice day!" --html "$music" -
cmp -s "$work/expected.html" "$work/stdout" ||
    failed "the HTML list differs: $(diff <(cat -A "$work/expected.html") <(cat -A "$work/stdout"))"

run_list 1 "No MP3 files were found in the search path." "$music/Empty" "$work/none.txt"
[ -e "$work/none.txt" ] && failed "a list was written although no MP3 file was found"

if [ "$fail" = 0 ]; then
    echo "PASS: the installed layout, menu entry, metainfo, icons, man pages and dozedozovo-list"
fi
exit "$fail"
