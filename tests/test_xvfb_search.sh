#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# In Xvfb with openbox, while a search is held on its thread: the main and
# progress windows are centred by their frames, the progress window is painted
# ("Please wait..." on the window colour) and offers no minimise, the main
# window paints itself again when brought back from being minimised, and a
# click on "Go", Enter and the window manager's close request are dropped; Esc
# in the progress window ends the run with no dialog. A burst of two Enters
# gives one run: one Save-As dialog and no progress window left. A folder held
# on a slow listing keeps the window painted, and opens when let go. The
# window icon comes in 16 to 256 pixels.
# Usage: test_xvfb_search.sh HELD_RUN XVFB_SESSION   (exit 77: skipped)
# shellcheck disable=SC2317  # the checks below run through xvfb_retry
set -uo pipefail
held_run=$(realpath "$1")
# shellcheck source=tools/xvfb-session
source "$2"
xvfb_test_start "xdotool convert import" "$@"
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
# shown NAME: prints how many windows named NAME are on screen; fails when none.
shown() {
    local n
    n=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | wc -l)
    echo "$n" && [ "$n" != 0 ]
}
gone() { ! shown "$1" >/dev/null; }
orange="rgb(255,192,128)"

mkdir -p "$work/Music/Rock" "$work/Music/slow" && touch "$work/Music/Rock/Song.mp3" && cd "$work" || exit 1
"$held_run" "$work/Music" "$work/release" >"$work/held.log" &
xvfb_session_track $!
main=$(xvfb_window "Vovezaduvu's Dozedozovo") || { echo "FAIL: no main window"; exit 1; }
xvfb_retry centred "$main" || failed "main window not centred: frame at $(frame "$main")"
xvfb_retry painted "$main" "$orange" 0.25 || failed "main window not painted"
icons=$(xprop -len 1000000 -id "$main" _NET_WM_ICON | grep -o 'Icon ([0-9]*' | tr -dc '0-9\n' |
    sort -n | paste -sd' ')
[ "$icons" = "16 24 32 48 64 128 256" ] || failed "the window icon comes in sizes $icons"

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

xdotool search --onlyvisible --name "^Search in Progress\$" >/dev/null || failed "progress window gone"
# Decorations asked for (flag 2) without a minimise button (32); where the
# window manager offers one all the same, the window comes back.
read -r flags _ decorations _ < <(xprop -id "$progress" _MOTIF_WM_HINTS | sed 's/.*= //; s/,//g')
(((flags & 2) && !(decorations & 32))) || failed "progress window asks for a minimise button"
timeout 10 xdotool windowminimize "$progress"
sleep 0.5
# shellcheck disable=SC2016  # expanded by eval, on each try
xvfb_retry eval '! unmapped "$progress"' || failed "progress window stays minimised"
xdotool windowfocus --sync "$progress" key Escape
xvfb_retry gone "Search in Progress" || failed "Esc did not end the search"
sleep 1
shown "Save as plain text" && failed "a Save-As dialog after Esc in the progress window"

# Two Enters in a burst: one run.
touch "$work/release"
xdotool windowfocus --sync "$main" key --delay 0 Return Return
xvfb_window "Save as plain text" >/dev/null || failed "no Save-As dialog after the search"
sleep 1
[ "$(shown "Save as plain text")" = 1 ] || failed "$(shown "Save as plain text") Save-As dialogs"
shown "Search in Progress" && failed "a progress window left on screen"
xdotool key Escape
sleep 1
shown "Save as plain text" && failed "a second Save-As dialog"
[ "$(grep -c held "$work/held.log")" = 2 ] || failed "runs: $(cat "$work/held.log")"

# A folder read slowly: the window stays painted meanwhile; then it opens.
xdotool windowfocus --sync "$main" key Tab End Return
xvfb_retry grep -q "^listing $work/Music/slow" "$work/held.log" || failed "the slow folder was not read"
timeout 10 xdotool windowminimize --sync "$main" && xvfb_retry unmapped "$main"
timeout 10 xdotool windowactivate --sync "$main" 2>/dev/null
xvfb_retry painted "$main" "$orange" 0.25 || failed "main window not painted while a folder is read"
touch "$work/release.folder"
sleep 0.5
xdotool windowfocus --sync "$main" key Tab Return
xvfb_retry grep -q "^held $work/Music/slow" "$work/held.log" || failed "the slow folder was not opened"
[ "$status" = 0 ] && echo "PASS: centred and painted while the search or a folder was held; input" \
    "dropped; Esc cancels; one run for two Enters"
exit "$status"
