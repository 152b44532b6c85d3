# SPDX-License-Identifier: MIT
# Sourced by the Wine scripts with the Windows build folder and 64 or 32: a 64-bit prefix under
# it (DORVANE_WINEPREFIX and DORVANE_WINEARCH=win32 try another), an X server, bounded waits.
set -euo pipefail
windows=$(mkdir -p "$1" && cd "$1" && pwd)  # the prefix may be made before the build
bits=${2:-64}
bin=$windows/win$bits/bin
main="Dorvane (Duke3d Map Loader)"
export WINEPREFIX=${DORVANE_WINEPREFIX:-$windows/wine} WINEARCH=${DORVANE_WINEARCH:-win64}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko: no dialogs
work=$(mktemp -d "$windows/run.XXXXXX")
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  timeout 20 wineserver -w >/dev/null 2>&1 || true
  [ -z "${xvfb_pid:-}" ] || { kill "$xvfb_pid" && wait "$xvfb_pid"; } 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# fail MESSAGE: ends the script, leaving a picture of the screen beside the build for a look.
fail() {
  echo "FAIL: $*${DISPLAY:+; in front: $(probe front)}" >&2
  import -window root "$windows/failed-$(basename "$0" .sh)-win$bits.png" 2>/dev/null || true
  cat "${DORVANE_STANDIN_LOG:-/dev/null}" >&2
  exit 1
}

wait_for() {
  local end=$((SECONDS + $1))
  until "${@:2}" >/dev/null 2>&1; do
    [ $SECONDS -lt $end ] || return 1
    sleep 0.1
  done
}

# No key repeat: on a busy machine a key's release may come after its delay.
start_wine_desktop() {
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp -r 3>"$work/display" &>/dev/null &
  xvfb_pid=$!
  wait_for 10 test -s "$work/display" || fail "Xvfb did not start"
  export DISPLAY=:$(head -1 "$work/display")
  wine wineboot >/dev/null 2>&1 || fail "Wine did not start"
}

probe() { wine "$bin/probe.exe" "$@" | tr -d '\r'; }
says() { probe wait "$1" "${3:-10}" | grep -qxF -- "$2" || fail "no \"$1\" saying \"$2\": $(probe wait "$1" 0)"; }
# at TITLE [SECONDS]: the top-left corner of a window's client area in $x and $y.
at() { read -r x y _ <<<"$(probe wait "$1" "${2:-10}")" || fail "no window \"$1\""; }
front_is() { [ "$(probe front)" = "$1" ]; }
x_focus_on() { [ "$(xdotool getwindowfocus getwindowname)" = "$1" ]; }
ended() { timeout "$2" tail --pid="$1" -f /dev/null; }
line() { sed -n "${2}p" "$1" | tr -d '\r'; }

start_dorvane() {
  (mkdir -p "$1" && cd "$1" && shift && exec wine "${@:-$bin/dorvane.exe}") >/dev/null 2>&1 &
  dorvane_pid=$!
}

quit() { keys_to "$main" "$1" && ended "$dorvane_pid" 10 || fail "$1 did not end the program"; }

first_run() {
  probe wait Dorvane 30 | grep -q "Qimdat.dat has been created/updated" ||
    fail "no first-run message: $(probe wait Dorvane 0)"
  probe wait "$main" 0 >/dev/null && fail "main window shown before the message was answered"
  keys_to Dorvane Return
  at "$main"
  [ "$(grep -c $'\r$' "$1/Qimdat.dat")" -eq 77 ] || fail "not 77 lines ending in CR LF"
}

# click TITLE X Y: X and Y in twips of the client area (96 dpi).
click() {
  at "$1"
  xdotool mousemove $((x + ($2 + 7) / 15)) $((y + ($3 + 7) / 15)) click 1
}

# keys_to TITLE KEY...: Wine does not always move the X focus to a new window in front (a
# message box), and keys typed into another X window are lost: the harness moves it there.
keys_to() {
  wait_for 10 front_is "$1" || fail "\"$1\" never came in front"
  if ! x_focus_on "$1"; then
    xdotool search --limit 1 --name "^$(sed 's/[][\.*^$()+?{}|]/\\&/g' <<<"$1")\$" \
      windowfocus --sync >/dev/null 2>&1 || true
    wait_for 5 x_focus_on "$1" || fail "cannot give \"$1\" the X focus"
  fi
  xdotool key --delay 50 "${@:2}" || fail "cannot type ${*:2}"
}

colour_at() {
  at "$1"
  import -window root "$work/screen.png"
  convert "$work/screen.png" -format "%[hex:p{$((x + $2 / 15)),$((y + $3 / 15))}]" info:
}

slot() { echo $((420 + 1560 * ($1 % 4))) $((277 + 360 * ($1 / 4))); }
