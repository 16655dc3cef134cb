#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# In Xvfb with openbox, with Qt's GTK platform theme under a dark GTK theme:
# every caption on the light orange of the main and About windows stands out
# from it at 4.5 : 1 or more, measured on screenshots; Enter presses "Go" from
# the drive list (which has the focus at start) and from an option; the GTK
# Save-As dialog asks nothing before the program's own overwrite question.
# Usage: test_xvfb_gtk.sh HELD_RUN XVFB_SESSION   (exit 77: skipped)
# shellcheck disable=SC2317  # gone runs through xvfb_retry
set -uo pipefail
held_run=$(realpath "$1")
# shellcheck source=tools/xvfb-session
source "$2"
xvfb_test_start "xdotool convert import od" "$@"
work=$XVFB_SESSION_DIR
status=0
failed() { echo "FAIL: $*" && status=1; }

# contrast PNG X Y W H: the contrast ratio (WCAG) of the lightest to the
# darkest pixel in the box: a caption's text against its background.
contrast() {
    convert "$1" -crop "$4x$5+$2+$3" +repage -depth 8 rgb:- | od -An -v -tu1 | awk '
        function lin(c) { c /= 255; return c <= 0.04045 ? c / 12.92 : ((c + 0.055) / 1.055) ^ 2.4 }
        { for (i = 1; i <= NF; i++) v[n++] = $i }
        END {
            lo = 2; hi = -1
            for (i = 0; i + 2 < n; i += 3) {
                l = 0.2126 * lin(v[i]) + 0.7152 * lin(v[i + 1]) + 0.0722 * lin(v[i + 2])
                if (l < lo) lo = l
                if (l > hi) hi = l
            }
            printf "%.2f\n", (hi + 0.05) / (lo + 0.05)
        }'
}
# captions WINDOW ID: each caption of the window at 4.5 : 1 or more.
captions() {
    local title name box ratio n=0
    sleep 0.5  # painted, and its captions told
    import -window "$2" "$work/shot.png"
    while IFS=$'\t' read -r title name box; do
        [ "$title" = "$1" ] || continue
        n=$((n + 1))
        # shellcheck disable=SC2086  # the box is four numbers
        ratio=$(contrast "$work/shot.png" $box)
        echo "$1: $name $ratio : 1"
        awk -v r="$ratio" 'BEGIN { exit !(r >= 4.5) }' || failed "$1: $name at $ratio : 1"
    done <"$work/release.captions"
    [ "$n" -gt 0 ] || failed "no captions of $1"
}
gone() { ! xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }

mkdir -p "$work/Music/Rock" && touch "$work/Music/Rock/Song.mp3" && cd "$work" || exit 1
echo "old list" >"$work/old.txt"
QT_QPA_PLATFORMTHEME=gtk3 GTK_THEME=Adwaita:dark "$held_run" "$work/Music" "$work/release" \
    >"$work/held.log" 2>"$work/held.err" &
xvfb_session_track $!
main=$(xvfb_window "Vovezaduvu's Dozedozovo") || { echo "FAIL: no main window"; exit 1; }
xvfb_retry grep -q "^scheme" "$work/release.captions"
if ! grep -q "^scheme dark" "$work/release.captions"; then
    echo "SKIP: no dark colours from the GTK platform theme (qt6-gtk-platformtheme)"
    exit 77
fi
captions "Vovezaduvu's Dozedozovo" "$main"
xdotool windowfocus --sync "$main" key alt+h a
about=$(xvfb_window "About Dozedozovo") || failed "no About window"
captions "About Dozedozovo" "$about"
xdotool windowfocus --sync "$about" key Escape
xvfb_retry gone "About Dozedozovo" || failed "About window still open"

touch "$work/release"
xdotool windowfocus --sync "$main" key Return
dialog=$(xvfb_window "Save as plain text") || failed "Enter on the drive list did not press Go"
sleep 0.5
xdotool windowfocus --sync "$dialog" key ctrl+a type "$work/old.txt"
# Save, clicked (Enter may only take the name's completion) until a question comes.
save() {
    xdotool search --onlyvisible --name "^Confirm Overwrite\$" >/dev/null 2>&1 && return 0
    local x y w h
    read -r x y w h < <(xwininfo -id "$dialog" | awk '/Absolute upper-left X/ {x = $4}
        /Absolute upper-left Y/ {y = $4} /^ *Width:/ {w = $2} /^ *Height:/ {h = $2}
        END {print x, y, w, h}')
    timeout 5 xdotool mousemove $((x + w - 50)) $((y + h - 29)) click 1
    sleep 0.5
    return 1
}
tries=10
until save; do
    ((--tries > 0)) || { echo "FAIL: not our overwrite question first"; exit 1; }
done
question=$(xvfb_window "Confirm Overwrite")
xdotool windowfocus --sync "$question" key Escape  # No
xvfb_retry gone "Confirm Overwrite" || failed "the overwrite question stays"
[ "$(cat "$work/old.txt")" = "old list" ] || failed "the file was replaced after No"

xdotool windowfocus --sync "$main" key Tab Tab Tab Return
xvfb_retry test "$(grep -c held "$work/held.log")" = 2 || failed "Enter on an option did not press Go"
[ "$status" = 0 ] && echo "PASS: captions readable on the orange under a dark GTK theme; Enter" \
    "presses Go; one overwrite question"
exit "$status"
