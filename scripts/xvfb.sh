# Sourced: when there is no display, start Xvfb on a free one and stop it when the shell exits.
if [ -z "${DISPLAY:-}" ]; then
  _op_dfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$_op_dfile" >/dev/null 2>&1 &
  _op_xvfb=$!
  for _i in $(seq 1 100); do [ -s "$_op_dfile" ] && break; sleep 0.1; done
  export DISPLAY=":$(cat "$_op_dfile")"
  rm -f "$_op_dfile"
  trap 'kill $_op_xvfb 2>/dev/null' EXIT
fi
