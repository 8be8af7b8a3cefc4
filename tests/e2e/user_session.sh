#!/usr/bin/env bash
# Runs user_session.py against the real program in a real X session: Xvfb
# with openbox as window manager, a private HOME (with a Desktop folder
# unless --without-desktop is given), the program copied into a folder of
# its own (it writes its skin module there).
#   user_session.sh <program> [--without-desktop]
set -euo pipefail
program=$1
here=$(cd "$(dirname "$0")" && pwd)

source "$here/xsession.sh"
reexec_in_xvfb 1280x1024x24 "$0" "$@"
begin_x_session
mkdir "$workdir/bin"
cp "$program" "$workdir/bin/"
python3 "$here/user_session.py" "$workdir/bin/$(basename "$program")" "$workdir" "${@:2}"
