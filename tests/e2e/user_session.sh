#!/usr/bin/env bash
# Runs user_session.py against the real program in a real X session: Xvfb
# with openbox as window manager, a private HOME (with a Desktop folder
# unless --without-desktop is given), the program copied into a folder of
# its own (it writes its skin module there).
#   user_session.sh <program> [--without-desktop]
set -euo pipefail
program=$1
here=$(cd "$(dirname "$0")" && pwd)

if [ -z "${TP_IN_XVFB:-}" ]; then
  export TP_IN_XVFB=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
source "$here/xsession.sh"
workdir=$(mktemp -d)
trap 'kill $wm_pid 2>/dev/null || true; rm -rf "$workdir"' EXIT
mkdir "$workdir/bin"
cp "$program" "$workdir/bin/"
start_window_manager
python3 "$here/user_session.py" "$workdir/bin/$(basename "$program")" "$workdir" "${@:2}"
