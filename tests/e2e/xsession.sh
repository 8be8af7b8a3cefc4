# Helpers for end-to-end checks in a real X session: sourced by the scripts
# of this folder, which run inside `xvfb-run` with openbox as window manager.

# reexec_in_xvfb <screen geometry> "$0" "$@": called at the top of a script,
# outside an X session it starts the script again inside a fresh Xvfb, with
# a session bus of its own as every desktop session has (without one, Qt's
# D-Bus thread keeps trying to reach a bus until the program exits).
reexec_in_xvfb() {
  [ -n "${TP_IN_XVFB:-}" ] && return 0
  export TP_IN_XVFB=1
  exec dbus-run-session -- xvfb-run -a -s "-screen 0 $1" "${@:2}"
}

# begin_x_session: the program talks to X, a scratch folder ($workdir) is
# made, and openbox started; both go when the script ends.
begin_x_session() {
  export QT_QPA_PLATFORM=xcb
  workdir=$(mktemp -d)
  trap 'kill ${wm_pid:-} 2>/dev/null || true; rm -rf "$workdir"' EXIT
  start_window_manager
}

start_window_manager() {
  openbox --sm-disable >/dev/null 2>&1 &
  wm_pid=$!
  # openbox is up when it has claimed the root window's WM selection.
  for _ in $(seq 50); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
    sleep 0.1
  done
  echo "window manager did not start" >&2
  return 1
}

# wait_for_window <title regex>: prints the window id of the visible match.
wait_for_window() {
  local wid=""
  for _ in $(seq 150); do
    wid=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
    [ -n "$wid" ] && { echo "$wid"; return 0; }
    sleep 0.1
  done
  echo "no window named '$1' appeared" >&2
  return 1
}

# wait_for_frame <window id>: waits until the window manager has framed the
# window (it then publishes the frame's extents).
wait_for_frame() {
  for _ in $(seq 100); do
    xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | grep -q ' = ' && return 0
    sleep 0.1
  done
  echo "window $1 was not framed by the window manager" >&2
  return 1
}

# wait_for_focus <window id>: activates the window and waits until it has
# the input focus, so that keys typed next reach it.
wait_for_focus() {
  for _ in $(seq 100); do
    xdotool windowactivate --sync "$1" >/dev/null 2>&1 || true
    [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ] && return 0
    sleep 0.1
  done
  echo "window $1 did not take the focus" >&2
  return 1
}

# wait_for_exit <pid> <seconds>: waits for the process (a child of this
# shell: call it directly, not in a command substitution) and sets
# exit_status to its status, or to "timeout".
wait_for_exit() {
  local pid=$1 limit=$2
  exit_status=timeout
  for _ in $(seq $((limit * 10))); do
    if ! kill -0 "$pid" 2>/dev/null; then
      exit_status=0
      wait "$pid" || exit_status=$?
      return 0
    fi
    sleep 0.1
  done
  kill "$pid" 2>/dev/null || true
}
