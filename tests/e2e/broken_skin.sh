#!/usr/bin/env bash
# The real start-up failure: a file named SkinH_EL.dll next to the program
# that is not a loadable module. The program must not show its window; it
# shows the error box "错误" and ends with status 255 once the box is closed.
set -euo pipefail
program=$1
here=$(cd "$(dirname "$0")" && pwd)

source "$here/xsession.sh"
reexec_in_xvfb 1024x768x24 "$0" "$@"
begin_x_session
cp "$program" "$workdir/"
echo "not a module" > "$workdir/SkinH_EL.dll"

"$workdir/$(basename "$program")" &
pid=$!
box=$(wait_for_window '^错误$')
echo "error box $box"
if xdotool search --onlyvisible --name 'TamselPelorinV1\.0' >/dev/null 2>&1; then
  echo "the main window was shown before the failure"; exit 1
fi
# The existing file was left as it was.
[ "$(cat "$workdir/SkinH_EL.dll")" = "not a module" ] || { echo "SkinH_EL.dll was rewritten"; exit 1; }
wait_for_focus "$box" || xdotool windowactivate --sync "$box" || true
xdotool key Return
wait_for_exit "$pid" 20
echo "exit status $exit_status"
[ "$exit_status" = "255" ]
