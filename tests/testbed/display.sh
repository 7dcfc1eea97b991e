# Sourced after env.sh by the scripts that show windows: a display of their own when there is none,
# and one clean-up for the Wine servers of every bed and that display.
testbed_xvfb_pid=

# Starts Xvfb on a free-looking display number from $1 to $1 + 99, unless DISPLAY is set.
testbed_start_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  local display=:$(( $1 + RANDOM % 100 ))
  Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  testbed_xvfb_pid=$!
  export DISPLAY=$display
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
}

testbed_stop() {
  for dpi in 96 $QUORLIN_DPI_BEDS; do WINEPREFIX=$(testbed_prefix "$dpi") wineserver -k 2>/dev/null || true; done
  if [ -n "$testbed_xvfb_pid" ]; then kill "$testbed_xvfb_pid" 2>/dev/null || true; fi
}
