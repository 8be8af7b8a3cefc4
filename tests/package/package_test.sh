#!/usr/bin/env bash
# Builds the Debian package of a build folder with cpack, checks its control
# fields and contents, unpacks it into a scratch root, makes that root
# read-only and starts the installed program from it in a real X session,
# with LD_LIBRARY_PATH unset (see below for sanitizer builds). The program
# must come up skinned: it cannot place the skin module next to itself there,
# so the module has to come from the installed library folder through the
# program's RUNPATH.
#
# Skinned is seen from outside in two ways:
#  - the process has SkinH_EL.dll mapped from the scratch root's library
#    folder (and from nowhere else);
#  - the most frequent colour of the window's client area (the window
#    background between the controls) is the start-up skin's "window"
#    colour, which differs from the unskinned Fusion background #efefef.
#
# package_test.sh <build dir> <source dir> <folder of the built .she skins>
set -euo pipefail
[ -n "${TP_TRACE:-}" ] && set -x
build=$1 source=$2 skins=$3
here=$(cd "$(dirname "$0")" && pwd)

if [ -z "${TP_IN_XVFB:-}" ]; then
  export TP_IN_XVFB=1
  exec dbus-run-session -- xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
source "$source/tests/e2e/xsession.sh"

fail() { echo "FAIL: $*" >&2; exit 1; }

scratch=$(mktemp -d)
wm_pid=""
cleanup() {
  [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null || true
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null || true
  chmod -R u+w "$scratch" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

# 1. The package.
cpack --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 \
  || { cat "$scratch/cpack.log"; fail "cpack failed"; }
deb=$(find "$scratch/out" -maxdepth 1 -name 'tamselpelorin_*.deb' | sed -n 1p)
[ -n "$deb" ] || { cat "$scratch/cpack.log"; fail "cpack made no tamselpelorin_*.deb"; }
echo "package: $(basename "$deb")"

dpkg-deb --field "$deb" Package Version Architecture Maintainer Depends | tee "$scratch/fields"
depends=$(dpkg-deb --field "$deb" Depends)
for dep in libqt6widgets6 libqt6gui6 libqt6core6 libjpeg62-turbo libgif7 fonts-wqy-microhei; do
  grep -Eq "(^|[ ,|])$dep([ ,(]|$)" <<<"$depends" || fail "Depends lacks $dep"
done
[ -n "$(dpkg-deb --field "$deb" Maintainer)" ] || fail "no Maintainer"

dpkg-deb --contents "$deb" | awk '{print $6}' >"$scratch/contents"
for f in ./usr/bin/tamselpelorin \
         ./usr/share/applications/tamselpelorin.desktop \
         ./usr/share/icons/hicolor/48x48/apps/tamselpelorin.png; do
  grep -qx "$f" "$scratch/contents" || fail "package lacks $f"
done
module_entry=$(grep -E '^\./usr/lib/(.*/)?SkinH_EL\.dll$' "$scratch/contents" | sed -n 1p)
[ -n "$module_entry" ] || fail "package lacks the skin module under /usr/lib"

# 2. The scratch root, read-only.
root=$scratch/root
dpkg-deb -x "$deb" "$root"
program=$root/usr/bin/tamselpelorin
module=$root/${module_entry#./}
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$root/usr/share/applications/tamselpelorin.desktop" \
    || fail "the desktop entry does not validate"
fi
runpath=$(readelf -d "$program" | sed -n 's/.*(RUNPATH).*\[\(.*\)\]/\1/p; s/.*(RPATH).*\[\(.*\)\]/\1/p')
echo "runpath: $runpath"
case "$runpath" in
  *"$build"*) fail "the installed program still points into the build folder" ;;
  *'$ORIGIN'*) ;;
  *) fail "the installed program has no \$ORIGIN-relative library path" ;;
esac
chmod -R a-w "$root"
# Root writes through missing write permission; without the capability to
# override file permissions it meets them like any user.
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  as_user=(setpriv --bounding-set=-dac_override,-dac_read_search --)
fi
"${as_user[@]}" touch "$root/usr/bin/probe" 2>/dev/null && fail "the scratch root is writable"

# 3. The installed program, started from the read-only folder.
skin_number=$(sed -n 's/.*kStartupSkin = \([0-9]\+\);.*/\1/p' "$source/app/skin/skin_library.h")
[ -n "$skin_number" ] || fail "start-up skin number not found"
window_colour=$(sed -n 's/^window = \(#[0-9a-fA-F]\{6\}\)$/\1/p' "$skins/$skin_number.she" | tr a-f A-F)
[ -n "$window_colour" ] || fail "skin $skin_number has no window colour"
[ "$window_colour" != "#EFEFEF" ] || fail "skin $skin_number looks like the unskinned background"

unset LD_LIBRARY_PATH LD_PRELOAD
# A sanitizer build's dlopen goes through the sanitizer's interceptor, and
# the loader then takes the interceptor's library, not the program, as the
# caller whose RUNPATH it searches (google/sanitizers#1219). Only there the
# installed library folder is named to the loader; the RUNPATH itself was
# checked above, and the plain build's pass starts the program without help.
if readelf -d "$program" | grep -q 'NEEDED.*lib[at]san'; then
  export LD_LIBRARY_PATH=$(dirname "$module")
  echo "sanitizer build: LD_LIBRARY_PATH=$LD_LIBRARY_PATH"
fi
export QT_QPA_PLATFORM=xcb
start_window_manager
mkdir "$scratch/cwd" && cd "$scratch/cwd"
"${as_user[@]}" "$program" 2>"$scratch/program.log" &
pid=$!
wid=$(wait_for_window 'TamselPelorinV1\.0') || { cat "$scratch/program.log"; fail "the installed program showed no window"; }
sleep 0.5
kill -0 "$pid" || fail "the installed program ended"

maps=$(grep 'SkinH_EL\.dll' "/proc/$pid/maps" | awk '{print $6}' | sort -u)
echo "skin module mapped from: $maps"
[ "$maps" = "$(realpath "$module")" ] || fail "the skin module is not the installed one"
[ ! -e "$root/usr/bin/SkinH_EL.dll" ] || fail "a module appeared in the read-only folder"

import -window "$wid" "$scratch/window.png"
dominant=$(convert "$scratch/window.png" -format %c histogram:info:- | sort -rn | sed -n 1p \
           | grep -o '#[0-9A-Fa-f]\{6\}' | sed -n 1p | tr a-f A-F)
echo "most frequent colour $dominant, skin $skin_number window colour $window_colour"
[ "$dominant" = "$window_colour" ] || fail "the window is not in skin $skin_number's colours"

xdotool windowactivate --sync "$wid" >/dev/null 2>&1 || true
sleep 0.3
xdotool key Escape
wait_for_exit "$pid" 10
pid=""
echo "exit status $exit_status"
[ "$exit_status" = "0" ] || fail "the installed program did not end cleanly"
echo "package test passed"
