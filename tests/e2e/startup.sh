#!/usr/bin/env bash
# Starts the real program in a real X session, finds its window by its
# title, checks that it is centred with the fixed client size, sends Esc and
# expects exit status 0.
set -euo pipefail
program=$1
here=$(cd "$(dirname "$0")" && pwd)

source "$here/xsession.sh"
reexec_in_xvfb 1280x1024x24 "$0" "$@"
begin_x_session
cp "$program" "$workdir/"

"$workdir/$(basename "$program")" &
pid=$!
wid=$(wait_for_window 'TamselPelorinV1\.0')
# The window manager has taken the window in once it has framed it.
wait_for_frame "$wid"
info=$(xwininfo -id "$wid")
X=$(awk '/Absolute upper-left X/ {print $4}' <<<"$info")
Y=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$info")
WIDTH=$(awk '/Width:/ {print $2}' <<<"$info")
HEIGHT=$(awk '/Height:/ {print $2}' <<<"$info")
echo "client of window $wid at $X,$Y size ${WIDTH}x$HEIGHT"
[ "$WIDTH" -eq 633 ] && [ "$HEIGHT" -eq 434 ] || { echo "client size is not 633 x 434"; exit 1; }

# Centred on the outer size 639 x 462: the frame's top-left corner at
# ((screen width - 639) / 2, (screen height - 462) / 2).
read -r sw sh < <(xdotool getdisplaygeometry)
IFS=', ' read -r fl fr ft fb < <(xprop -id "$wid" _NET_FRAME_EXTENTS | sed 's/.*= //')
echo "frame extents $fl $fr $ft $fb on ${sw}x$sh"
[ $((X - fl)) -eq $(((sw - 639) / 2)) ] && [ $((Y - ft)) -eq $(((sh - 462) / 2)) ] \
  || { echo "window is not centred: frame at $((X - fl)),$((Y - ft))"; exit 1; }

# Fixed size: the window manager is told min = max.
xprop -id "$wid" WM_NORMAL_HINTS | tee "$workdir/hints"
grep -q "minimum size: 633 by 434" "$workdir/hints" && grep -q "maximum size: 633 by 434" "$workdir/hints" \
  || { echo "window is resizable"; exit 1; }

wait_for_focus "$wid"
kill -0 $pid && echo "still running"
xdotool key Escape
wait_for_exit "$pid" $((10 * ${TP_E2E_TIMEOUT_SCALE:-1}))
echo "exit status $exit_status"
[ "$exit_status" = "0" ]
