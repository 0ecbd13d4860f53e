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

# Waits (at most 5 s) until no window whose caption matches is shown.
wait_gone() {
  for _ in $(seq 1 50); do
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
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

# Waits (at most 10 s) until the X server named by $DISPLAY takes a client.
display_answers() {
  for _ in $(seq 1 100); do
    xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}

# The script's part inside the X server: with --session, sets $program and $work, checks that
# the server takes clients (leaving $work/display_ready), runs the script's own session function
# with any further arguments, and ends the script there.
session_entry() {
  [ "${1:-}" = "--session" ] || return 0
  program=$2 work=$3
  shift 3
  display_answers || { echo "the X server on $DISPLAY takes no client"; exit 1; }
  touch "$work/display_ready"
  session "$@"
  exit 0
}

# Runs the script itself again inside a private X server (1280x800 unless a size is given; any
# further arguments go to its session function), where session_entry takes over. A server that
# takes no client, or that the program could not reach, is a fault of the machine rather than
# of the program: the session is tried again on a new server, up to three times, with the
# server's log shown.
run_x_session() {  # script program work [screen size [session arguments...]]
  local script program=$2 work=$3 size=${4:-1280x800} attempt
  script=$(realpath "$1")
  shift $(($# > 3 ? 4 : 3))
  unset WAYLAND_DISPLAY
  export QT_QPA_PLATFORM=xcb
  for attempt in 1 2 3; do
    rm -f "$work/display_ready" "$work/program.log" "$work/xvfb.log"
    if xvfb-run -a -e "$work/xvfb.log" -s "-screen 0 ${size}x24" \
      "$script" --session "$program" "$work" "$@"; then
      return 0
    fi
    if [ -f "$work/display_ready" ] &&
       ! grep -qs 'could not connect to display' "$work/program.log"; then
      fail "the session failed"
    fi
    echo "attempt $attempt: the X server could not be reached; its log:"
    cat "$work/xvfb.log" 2>/dev/null || true
  done
  fail "no X server could be reached in three attempts"
}

# A new user on a colour display is shown the colour notice: waits for it and closes it by OK.
close_colour_notice() {
  local notice
  notice=$(wait_window '^Color Notice$') || fail "no colour notice"
  focus "$notice"
  xdotool key Return
  wait_gone '^Color Notice$'
}

# Makes $work, a scratch folder removed when the script ends, with a copy of a catalogue as
# "my tapes.mus" in $work/cwd, and points HOME (where the print dialog proposes its file) and the
# XDG folders into it.
scratch_with_catalogue() {  # catalogue
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  mkdir -p "$work/config" "$work/data" "$work/cwd" "$work/home"
  cp "$1" "$work/cwd/my tapes.mus"
  export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
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

# Drags album list rows onto the cassette window: from (wx + 60, wy + y) for each given y to
# (tx, ty), with small first steps so that the drag starts. Steps and the last approach grow with
# the scale factor.
drag_rows_to() {  # wx wy tx ty scale y...
  local wx=$1 wy=$2 tx=$3 ty=$4 scale=$5 y step
  shift 5
  for y in "$@"; do
    xdotool mousemove $((wx + 60)) $((wy + y))
    sleep 0.2
    xdotool mousedown 1
    for step in 1 2 3 4 5 6; do
      xdotool mousemove $((wx + 60 + step * 8 * scale)) $((wy + y + step * 2 * scale))
      sleep 0.05
    done
    xdotool mousemove $((tx - 20 * scale)) $((ty - 20 * scale))
    sleep 0.2
    xdotool mousemove "$tx" "$ty"
    sleep 0.3
    xdotool mouseup 1
    sleep 0.3
  done
}

# Print Insert from the cassette window into Qt's print dialog's default, a PDF file: checks
# that it is one page with songs on it and keeps it as $work/insert.pdf.
print_insert_to_pdf() {  # cassette window
  focus "$1"
  xdotool key --clearmodifiers ctrl+p
  # Without a printer the user is told first; then Qt's print dialog.
  local dialog=""
  for _ in $(seq 1 100); do
    if xdotool search --onlyvisible --name '^Warning$' >/dev/null 2>&1; then
      focus "$(xdotool search --onlyvisible --name '^Warning$' | head -n 1)"
      xdotool key Return
    fi
    dialog=$(xdotool search --onlyvisible --name '^Print$' 2>/dev/null | head -n 1 || true)
    [ -n "$dialog" ] && break
    sleep 0.1
  done
  [ -n "$dialog" ] || fail "Print Insert showed no print dialog"
  focus "$dialog"
  xdotool key Return
  local pdf=""
  for _ in $(seq 1 200); do
    pdf=$(find "$HOME" "$work/cwd" -maxdepth 1 -name '*.pdf' 2>/dev/null | head -n 1)
    if [ -n "$pdf" ] && ! xdotool search --onlyvisible --name '^Print$' >/dev/null 2>&1 &&
       ! xdotool search --onlyvisible --name '^Reelsmith$' >/dev/null 2>&1; then
      break
    fi
    sleep 0.1
  done
  [ -n "$pdf" ] || fail "Print Insert wrote no PDF file"
  # Once the progress window has gone the job has ended and the file is complete.
  pdfinfo "$pdf" | grep -qE '^Pages: +1$' || { pdfinfo "$pdf"; fail "the insert is not one page"; }
  [ -n "$(pdftotext "$pdf" - | tr -d '[:space:]')" ] || fail "the printed insert holds no songs"
  cp "$pdf" "$work/insert.pdf"
}
