# shellcheck shell=bash
# Sourced by the scripts, the benchmarks, the package test and the Wine runner: a private X server.
# start_xvfb [WIDTHxHEIGHT] starts one on a display number it picks itself, waits until it accepts connections,
# exports DISPLAY and sets xvfb_pid; it returns non-zero when the server did not start. stop_xvfb ends it.

start_xvfb() {
  local size=${1:-1024x768} file
  file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$file" 2>/dev/null &
  xvfb_pid=$!
  for _ in $(seq 1 200); do
    [ -s "$file" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.05
  done
  if [ ! -s "$file" ]; then
    rm -f "$file"
    echo "Xvfb did not start" >&2
    return 1
  fi
  DISPLAY=":$(head -n 1 "$file")"
  export DISPLAY
  rm -f "$file"
}

stop_xvfb() {
  [ -n "${xvfb_pid:-}" ] || return 0
  kill "$xvfb_pid" 2>/dev/null
  wait "$xvfb_pid" 2>/dev/null
  xvfb_pid=""
}
