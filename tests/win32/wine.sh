# SPDX-License-Identifier: MIT
# Shared by the Wine scripts, sourced with the Windows build folder and the build, 64 or 32: one
# 64-bit Wine prefix under the build folder, where a 32-bit program runs on Debian's 32-bit Wine
# as in a user's prefix (DORVANE_WINEPREFIX and DORVANE_WINEARCH=win32 try another), a virtual
# X server per script, bounded waits, and the clean-up of everything started.
set -euo pipefail
windows=$(mkdir -p "$1" && cd "$1" && pwd)  # the prefix may be made before the build
bits=${2:-64}
bin=$windows/win$bits/bin
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
main="Dorvane (Duke3d Map Loader)"
export WINEPREFIX=${DORVANE_WINEPREFIX:-$windows/wine} WINEARCH=${DORVANE_WINEARCH:-win64}
# No Mono or Gecko: nothing here needs them, and their install dialogs would block the boot.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
work=$(mktemp -d "$windows/run.XXXXXX")
xvfb_pid=""
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  timeout 20 wineserver -w >/dev/null 2>&1 || true
  [ -z "$xvfb_pid" ] || { kill "$xvfb_pid" && wait "$xvfb_pid"; } 2>/dev/null || true
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

# wait_for SECONDS COMMAND...: runs the command until it succeeds, at most SECONDS long.
wait_for() {
  local end=$((SECONDS + $1))
  shift
  until "$@" >/dev/null 2>&1; do
    [ $SECONDS -lt $end ] || return 1
    sleep 0.1
  done
}

# A virtual X server, and Wine's own processes (its server, the desktop, the services) started
# before the test. No key repeat: on a busy machine a key's release may come after its delay.
start_wine_desktop() {
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp -r 3>"$work/display" \
    >/dev/null 2>&1 &
  xvfb_pid=$!
  wait_for 10 test -s "$work/display" || fail "Xvfb did not start"
  export DISPLAY=:$(head -1 "$work/display")
  wine wineboot >/dev/null 2>&1 || fail "Wine did not start"
}

# probe ARGS...: the probe's report (tools/winstandin/probe.cpp), with Unix line ends.
probe() { wine "$bin/probe.exe" "$@" | tr -d '\r'; }
# says TITLE TEXT [SECONDS]: a window shows TEXT as one of its static texts.
says() { probe wait "$1" "${3:-10}" | grep -qxF -- "$2" || fail "no \"$1\" saying \"$2\": $(probe wait "$1" 0)"; }
see() { probe wait "$1" "${2:-10}" >/dev/null || fail "no window \"$1\""; }
gone() { probe gone "$1" 10 || fail "the window \"$1\" stayed"; }
# at TITLE: the top-left corner of a window's client area on the screen, in $x and $y.
at() { read -r x y _ <<<"$(probe wait "$1" 10)" || fail "no window \"$1\""; }
front_is() { [ "$(probe front)" = "$1" ]; }
x_focus_on() { [ "$(xdotool getwindowfocus getwindowname)" = "$1" ]; }
ended() { timeout "$2" tail --pid="$1" -f /dev/null; }
# line FILE N: line N of a file with CR LF line ends, without them.
line() { sed -n "${2}p" "$1" | tr -d '\r'; }

# start_dorvane FOLDER [EXE ARGS...]: runs dorvane.exe in FOLDER; its pid in $dorvane_pid.
start_dorvane() {
  (mkdir -p "$1" && cd "$1" && shift && exec wine "${@:-$bin/dorvane.exe}") >/dev/null 2>&1 &
  dorvane_pid=$!
}

# quit KEY: types KEY into the main window, which must end the program.
quit() {
  keys_to "$main" "$1"
  ended "$dorvane_pid" 10 || fail "$1 did not end the program"
}

# first_run FOLDER: the message that Qimdat.dat was created, before the main window; 77 lines.
first_run() {
  probe wait Dorvane 30 | grep -q "Qimdat.dat has been created/updated" ||
    fail "no first-run message: $(probe wait Dorvane 0)"
  probe wait "$main" 0 >/dev/null && fail "main window shown before the message was answered"
  keys_to Dorvane Return
  see "$main"
  [ "$(grep -c $'\r$' "$1/Qimdat.dat")" -eq 77 ] || fail "not 77 lines ending in CR LF"
}

# click TITLE X Y: clicks at a point of a window's client area given in twips (96 dpi).
click() {
  at "$1"
  xdotool mousemove $((x + ($2 + 7) / 15)) $((y + ($3 + 7) / 15)) click 1
}

# keys_to TITLE KEY...: waits until the window with TITLE is in front, then types into it.
# In its virtual desktop Wine does not always move the X focus to a new window in front (a
# message box), and keys typed into another X window are lost: the harness moves it there.
keys_to() {
  local title=$1
  shift
  wait_for 10 front_is "$title" || fail "\"$title\" never came in front"
  if ! x_focus_on "$title"; then
    xdotool search --limit 1 --name "^$(sed 's/[][\.*^$()+?{}|]/\\&/g' <<<"$title")\$" \
      windowfocus --sync >/dev/null 2>&1 || true
    wait_for 5 x_focus_on "$title" || fail "cannot give \"$title\" the X focus"
  fi
  xdotool key --delay 50 "$@" || fail "cannot type $*"
}

# colour_at TITLE X Y: the colour shown at a point of a window's client area (twips), as RRGGBB.
colour_at() {
  at "$1"
  import -window root "$work/screen.png"
  convert "$work/screen.png" -format "%[hex:p{$((x + $2 / 15)),$((y + $3 / 15))}]" info:
}

# catalogue FILE SELECTION NAME...: a complete Qimdat.dat, the i-th NAME in slot i (none: free).
catalogue() {
  local file=$1 selection=$2 i
  shift 2
  for ((i = 0; i < 68; i++)); do printf '%d,"%s"\r\n' "$i" "${@:i+1:1}"; done >"$file"
  printf '%s\r\n' "$selection" "0,255,255,0" "0,0,0,0" "0,255,255,0" "0,255,0" "255,0,0" \
    "255,255,0" "0,0,255" "255,255,255" >>"$file"
}

# slot K: the middle of slot button K, in twips, as "X Y" for click.
slot() { echo $((420 + 1560 * ($1 % 4))) $((277 + 360 * ($1 / 4))); }
