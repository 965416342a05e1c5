# Sourced by the CI scripts: a private Xvfb screen, and the demo watched on it as a user sees it.

work=$(mktemp -d)
demo_pid=""
xvfb_pid=""

cleanup() {
  [ -n "$demo_pid" ] && kill "$demo_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

fail() {
  echo "$(basename "$0"): $1" >&2
  [ -f "$work/demo.log" ] && tail -n 40 "$work/demo.log" >&2
  exit 1
}

# A display number of our own, so a desktop or another run is never disturbed.
start_private_screen() {
  display_number=120
  while [ -e "/tmp/.X${display_number}-lock" ] || [ -e "/tmp/.X11-unix/X${display_number}" ]; do
    display_number=$((display_number + 1))
  done
  # -noreset: no reset when the last client leaves, which a client connecting then would meet.
  Xvfb ":$display_number" -screen 0 800x600x24 -br -nolisten tcp -noreset >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X${display_number}" ] && break
    sleep 0.1
  done
  export DISPLAY=":$display_number"
  export SDL_AUDIODRIVER=dummy
}

# Something other than black on the screen: the root window is black until the demo draws.
picture_shown() {
  xwd -root -silent 2>/dev/null | tail -c 1920000 | tr -d '\000' | head -c 1 | grep -q .
}

# Starts a command in the background (its output in $work/demo.log), waits up to $1 seconds for
# the demo's first picture, taps Escape (press and release at once, as automation tools send it)
# and expects the demo to end with status 0 and leave no window.
expect_picture_then_escape() {
  limit=$1
  shift
  "$@" >"$work/demo.log" 2>&1 &
  demo_pid=$!
  waited=0
  until picture_shown; do
    kill -0 "$demo_pid" 2>/dev/null || fail "$* ended before the demo showed a picture"
    [ "$waited" -lt "$limit" ] || fail "no picture from $* after $limit s"
    sleep 1
    waited=$((waited + 1))
  done
  window=$(timeout 10 xdotool search --name '^Tuulenpesija - Lumivaha$' | head -n 1)
  [ -n "$window" ] || fail "no window titled Tuulenpesija - Lumivaha"
  timeout 10 xdotool windowfocus --sync "$window" || true
  timeout 10 xdotool key Escape
  waited=0
  while kill -0 "$demo_pid" 2>/dev/null; do
    [ "$waited" -lt 30 ] || fail "$* did not end within 30 s of an Escape tap"
    sleep 1
    waited=$((waited + 1))
  done
  status=0
  wait "$demo_pid" || status=$?
  demo_pid=""
  [ "$status" -eq 0 ] || fail "$* ended with status $status after an Escape tap"
  if timeout 10 xdotool search --name '^Tuulenpesija - Lumivaha$' >/dev/null; then
    fail "$* left its window behind"
  fi
  echo "$(basename "$0"): $* showed its picture and ended with status 0 after an Escape tap"
}
