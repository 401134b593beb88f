#!/usr/bin/env bash
# Drives the real desktop program, Rendlow.exe, under Wine in a virtual display, once in each of a
# Japanese, an English and a Korean locale (ANSI code pages 932, 1252 and 949): loads the bundled
# example song through the browse dialog, edits two rows through the settings group, presses
# "Midi&&BMS出力" and closes the completion message. The three files it writes must be byte-equal
# to what the Windows build of rendlow-cli writes under Wine from the same input path with the
# same edits. Before that, in the same locale, the desktop test suite reads the window's texts back
# in UTF-16, shows Shift_JIS track names, and refuses paths outside code page 932.
#
# One screenshot per locale of the window with the loaded song is kept in the work folder
# (rendlow-ja_JP.png, …); the window must look the same, pixel for pixel, in every locale.
#
# Usage: scripts/ui-e2e.sh [BUILD_DIR]   (default build/mingw; configured and built when needed)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/mingw}
# shellcheck source=wine-env
source scripts/wine-env

locales=(ja_JP.UTF-8:932 en_US.UTF-8:1252 ko_KR.UTF-8:949)

mkdir -p "$build"
if [ ! -f "$build/CMakeCache.txt" ]; then cmake --preset mingw >"$build/ui-e2e-build.log" 2>&1; fi
cmake --build "$build" -j2 --target Rendlow rendlow-cli ui_tests >>"$build/ui-e2e-build.log" 2>&1 ||
  { cat "$build/ui-e2e-build.log" >&2; exit 1; }
gui_exe="$build/src/ui/Rendlow.exe"
cli_exe="$build/src/rendlow-cli.exe"
tests_exe="$build/tests/ui_tests.exe"

work="$build/ui-e2e"
rm -rf "$work"
mkdir -p "$work"
cp examples/example_song.mid "$work/example_song.mid"
input_win=$(winepath -w "$(pwd)/$work/example_song.mid" 2>/dev/null)
outputs=(example_song_out.mid example_song.txt example_song_out.bme)

fail() {
  echo "ui-e2e: $*" >&2
  exit 1
}

# Waits up to $2 seconds (default 20) for the file $1.
wait_for_file() {
  for _ in $(seq $((${2:-20} * 10))); do
    [ -s "$1" ] && return 0
    sleep 0.1
  done
  fail "no $1 after ${2:-20} s"
}

# Waits for a top-level window named exactly $1 to appear (or, with "gone", to disappear).
wait_for_window() {
  for _ in $(seq 200); do
    if xdotool search --name "^$1\$" >/dev/null 2>&1; then
      [ "${2:-}" = gone ] || return 0
    else
      [ "${2:-}" = gone ] && return 0
    fi
    sleep 0.1
  done
  fail "window \"$1\" did not ${2:-appear}"
}

# Mouse and keyboard on the main window, in client coordinates: with no window manager the X
# window of a Wine top-level window is its client area.
origin_x=0
origin_y=0
click() {
  xdotool mousemove $((origin_x + $1)) $((origin_y + $2)) click 1
  sleep 0.3
}
# Replaces the text of the edit box centred at client ($1, $2) by $3.
type_into() {
  click "$1" "$2"
  xdotool key --clearmodifiers End shift+Home BackSpace
  xdotool type --delay 30 "$3"
  sleep 0.2
}

# Where the controls are: the form's fixed positions (the window keeps its first size here).
browse=(315 35)
row_y() { echo $((74 + 14 * $1)); } # the track table's rows, 14 pixels apart under the header
row_x=110
definition_name=(545 35)
velocity_split_width=(545 60)
note_interval=(545 85)
grid_unit=(545 110)
ignore_bpm=(492 185)
update=(575 295)
midi_and_bms=(60 420)

gui_pid=
trap 'if [ -n "$gui_pid" ]; then kill "$gui_pid" 2>/dev/null || true; fi; kill "${RENDLOW_XVFB_PID:-}" 2>/dev/null || true' EXIT

# The whole job through the window; its files and screenshot go to $1's folder.
run_gui() {
  local out=$1 screenshot=$2
  wine "$gui_exe" >"$out/gui-stdout.txt" 2>"$out/gui-stderr.txt" &
  gui_pid=$!
  wait_for_window "Rendlow 0.96"
  local window
  window=$(xdotool search --name "^Rendlow 0.96\$" | head -1)
  eval "$(xdotool getwindowgeometry --shell "$window")"
  origin_x=$X
  origin_y=$Y
  sleep 1

  # Load the song through the open-file dialog.
  click "${browse[@]}"
  wait_for_window "音声ファイルの選択"
  sleep 0.5
  xdotool type --delay 20 "$input_win"
  xdotool key Return
  wait_for_window "音声ファイルの選択" gone
  sleep 1

  # Row 0: note interval 480, velocity split width 16.
  click "$row_x" "$(row_y 0)"
  type_into "${note_interval[@]}" 480
  type_into "${velocity_split_width[@]}" 16
  click "${update[@]}"
  # Row 1: definition name "melody", grid unit 480, BPM ignored (its box shows the row's "Off").
  click "$row_x" "$(row_y 1)"
  type_into "${definition_name[@]}" melody
  type_into "${grid_unit[@]}" 480
  click "${ignore_bpm[@]}"
  click "${update[@]}"
  sleep 0.5
  import -window root -crop "${WIDTH}x${HEIGHT}+${origin_x}+${origin_y}" "$screenshot"

  # Output: the completion message appears once the MIDI and settings files are written; the
  # chart follows when it is closed.
  click "${midi_and_bms[@]}"
  wait_for_file "$work/example_song_out.mid"
  wait_for_file "$work/example_song.txt"
  sleep 1
  [ ! -e "$work/example_song_out.bme" ] || fail "the chart was written before the message was closed"
  xdotool key Return
  wait_for_file "$work/example_song_out.bme"
  sleep 1
  # Close the window the way a user does, so the program ends through its message loop.
  click 200 385
  xdotool key alt+F4
  for _ in $(seq 100); do kill -0 "$gui_pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$gui_pid" 2>/dev/null && fail "Rendlow.exe did not end when its window was closed"
  wait "$gui_pid" || fail "Rendlow.exe ended with status $?"
  gui_pid=
  grep -q "^Read Track [0-9]" "$out/gui-stdout.txt" || fail "no reader progress lines on standard output"
  mkdir -p "$out/gui"
  for f in "${outputs[@]}"; do mv "$work/$f" "$out/gui/$f"; done
}

# The same job through the command line, from the same input path.
run_cli() {
  local out=$1
  wine "$cli_exe" -q \
    --set 0:noteInterval=480 --set 0:velocitySplitWidth=16 \
    --set 1:definitionName=melody --set 1:gridUnit=480 --set 1:ignoreBpm=1 \
    "$input_win" >"$out/cli-stdout.txt" 2>"$out/cli-stderr.txt" ||
    fail "rendlow-cli failed: $(cat "$out/cli-stderr.txt")"
  mkdir -p "$out/cli"
  for f in "${outputs[@]}"; do mv "$work/$f" "$out/cli/$f"; done
}

# The settings files of the window and of the command line hold the same lines, and their "i"
# and "o" lines name the same files (the window's absolute, the command line's relative).
settings_named_alike() {
  local out=$1 gui="$1/gui/example_song.txt" cli="$1/cli/example_song.txt" key
  if ! cmp -s <(tail -n +3 "$gui") <(tail -n +3 "$cli"); then
    echo "ui-e2e: $name: the settings files' rows or header texts differ" >&2
    return 1
  fi
  for key in i o; do
    local absolute relative
    absolute=$(sed -n "s/^$key\t//p" "$gui" | tr -d '\r')
    relative=$(sed -n "s/^$key\t//p" "$cli" | tr -d '\r')
    if [ "${absolute##*\\}" != "$relative" ] || [ "${absolute%%:*}" = "$absolute" ]; then
      echo "ui-e2e: $name: the \"$key\" lines name different files: $absolute and $relative" >&2
      return 1
    fi
  done
  echo "ui-e2e: $name: example_song.txt names the same files with the same rows"
}

status=0
for entry in "${locales[@]}"; do
  locale=${entry%%:*}
  code_page=${entry##*:}
  name=${locale%%.*}
  out="$work/$name"
  mkdir -p "$out"
  wine_locale "$locale"
  echo "ui-e2e: $locale (code page $code_page)"

  if RENDLOW_EXPECT_ACP=$code_page wine "$tests_exe" >"$out/ui-tests.txt" 2>&1; then
    echo "ui-e2e: $name: $(grep -E '^\[  PASSED  \]' "$out/ui-tests.txt")"
  else
    grep -E 'Failure|FAILED|Expected|Which is' "$out/ui-tests.txt" >&2 || tail -20 "$out/ui-tests.txt" >&2
    echo "ui-e2e: $name: the desktop tests failed (see $out/ui-tests.txt)" >&2
    status=1
  fi

  run_gui "$out" "$work/rendlow-$name.png"
  run_cli "$out"

  # The edits made through the window must show in what it wrote, or the comparison proves little.
  grep -qP "^tr\\tPiano\\ttr01\\t16\\t480\\t" "$out/gui/example_song.txt" || fail "$name: row 0's edits are missing"
  grep -qP "^tr\\tLead\\tmelody\\t0\\t960\\t480\\t1\\t0\\t1\\t" "$out/gui/example_song.txt" ||
    fail "$name: row 1's edits are missing"
  grep -q "melody_01.wav" "$out/gui/example_song_out.bme" || fail "$name: the chart lacks the edited definition name"
  # The command line keeps the settings file's paths relative to its folder, the window the
  # dialog's absolute ones: the two must name the same files, and every other line must match.
  settings_named_alike "$out" || status=1
  for f in "${outputs[@]}"; do
    [ "$f" = example_song.txt ] && continue
    if cmp -s "$out/gui/$f" "$out/cli/$f"; then
      echo "ui-e2e: $name: $f identical ($(stat -c %s "$out/gui/$f") bytes)"
    else
      echo "ui-e2e: $name: $f differs between Rendlow.exe and rendlow-cli" >&2
      status=1
    fi
  done
  if [ "$name" != ja_JP ]; then
    differing=$(compare -metric AE "$work/rendlow-ja_JP.png" "$work/rendlow-$name.png" /dev/null 2>&1 || true)
    if [ "$differing" = 0 ]; then
      echo "ui-e2e: $name: the window looks as under ja_JP"
    else
      echo "ui-e2e: $name: the window differs from ja_JP's in $differing pixels" >&2
      status=1
    fi
  fi
  echo "ui-e2e: $name: screenshot $work/rendlow-$name.png"
done
exit $status
