# Shared helpers of the Wine tests (sourced by the tests/wine/*.sh scripts).
#
# wine_begin WORK PREFIX starts a private Xvfb, points Wine at the shared
# prefix PREFIX (made by prefix.sh once per test run) and starts its server;
# everything started here is stopped when the script exits. Every wait is
# bounded; a time-out is a failure, never a measured time.

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

fail() { echo "FAIL: $*"; exit 1; }
ok() { echo "ok: $*"; }

_wine_xvfb=""
_wine_cleanup() {
  xdotool keyup Return space >/dev/null 2>&1
  [[ -n ${WINEPREFIX:-} ]] && wineserver -k >/dev/null 2>&1
  [[ -n $_wine_xvfb ]] && kill "$_wine_xvfb" 2>/dev/null
}

source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/xvfb.sh"

# start_xvfb WORK [ARGS...]: a private 1920x1080 display, exported as
# DISPLAY; ARGS go to Xvfb (more screens, extensions).
start_xvfb() {
  private_xvfb "$@"; local started=$?
  _wine_xvfb=$XVFB_PID
  ((started == 0)) || fail "Xvfb did not start"
}

# start_monitors WORK: instead of the display above, Xorg with the dummy
# driver (tests/support/xorg-dummy.conf; root only) and two monitors side by
# side: DUMMY1, 1280x1024 at 0,0, and the primary DUMMY0, 1920x1080 at
# 1280,300 (left of it and reaching above it); exported as DISPLAY.
start_monitors() {
  local work=$1 n
  [[ -n $_wine_xvfb ]] && kill "$_wine_xvfb" 2>/dev/null
  mkdir -p "$work/xorg.d"
  rm -f "$work/display"
  Xorg -noreset -nolisten tcp -novtswitch -sharevts -config "$(dirname "${BASH_SOURCE[0]}")/../support/xorg-dummy.conf" \
    -configdir "$work/xorg.d" -logfile "$work/xorg.log" -displayfd 1 > "$work/display" 2>/dev/null &
  _wine_xvfb=$!
  for n in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.2; done
  [[ -s $work/display ]] || fail "Xorg with the dummy driver did not start"
  export DISPLAY=":$(head -n 1 "$work/display")"
  # xrandr keeps the layout's corner at 0,0: the monitor there comes first.
  # A full query afterwards makes the server notice the outputs are on.
  xrandr --addmode DUMMY1 1280x1024 && xrandr --output DUMMY1 --mode 1280x1024 --pos 0x0 &&
    xrandr --output DUMMY0 --mode 1920x1080 --pos 1280x300 --primary && xrandr > /dev/null ||
    fail "xrandr could not place the monitors"
}

wine_begin() {
  local work=$1
  mkdir -p "$work"
  export WINEPREFIX=$2
  [[ -f $WINEPREFIX/system.reg ]] || fail "no Wine prefix at $WINEPREFIX (made by the wine.Prefix test)"
  trap _wine_cleanup EXIT
  start_xvfb "$work"
  # Start the server first: the first Wine process starts services that
  # inherit its output, and nothing should wait on those.
  wineserver -p >/dev/null 2>&1
  timeout 60 wine cmd /c exit >/dev/null 2>&1
}

# wait_window REGEX SECONDS -> prints the id of the X window whose name matches
wait_window() {
  local end=$((SECONDS + $2)) id
  while ((SECONDS < end)); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
    [[ -n $id ]] && { echo "$id"; return 0; }
    sleep 0.2
  done
  return 1
}

# wait_exit PID SECONDS -> the process's exit code, or 124 after the bound
wait_exit() {
  local end=$((SECONDS + $2))
  while ((SECONDS < end)); do
    kill -0 "$1" 2>/dev/null || { wait "$1"; return $?; }
    sleep 0.1
  done
  kill "$1" 2>/dev/null
  return 124
}

# geometry ID -> "X Y WIDTH HEIGHT" of an X window on the root window
geometry() {
  xdotool getwindowgeometry --shell "$1" 2>/dev/null |
    awk -F= '/^X=/ {x = $2} /^Y=/ {y = $2} /^WIDTH=/ {w = $2} /^HEIGHT=/ {h = $2} END {print x, y, w, h}'
}

# screenshot FILE [WxH+X+Y]: the root window, or a part of it
screenshot() {
  if [[ -n ${2:-} ]]; then
    import -window root -crop "$2" +repage "$1" 2>/dev/null
  else
    import -window root "$1" 2>/dev/null
  fi
}

# spread FILE -> standard deviation of the grey levels (0..1): 0 is flat
spread() { convert "$1" -colorspace gray -format '%[fx:standard_deviation]' info: 2>/dev/null; }

# wait_moves SHOT LATER [WxH+X+Y] -> the pixels changed between SHOT and a
# later screenshot (of that part) once more than 2000 have, within 10 s (a
# frame under llvmpipe can take longer than 0.5 s); fails otherwise
wait_moves() {
  local i moved=0
  for i in $(seq 20); do
    sleep 0.5
    screenshot "$2" "${3:-}"
    moved=$(changed "$1" "$2")
    ((moved > 2000)) && { echo "$moved"; return 0; }
  done
  echo "$moved"
  return 1
}

# keeps_running PID X Y WHAT: moving the mouse to X,Y and back leaves PID running
keeps_running() {
  xdotool mousemove "$2" "$3"; sleep 0.2; xdotool mousemove $(($2 + 200)) $(($3 + 100))
  sleep 1
  kill -0 "$1" 2>/dev/null || fail "$4: moving the mouse ended the screensaver"
  ok "$4: moving the mouse leaves it running"
}

# changed A B -> number of pixels that differ by more than 2 %, as an integer
# (compare prints large counts in exponent form, such as 1.3388e+06)
changed() { compare -metric AE -fuzz 2% "$1" "$2" null: 2>&1 | awk 'NR == 1 {printf "%d\n", $1 + 0}'; }

# blocks FILE -> the mean colours of an 8x8 grid of blocks, one per line
blocks() { convert "$1" -scale '8x8!' -depth 8 txt:- 2>/dev/null | sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p'; }

# block_distance A B -> mean absolute difference of the block means (0..255)
block_distance() {
  paste -d' ' <(blocks "$1") <(blocks "$2") |
    awk '{d += ($1>$4?$1-$4:$4-$1) + ($2>$5?$2-$5:$5-$2) + ($3>$6?$3-$6:$6-$3)} END {printf "%.1f\n", NR ? d/(3*NR) : 0}'
}

# pixel FILE X Y -> "R G B" of one pixel
pixel() {
  convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- 2>/dev/null |
    sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p' | head -1
}

# count_colour FILE R G B TOLERANCE -> pixels within TOLERANCE of the colour per channel
count_colour() {
  convert "$1" -depth 8 txt:- 2>/dev/null |
    sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p' |
    awk -v r="$2" -v g="$3" -v b="$4" -v t="$5" '
      function a(v) { return v < 0 ? -v : v }
      a($1 - r) <= t && a($2 - g) <= t && a($3 - b) <= t { n++ } END { print n + 0 }'
}

# reg_value KEY NAME -> the data of a registry value (any type); fails when it is absent
reg_value() {
  timeout 30 wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
    awk -v n="$2" '$1 == n && $2 ~ /^REG_/ {sub(/^[ \t]*[^ \t]+[ \t]+[^ \t]+[ \t]+/, ""); print; found = 1}
                   END {exit !found}'
}

# reg_key_exists KEY
reg_key_exists() { timeout 30 wine reg query "$1" >/dev/null 2>&1; }
