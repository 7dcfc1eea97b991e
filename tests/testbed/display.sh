# Sourced after env.sh by the scripts that show windows: a display of their own when there is none,
# and one clean-up for the Wine servers of every bed and that display.
testbed_xvfb_pid=

# Starts Xvfb on a display number that the server itself finds free, unless DISPLAY is set: test
# runs side by side never share (and end) one another's display.
testbed_start_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  local ready number
  ready=$(mktemp -u) && mkfifo "$ready"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$ready" >/dev/null 2>&1 &
  testbed_xvfb_pid=$!
  read -r number < "$ready"
  rm -f "$ready"
  export DISPLAY=:$number
}

testbed_stop() {
  for dpi in 96 $QUORLIN_DPI_BEDS; do WINEPREFIX=$(testbed_prefix "$dpi") wineserver -k 2>/dev/null || true; done
  if [ -n "$testbed_xvfb_pid" ]; then kill "$testbed_xvfb_pid" 2>/dev/null || true; fi
}
