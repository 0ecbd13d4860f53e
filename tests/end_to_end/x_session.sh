# Helpers the end-to-end scripts share: sourced, not run. They use $work (the scratch folder
# holding program.log) as each script sets it.
fail() { echo "FAIL: $*"; [ -f "$work/program.log" ] && cat "$work/program.log"; exit 1; }

# Gives a window the keyboard and waits until it has it.
focus() {
  for _ in $(seq 1 50); do
    xdotool windowfocus "$1" 2>/dev/null || true
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ] && { sleep 0.2; return 0; }
    sleep 0.1
  done
  fail "window $1 did not take the keyboard"
}

# Waits (at most 20 s) for a window whose caption matches, and prints its id.
wait_window() {
  local id=""
  for _ in $(seq 1 200); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# Opens a menu by its Alt key and presses an item's accelerator once the menu is up.
menu_item() {
  local before
  before=$(xdotool search --onlyvisible --class reelsmith 2>/dev/null | wc -l)
  xdotool key --clearmodifiers "alt+$1"
  for _ in $(seq 1 100); do
    [ "$(xdotool search --onlyvisible --class reelsmith 2>/dev/null | wc -l)" -gt "$before" ] && break
    sleep 0.1
  done
  xdotool key "$2"
}

# Waits (at most 10 s) for the program to end after File Exit, and checks its exit status.
wait_exit() {
  for _ in $(seq 1 100); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$1" 2>/dev/null && { kill "$1"; fail "File Exit did not end the program"; }
  wait "$1" || fail "the program exited with status $?"
}

# The script's part inside the X server: with --session, sets $program and $work, runs the
# script's own session function, and ends the script there.
session_entry() {
  [ "${1:-}" = "--session" ] || return 0
  program=$2 work=$3
  session
  exit 0
}

# Runs the script itself again inside a private X server (1280x800 unless a size is given),
# where session_entry takes over.
run_x_session() {  # script program work [screen size]
  unset WAYLAND_DISPLAY
  export QT_QPA_PLATFORM=xcb
  xvfb-run -a -s "-screen 0 ${4:-1280x800}x24" "$(realpath "$1")" --session "$2" "$3" ||
    fail "the session failed"
}

# A new user on a colour display is shown the colour notice: waits for it and closes it by OK.
close_colour_notice() {
  local notice
  notice=$(wait_window '^Color Notice$') || fail "no colour notice"
  focus "$notice"
  xdotool key Return
  for _ in $(seq 1 50); do
    xdotool search --onlyvisible --name '^Color Notice$' >/dev/null 2>&1 || break
    sleep 0.1
  done
}

# A settings folder whose user has already put the colour notice away.
settings_without_colour_notice() {
  mkdir -p "$1/reelsmith"
  printf '[ColorNotice]\nDoNotDisplay=1\n' >"$1/reelsmith/reelsmt.ini"
}

# Leaves the program by File > Exit and checks it ended well.
file_exit() {  # catalogue window, program pid
  focus "$1"
  menu_item f x
  wait_exit "$2"
}

# The AddressSanitizer runtime a library was built with (empty when none): a program that is not
# built with it can load such a library only with the runtime preloaded.
sanitizer_preload() {
  ldd "$1" 2>/dev/null | awk '$1 ~ /^libasan/ { print $3 }'
}
