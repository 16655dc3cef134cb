#!/usr/bin/env bash
# In a real X session (Xvfb with openbox), while a search is held on its
# thread: the progress window is mapped, centred and painted ("Please
# wait..." on the window colour), the main window paints itself again when it
# comes back from being minimised, and a click on "Go" and Enter are dropped.
# Let go, the run goes on to the Save-As dialog, once.
# Usage: test_xvfb_search.sh HELD_RUN XVFB_SESSION   (exit 77: skipped)
set -uo pipefail
held_run=$(realpath "$1")
# shellcheck source=../tools/xvfb-session
source "$2"

missing=$(xvfb_session_missing)
for tool in xdotool convert import; do command -v "$tool" >/dev/null || missing+="$tool "; done
if [ -n "$missing" ]; then
    echo "SKIP: not installed: $missing(tools/bootstrap installs xvfb openbox x11-utils xdotool imagemagick)"
    exit 77
fi
xvfb_session_start || exit 1
work=$XVFB_SESSION_DIR
status=0
failed() {
    echo "FAIL: $*"
    status=1
}

# geometry ID: "X Y WIDTH HEIGHT" of the window's frame on the screen.
geometry() {
    local info x y w h l r t b
    info=$(xwininfo -id "$1") || return 1
    x=$(awk '/Absolute upper-left X/ {print $4}' <<<"$info")
    y=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$info")
    w=$(awk '/^ *Width:/ {print $2}' <<<"$info")
    h=$(awk '/^ *Height:/ {print $2}' <<<"$info")
    IFS=', ' read -r l r t b < <(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //')
    echo "$((x - l)) $((y - t)) $((w + l + r)) $((h + t + b))"
}
# centred ID: the window's frame stands in the middle of the 1024 x 768 screen.
centred() {
    local x y w h
    read -r x y w h < <(geometry "$1") || return 1
    (((2 * x + w - 1024) ** 2 <= 4 && (2 * y + h - 768) ** 2 <= 4))
}
# share ID COLOUR: the share (0 to 1) of the window's pixels in COLOUR.
share() {
    import -window "$1" "$work/shot.png" &&
        convert "$work/shot.png" -fill black +opaque "$2" -fill white -opaque "$2" \
            -format '%[fx:mean]' info:
}
# painted ID COLOUR MINIMUM: at least MINIMUM of the window is COLOUR, and
# the rest is not all of one other colour (text is drawn on it).
painted() {
    local part
    part=$(share "$1" "$2") || return 1
    awk -v p="$part" -v m="$3" 'BEGIN {exit !(p >= m && p < 0.999)}'
}
mapped() { xwininfo -id "$1" | grep -q 'Map State: IsViewable'; }
unmapped() { xwininfo -id "$1" | grep -q 'Map State: IsUnMapped'; }
gone() { ! mapped "$1"; }
holds() { wc -l <"$work/held.log"; }

mkdir -p "$work/Music/Rock"
touch "$work/Music/Rock/Song.mp3"
cd "$work" || exit 1
"$held_run" "$work/Music" "$work/release" >"$work/held.log" 2>"$work/held.err" &
xvfb_session_track $!

main=$(xvfb_window "Vovezaduvu's Dozedozovo") || { echo "FAIL: no main window"; exit 1; }
xvfb_retry centred "$main" || failed "main window not centred: frame at $(geometry "$main")"
xvfb_retry painted "$main" "rgb(255,192,128)" 0.25 || failed "main window not painted light orange"

xdotool windowfocus --sync "$main" key Return
xvfb_retry grep -q held "$work/held.log" || { echo "FAIL: the search did not start"; exit 1; }
progress=$(xvfb_window "Search in Progress") || { echo "FAIL: no progress window"; exit 1; }
xvfb_retry mapped "$progress" || failed "progress window not mapped"
xvfb_retry centred "$progress" || failed "progress window not centred: frame at $(geometry "$progress")"
# The window colour, with "Please wait..." drawn on it.
xvfb_retry painted "$progress" "rgb(239,239,239)" 0.8 ||
    failed "progress window not painted while the search runs"

# Input while the search runs: a click on "Go" and Enter.
read -r x y w h < <(geometry "$main")
xdotool mousemove --sync $((x + w - 65)) $((y + h - 34)) click 1
xdotool windowfocus --sync "$main" key Return
# Minimised and back: the window manager maps it again and it must paint.
xdotool windowminimize --sync "$main"
xvfb_retry unmapped "$main" || failed "main window not minimised"
xdotool windowactivate --sync "$main" 2>/dev/null
xvfb_retry mapped "$main" || failed "main window not restored"
xvfb_retry painted "$main" "rgb(255,192,128)" 0.25 ||
    failed "main window not painted again while the search runs"
[ "$(holds)" = 1 ] || failed "input during the search started another search"

touch "$work/release"
dialog=$(xvfb_window "Save as plain text") || failed "no Save-As dialog after the search"
if [ -n "$dialog" ]; then
    xdotool windowfocus --sync "$dialog" key Escape
    xvfb_retry gone "$dialog" || failed "Esc left the dialog open"
fi
sleep 1
[ "$(holds)" = 1 ] || failed "$(holds) searches, one expected"
[ -z "$(_xvfb_visible "Save as plain text" 2>/dev/null)" ] || failed "a second Save-As dialog"

if [ "$status" = 0 ]; then
    echo "PASS: painted and centred while the search was held; input dropped; one run"
else
    sed 's/^/xvfb_held_run: /' "$work/held.err"
fi
exit "$status"
