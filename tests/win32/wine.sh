# Shared by the Wine scripts: the private Wine prefix under the build folder, a virtual X server
# per script, waiting on conditions with bounds, and clean-up of everything started.
# Source it with the Windows build folder (scripts/build-windows.sh's) as $1.
set -euo pipefail
windows=$(cd "$1" && pwd)
bin=$windows/win64/bin
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export WINEPREFIX=$windows/wine WINEARCH=win64 WINEDEBUG=-all
# No Mono or Gecko: nothing here needs them, and their install dialogs would block the boot.
export WINEDLLOVERRIDES="mscoree,mshtml="
work=$(mktemp -d "$windows/run.XXXXXX")
xvfb_pid=""

cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  timeout 20 wineserver -w >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# wait_for SECONDS COMMAND...: runs the command until it succeeds, at most SECONDS long.
wait_for() {
  local limit=$1
  shift
  local end=$((SECONDS + limit))
  until "$@" >/dev/null 2>&1; do
    [ $SECONDS -lt $end ] || return 1
    sleep 0.1
  done
}

# A 24-bit virtual X server on a display number it picks itself; Wine's own processes (its
# server, the desktop, the services) are started before the test and their output sent away.
start_wine_desktop() {
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp 3>"$work/display" \
    >/dev/null 2>&1 &
  xvfb_pid=$!
  wait_for 10 test -s "$work/display" || fail "Xvfb did not start"
  export DISPLAY=:$(head -1 "$work/display")
  wine wineboot >/dev/null 2>&1 || fail "Wine did not start"
}
