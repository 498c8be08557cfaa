# A private virtual display, for the scripts and the Wine tests (sourced).
#
# private_xvfb DIR [ARGS...] starts Xvfb with one 1920x1080x24 screen (black
# root) and the further server arguments ARGS on a display number it picks
# itself, which it writes to DIR/display; exports DISPLAY and sets XVFB_PID.
# Returns 1 when the server has not told its number within 10 s. Stopping the
# server is the caller's.
private_xvfb() {
  local dir=$1 _
  shift
  rm -f "$dir/display"
  Xvfb -displayfd 1 -br -screen 0 1920x1080x24 -nolisten tcp "$@" > "$dir/display" 2>/dev/null &
  XVFB_PID=$!
  for _ in $(seq 100); do [[ -s $dir/display ]] && break; sleep 0.1; done
  [[ -s $dir/display ]] || return 1
  export DISPLAY=":$(head -n 1 "$dir/display")"
}
