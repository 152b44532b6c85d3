# SPDX-License-Identifier: MIT
# Shared by the Wine scripts: the private Wine prefix under the build folder, a virtual X server
# per script, waiting on conditions with bounds, and clean-up of everything started.
# Source it with the Windows build folder (scripts/build-windows.sh's) as $1 and the build to
# run, 64 or 32 (bits), as $2. Both run in one 64-bit prefix: a 32-bit program there runs on
# Debian's 32-bit Wine (wine32:i386), as it does in a user's prefix.
set -euo pipefail
windows=$(mkdir -p "$1" && cd "$1" && pwd)  # the prefix may be made before the build
bits=${2:-64}
bin=$windows/win$bits/bin
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# DORVANE_WINEPREFIX and DORVANE_WINEARCH=win32 try another prefix, such as a 32-bit-only one.
export WINEPREFIX=${DORVANE_WINEPREFIX:-$windows/wine} WINEARCH=${DORVANE_WINEARCH:-win64}
export WINEDEBUG=-all
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

# fail MESSAGE: ends the script, keeping a picture of the screen beside the build for a look.
fail() {
  echo "FAIL: $*" >&2
  if [ -n "${DISPLAY:-}" ]; then
    local shot=$windows/failed-$(basename "$0" .sh)-win$bits.png
    import -window root "$shot" 2>/dev/null && echo "screen: $shot" >&2
    probe list >&2 || true
    echo "in front: $(probe front); X focus: $(xdotool getwindowfocus getwindowname)" >&2
  fi
  [ -n "${DORVANE_STANDIN_LOG:-}" ] && cat "$DORVANE_STANDIN_LOG" >&2
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
# No key repeat: on a busy machine a key's release may come later than the repeat delay.
start_wine_desktop() {
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp -r 3>"$work/display" \
    >/dev/null 2>&1 &
  xvfb_pid=$!
  wait_for 10 test -s "$work/display" || fail "Xvfb did not start"
  export DISPLAY=:$(head -1 "$work/display")
  wine wineboot >/dev/null 2>&1 || fail "Wine did not start"
}

# probe ARGS...: the probe's report (tools/winstandin/probe.cpp), with Unix line ends.
probe() {
  wine "$bin/probe.exe" "$@" | tr -d '\r'
}

# start_dorvane GAME_FOLDER: runs dorvane.exe in the game folder; its pid in $dorvane_pid.
start_dorvane() {
  (cd "$1" && exec wine "$bin/dorvane.exe") >/dev/null 2>&1 &
  dorvane_pid=$!
}

# ended PID SECONDS: waits until the process has ended.
ended() {
  timeout "$2" tail --pid="$1" -f /dev/null
}

# click TITLE X Y: clicks at a point of a window's client area given in twips (96 dpi).
click() {
  local at
  at=$(probe wait "$1" 10 | head -1) || fail "no window \"$1\" to click"
  read -r x y _ <<<"$at"
  xdotool mousemove $((x + ($2 + 7) / 15)) $((y + ($3 + 7) / 15)) click 1
}

# keys KEY...: types into the X focus, which Wine keeps on its foreground window.
keys() {
  xdotool key --delay 50 "$@" || fail "cannot type $*"
}

# front_is TITLE: whether the window with TITLE is Wine's foreground window.
front_is() {
  [ "$(probe front)" = "$1" ]
}

# x_focus_on TITLE: whether the X window of the window with TITLE has the X focus.
x_focus_on() {
  [ "$(xdotool getwindowfocus getwindowname)" = "$1" ]
}

# keys_to TITLE KEY...: waits until the window with TITLE is in front, then types into it.
# In its virtual desktop Wine does not always move the X focus to a new window in front (a
# message box), and keys typed into another X window are lost: the harness moves it there.
keys_to() {
  local title=$1
  shift
  wait_for 10 front_is "$title" || fail "\"$title\" never came in front"
  if ! x_focus_on "$title"; then
    local pattern
    pattern="^$(sed 's/[][\.*^$()+?{}|]/\\&/g' <<<"$title")\$"
    xdotool search --limit 1 --name "$pattern" windowfocus --sync >/dev/null 2>&1 || true
    wait_for 5 x_focus_on "$title" || fail "cannot give \"$title\" the X focus"
  fi
  keys "$@"
}

# colour_at TITLE X Y: the colour shown at a point of a window's client area (twips), as RRGGBB.
colour_at() {
  local at
  at=$(probe wait "$1" 10 | head -1) || fail "no window \"$1\" to look at"
  read -r x y _ <<<"$at"
  import -window root "$work/screen.png"
  convert "$work/screen.png" -format "%[hex:p{$((x + $2 / 15)),$((y + $3 / 15))}]" info:
}

# line FILE N: line N of a file with CR LF line ends, without them.
line() {
  sed -n "${2}p" "$1" | tr -d '\r'
}

# catalogue FILE SELECTION NAME...: writes a complete Qimdat.dat: slot i numbered i holding the
# i-th NAME (none: free), the stored selection, and the default colours.
catalogue() {
  local file=$1 selection=$2
  shift 2
  local names=("$@") i
  {
    for ((i = 0; i < 68; i++)); do printf '%d,"%s"\r\n' "$i" "${names[i]:-}"; done
    printf '%s\r\n' "$selection" "0,255,255,0" "0,0,0,0" "0,255,255,0" "0,255,0" "255,0,0" \
      "255,255,0" "0,0,255" "255,255,255"
  } >"$file"
}

# slot K: the middle of slot button K, in twips, as "X Y" for click.
slot() {
  echo $((120 + 1560 * ($1 % 4) + 300)) $((120 + 360 * ($1 / 4) + 157))
}
