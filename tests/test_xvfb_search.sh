#!/usr/bin/env bash
# In Xvfb with openbox, while a search is held on its thread: the main and
# progress windows are centred by their frames, the progress window is painted
# ("Please wait..." on the window colour), the main window paints itself again
# when brought back from being minimised, and a click on "Go", Enter and the
# window manager's close request are dropped. Let go, the run goes on to the
# Save-As dialog.
# Usage: test_xvfb_search.sh HELD_RUN XVFB_SESSION   (exit 77: skipped)
set -uo pipefail
held_run=$(realpath "$1")
source "$2"
missing=$(xvfb_session_missing)
for tool in xdotool convert import; do command -v "$tool" >/dev/null || missing+="$tool "; done
if [ -n "$missing" ]; then
    echo "SKIP: not installed: ${missing% } (tools/bootstrap installs them)"
    exit 77
fi
xvfb_session_start || exit 1
work=$XVFB_SESSION_DIR
status=0
failed() { echo "FAIL: $*" && status=1; }

# frame ID: "X Y WIDTH HEIGHT" of the window with its frame.
frame() {
    local l r t b
    IFS=', ' read -r l r t b < <(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //')
    xwininfo -id "$1" | awk -v l="$l" -v r="$r" -v t="$t" -v b="$b" '
        /Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4}
        /^ *Width:/ {w = $2} /^ *Height:/ {h = $2}
        END {print x - l, y - t, w + l + r, h + t + b}'
}
# centred ID: the frame's middle is the middle of the 1024 x 768 screen.
centred() {
    local x y w h
    read -r x y w h < <(frame "$1") && (((2 * x + w - 1024) ** 2 <= 4 && (2 * y + h - 768) ** 2 <= 4))
}
# painted ID COLOUR SHARE: at least SHARE of the window is COLOUR, not all of it.
painted() {
    import -window "$1" "$work/shot.png" && convert "$work/shot.png" -fill black +opaque "$2" \
        -fill white -opaque "$2" -format "%[fx:mean >= $3 && mean < 0.999]" info: | grep -q 1
}
unmapped() { xwininfo -id "$1" | grep -q IsUnMapped; }
orange="rgb(255,192,128)"

mkdir -p "$work/Music/Rock" && touch "$work/Music/Rock/Song.mp3" && cd "$work" || exit 1
"$held_run" "$work/Music" "$work/release" >"$work/held.log" &
xvfb_session_track $!
main=$(xvfb_window "Vovezaduvu's Dozedozovo") || { echo "FAIL: no main window"; exit 1; }
xvfb_retry centred "$main" || failed "main window not centred: frame at $(frame "$main")"
xvfb_retry painted "$main" "$orange" 0.25 || failed "main window not painted"

xdotool windowfocus --sync "$main" key Return
progress=$(xvfb_window "Search in Progress") || { echo "FAIL: no progress window"; exit 1; }
xvfb_retry centred "$progress" || failed "progress window not centred: frame at $(frame "$progress")"
xvfb_retry painted "$progress" "rgb(239,239,239)" 0.8 || failed "progress window not painted"
read -r x y w h < <(frame "$main")
xdotool mousemove --sync $((x + w - 65)) $((y + h - 34)) click 1
xdotool windowfocus --sync "$main" key Return
xdotool windowfocus --sync "$main" key alt+F4  # openbox's close
timeout 10 xdotool windowminimize --sync "$main" && xvfb_retry unmapped "$main"
timeout 10 xdotool windowactivate --sync "$main" 2>/dev/null
xwininfo -id "$main" >/dev/null 2>&1 || { echo "FAIL: main window closed during the search"; exit 1; }
xvfb_retry painted "$main" "$orange" 0.25 || failed "main window not painted again"
[ "$(wc -l <"$work/held.log")" = 1 ] || failed "input during the search: $(cat "$work/held.log")"

touch "$work/release"
xvfb_window "Save as plain text" >/dev/null || failed "no Save-As dialog after the search"
[ "$status" = 0 ] && echo "PASS: centred and painted while the search was held; input dropped"
exit "$status"
