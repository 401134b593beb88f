#!/usr/bin/env bash
# Drives the real desktop program, Rendlow.exe, under Wine in a virtual display. First as a user
# who has just installed Wine starts it: in a prefix that does not exist yet, where its window must
# look as it does on the next start. Then once in each of a
# Japanese, an English and a Korean locale (ANSI code pages 932, 1252 and 949), each in a new
# prefix: loads the bundled example song through the browse dialog, edits two rows through the
# settings group, presses "Midi&&BMS出力" and closes the completion message; then chooses
# "音声 > ステムから切り出し" in the menu, types a folder of stems into the folder dialog and
# closes the messages; under ja_JP, then chooses "音声 > キー音を作成", which renders every sound
# file the chart names with the SoundFont beside the program. The files the output and the cut write must be
# byte-equal to what the Windows build of rendlow-cli writes under Wine from the same input path
# with the same edits and, for the sound files, `--cut` on a copy of the same stems.
# Before that, in the same locale, the desktop test suite reads the window's texts back in UTF-16,
# shows Shift_JIS track names, and refuses paths outside code page 932.
#
# One screenshot per locale of the window with the loaded song is kept in the work folder
# (rendlow-ja_JP.png, …); the window must look the same, pixel for pixel, in every locale (only
# the menu bar's height is the system's). Beside
# them: the cut's message boxes (cut-message-ja_JP.png, …), the keysounds' one
# (keysounds-message-ja_JP.png), and, under ja_JP, a format-0 song with
# three channels loaded into three rows (format0-three-rows.png).
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
# The stems are made by a native tool, which reads the rendering file as the engine does.
{ [ -f build/native/CMakeCache.txt ] || cmake --preset native; } >>"$build/ui-e2e-build.log" 2>&1
cmake --build build/native -j2 --target make_stems >>"$build/ui-e2e-build.log" 2>&1 ||
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

# Waits for a message box of Rendlow.exe, a window beside the main one, and prints its id.
wait_for_message() {
  for _ in $(seq 200); do
    local windows
    windows=$(xdotool search --onlyvisible --classname rendlow.exe 2>/dev/null || true)
    if [ "$(echo "$windows" | grep -c .)" -ge 2 ]; then
      echo "$windows" | grep -vx "$main_window" | head -1
      return 0
    fi
    sleep 0.1
  done
  fail "no message box"
}

# Waits up to $3 seconds (default 20) for a top-level window named exactly $1 to appear (or, with
# "gone" as $2, to disappear).
wait_for_window() {
  for _ in $(seq $((${3:-20} * 10))); do
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
# window of a Wine top-level window is its menu bar and its client area, the client area the
# bottom 470 rows.
main_window=
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
save_settings=(290 430)

# The stems, made from the rendering MIDI file as an author's instrument would render it: noise
# under every note, which differs from place to place so that a sound cut from the wrong place
# differs too, and silence between. Mono, 16 bits at 8 kHz. The mix: noise, 60 s.
stem_rate=8000
make_stems_tool=build/native/tools/make_stems

le16() { printf '\\x%02x\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)); }
le32() { printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255)); }

# Writes $2 seconds of noise to the WAV file $1.
write_noise_wav() {
  local bytes=$((stem_rate * 2 * $2))
  {
    printf "RIFF$(le32 $((36 + bytes)))WAVEfmt $(le32 16)$(le16 1)$(le16 1)$(le32 $stem_rate)"
    printf "$(le32 $((stem_rate * 2)))$(le16 2)$(le16 16)data$(le32 $bytes)"
    head -c "$bytes" /dev/urandom
  } >"$1"
}

# The sound files the chart $1 names in its #WAV lines.
sound_files() { grep -a '^#WAV' "$1" | tr -d '\r' | cut -d' ' -f2 | sort -u; }

# One stem in folder $3 per definition name of the chart $1, in the order of its #WAV lines (the
# tracks' order), rendered from the rendering MIDI file $2: "tr01.wav" for "tr01_01.wav".
make_stems() {
  mkdir -p "$3"
  local names
  names=$(grep -a '^#WAV' "$1" | tr -d '\r' | cut -d' ' -f2 | sed 's/_[0-9]*\.wav$//' | awk '!seen[$0]++')
  # shellcheck disable=SC2086
  "$make_stems_tool" "$2" "$3" $names
}

# A format-0 song, division 480, one track: a note on channel 1, one on channel 2 and a drum on
# channel 10, all at once for a quarter note.
write_format0_song() {
  {
    printf 'MThd\x00\x00\x00\x06\x00\x00\x00\x01\x01\xe0MTrk\x00\x00\x00\x2c'
    printf '\x00\xff\x03\x04Song\x00\xff\x51\x03\x07\xa1\x20'
    printf '\x00\x90\x3c\x64\x00\x91\x40\x64\x00\x99\x24\x6e'
    printf '\x83\x60\x80\x3c\x00\x00\x81\x40\x00\x00\x89\x24\x00\x00\xff\x2f\x00'
  } >"$1"
}

gui_pid=
trap 'if [ -n "$gui_pid" ]; then kill "$gui_pid" 2>/dev/null || true; fi; kill "${RENDLOW_XVFB_PID:-}" 2>/dev/null || true' EXIT

# Starts Rendlow.exe, its output going to $1's folder, and waits up to $2 seconds (default 20)
# for its window.
start_gui() {
  wine "$gui_exe" >"$1/gui-stdout.txt" 2>"$1/gui-stderr.txt" &
  gui_pid=$!
  wait_for_window "Rendlow 0.96" "" "${2:-20}"
  main_window=$(xdotool search --name "^Rendlow 0.96\$" | head -1)
  eval "$(xdotool getwindowgeometry --shell "$main_window")"
  origin_x=$X
  origin_y=$((Y + HEIGHT - 470))
  sleep 1
}

# Starts Rendlow.exe, its output going to $1's folder, and loads the song $2 (a Windows path)
# through the open-file dialog.
start_gui_with() {
  start_gui "$1"

  click "${browse[@]}"
  wait_for_window "音声ファイルの選択"
  sleep 0.5
  xdotool type --delay 20 "$2"
  xdotool key Return
  wait_for_window "音声ファイルの選択" gone
  sleep 1
}

# Closes the window the way a user does, so the program ends through its message loop.
close_gui() {
  click 200 385
  xdotool key alt+F4
  for _ in $(seq 100); do kill -0 "$gui_pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$gui_pid" 2>/dev/null && fail "Rendlow.exe did not end when its window was closed"
  wait "$gui_pid" || fail "Rendlow.exe ended with status $?"
  gui_pid=
}

# "音声 > キー音を作成" in the open window: every sound file the chart names, holding sound, then
# the summary, kept as a screenshot ($2). The files go to $1's gui-keysounds.
keysounds_through_menu() {
  local out=$1 screenshot=$2 message f
  xdotool key alt+a
  sleep 0.3
  xdotool key k
  wait_for_message >/dev/null
  xdotool key Return
  for f in $(sound_files "$out/gui/example_song_out.bme"); do wait_for_file "$work/$f" 120; done
  message=$(wait_for_message)
  sleep 0.5
  import -window "$message" "$screenshot"
  xdotool key Return
  sleep 0.5
  mkdir -p "$out/gui-keysounds"
  for f in $(sound_files "$out/gui/example_song_out.bme"); do
    [ -s "$work/$f" ] || fail "the menu's keysounds left $f empty"
    mv "$work/$f" "$out/gui-keysounds/$f"
  done
}

# The whole job through the window; its files and screenshots go to $1's folder.
run_gui() {
  local out=$1 screenshot=$2 cut_screenshot=$3 keysounds_screenshot=$4
  start_gui_with "$out" "$input_win"

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
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$screenshot"

  # Output: one message, once every file is written.
  click "${midi_and_bms[@]}"
  wait_for_message >/dev/null
  for f in "${outputs[@]}"; do [ -s "$work/$f" ] || fail "$f was not written before the message"; done
  xdotool key Return
  sleep 1
  mkdir -p "$out/gui" "$out/gui-cut"
  for f in "${outputs[@]}"; do mv "$work/$f" "$out/gui/$f"; done

  # The cut through the menu, from a copy of the stems with the song's mix beside them. The
  # output's completion message comes first; the cut's summary once every sound is written.
  [ -d "$work/stems" ] || make_stems "$out/gui/example_song_out.bme" "$out/gui/example_song_out.mid" "$work/stems"
  rm -rf "$work/stems-gui"
  cp -r "$work/stems" "$work/stems-gui"
  write_noise_wav "$work/stems-gui/example_song_mix.wav" 60
  xdotool key alt+a
  sleep 0.3
  xdotool key c
  wait_for_window "ステムのフォルダーの選択"
  sleep 0.5
  xdotool type --delay 20 "$(winepath -w "$(pwd)/$work/stems-gui" 2>/dev/null)"
  xdotool key Return
  wait_for_window "ステムのフォルダーの選択" gone
  wait_for_file "$work/example_song_out.mid"
  wait_for_message >/dev/null
  xdotool key Return
  for f in $(sound_files "$out/gui/example_song_out.bme"); do wait_for_file "$work/$f" 60; done
  local message
  message=$(wait_for_message)
  sleep 0.5
  import -window "$message" "$cut_screenshot"
  xdotool key Return
  sleep 0.5
  for f in $(sound_files "$out/gui/example_song_out.bme"); do mv "$work/$f" "$out/gui-cut/$f"; done

  # The keysounds through the menu, rendered with the SoundFont beside the program: every sound
  # file the chart names, then one summary with the song's figures. Once, under ja_JP: the flow
  # is the cut's, which every locale runs.
  if [ "$name" = ja_JP ]; then keysounds_through_menu "$out" "$keysounds_screenshot"; fi
  close_gui
  grep -q "^Read Track [0-9]" "$out/gui-stdout.txt" || fail "no reader progress lines on standard output"
  for f in "${outputs[@]}"; do mv "$work/$f" "$out/gui-cut/$f"; done
}

# A format-0 song loaded into the window, saved with "設定保存": three rows, one per channel.
run_format0() {
  local out=$1
  write_format0_song "$work/format0.mid"
  start_gui_with "$out" "$(winepath -w "$(pwd)/$work/format0.mid" 2>/dev/null)"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$work/format0-three-rows.png"
  click "${save_settings[@]}"
  wait_for_file "$work/format0.txt"
  close_gui
  local rows
  rows=$(grep -aP '^tr\t' "$work/format0.txt" | cut -f2 | tr '\n' ' ')
  [ "$rows" = "Ch01 Ch02 Ch10 " ] || fail "the format-0 song shows the rows $rows"
  echo "ui-e2e: ja_JP: a format-0 song shows the rows $rows(screenshot $work/format0-three-rows.png)"
}

# A user's first start: Rendlow.exe is the first program run in a prefix that does not exist yet,
# so Wine makes the prefix as the program starts. The window must show what it shows on the next
# start in the same prefix, pixel for pixel (the focus taken off the input box, whose caret
# blinks).
run_first_start() {
  local out=$1 start
  WINEPREFIX="$(pwd)/$work/wineprefix-first-start"
  export WINEPREFIX
  for start in first next; do
    start_gui "$out" 120
    xdotool key Tab
    sleep 0.5
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$work/$start-start.png"
    close_gui
    wineserver -w 2>/dev/null || true
  done
  local differing
  differing=$(differing_pixels "$work/next-start.png" "$work/first-start.png")
  if [ "$differing" != 0 ]; then
    echo "ui-e2e: the first start in a new prefix differs from the next in $differing pixels" >&2
    return 1
  fi
  echo "ui-e2e: the first start in a new prefix shows the window as the next does (screenshot $work/first-start.png)"
}

# The same job through the command line, from the same input path, cutting from another copy of
# the same stems. It ends with status 0 only when every stem was there and long enough.
run_cli() {
  local out=$1
  rm -rf "$work/stems-cli"
  cp -r "$work/stems" "$work/stems-cli"
  wine "$cli_exe" -q \
    --set 0:noteInterval=480 --set 0:velocitySplitWidth=16 \
    --set 1:definitionName=melody --set 1:gridUnit=480 --set 1:ignoreBpm=1 \
    --cut "$(winepath -w "$(pwd)/$work/stems-cli" 2>/dev/null)" \
    "$input_win" >"$out/cli-stdout.txt" 2>"$out/cli-stderr.txt" ||
    fail "rendlow-cli failed: $(cat "$out/cli-stderr.txt")"
  mkdir -p "$out/cli"
  for f in "${outputs[@]}" $(sound_files "$work/example_song_out.bme"); do mv "$work/$f" "$out/cli/$f"; done
}

# The settings files the window wrote into $2 and the command line wrote are the same, paths
# included: both keep the files beside the settings file by their names.
settings_named_alike() {
  local out=$1
  if ! cmp -s "$out/$2/example_song.txt" "$out/cli/example_song.txt"; then
    echo "ui-e2e: $name: the settings files differ" >&2
    return 1
  fi
  echo "ui-e2e: $name: $2/example_song.txt is the command line's, paths included"
}

# Every file but the settings file that the window wrote into $2 is byte-equal to the command
# line's; after the cut, the command line wrote no sound file that the window did not.
same_as_cli() {
  local out=$1 from=$2 f
  for f in $({ ls "$out/$from"; [ "$from" = gui ] || ls "$out/cli"; } | sort -u | grep -vx example_song.txt); do
    if cmp -s "$out/$from/$f" "$out/cli/$f"; then
      echo "ui-e2e: $name: $from/$f identical ($(stat -c %s "$out/$from/$f") bytes)"
    else
      echo "ui-e2e: $name: $from/$f differs between Rendlow.exe and rendlow-cli, or one lacks it" >&2
      return 1
    fi
  done
}

# How many pixels of the window in screenshot $2 differ from those in $1: the client area pixel
# for pixel, the menu bar by what is drawn on it. The bar's height is the system's, from the menu
# font of the locale the prefix was made in, so only its drawing is the program's.
differing_pixels() {
  local part count total=0
  for part in "-gravity south -crop 640x470+0+0 +repage" "-gravity south -chop 0x470 -trim +repage"; do
    # shellcheck disable=SC2086
    convert "$1" $part "$work/part-a.png" && convert "$2" $part "$work/part-b.png"
    count=$(compare -metric AE "$work/part-a.png" "$work/part-b.png" /dev/null 2>&1 || true)
    [[ "$count" =~ ^[0-9]+$ ]] || count=1 # parts of different sizes
    total=$((total + count))
  done
  echo "$total"
}

status=0
mkdir -p "$work/first-start"
run_first_start "$work/first-start" || status=1
for entry in "${locales[@]}"; do
  locale=${entry%%:*}
  code_page=${entry##*:}
  name=${locale%%.*}
  out="$work/$name"
  mkdir -p "$out"
  wine_locale "$locale"
  # A prefix made afresh in the locale, as a user who has just installed Wine there has it: the
  # program must find a font for its texts by itself.
  wine_prefix "$(pwd)/$work/wineprefix-$name"
  echo "ui-e2e: $locale (code page $code_page)"

  if RENDLOW_EXPECT_ACP=$code_page wine "$tests_exe" >"$out/ui-tests.txt" 2>&1; then
    echo "ui-e2e: $name: $(grep -E '^\[  PASSED  \]' "$out/ui-tests.txt")"
  else
    grep -E 'Failure|FAILED|Expected|Which is' "$out/ui-tests.txt" >&2 || tail -20 "$out/ui-tests.txt" >&2
    echo "ui-e2e: $name: the desktop tests failed (see $out/ui-tests.txt)" >&2
    status=1
  fi

  run_gui "$out" "$work/rendlow-$name.png" "$work/cut-message-$name.png" "$work/keysounds-message-$name.png"
  run_cli "$out"

  # The edits made through the window must show in what it wrote, or the comparison proves little.
  grep -qP "^tr\\tPiano\\ttr01\\t16\\t480\\t" "$out/gui/example_song.txt" || fail "$name: row 0's edits are missing"
  grep -qP "^tr\\tLead\\tmelody\\t0\\t960\\t480\\t1\\t0\\t1\\t" "$out/gui/example_song.txt" ||
    fail "$name: row 1's edits are missing"
  grep -q "melody_01.wav" "$out/gui/example_song_out.bme" || fail "$name: the chart lacks the edited definition name"
  # The command line keeps the settings file's paths relative to its folder, the window the
  # dialog's absolute ones: the two must name the same files, and every other line must match.
  for from in gui gui-cut; do
    settings_named_alike "$out" "$from" || status=1
    same_as_cli "$out" "$from" || status=1
  done
  if [ "$name" != ja_JP ]; then
    differing=$(differing_pixels "$work/rendlow-ja_JP.png" "$work/rendlow-$name.png")
    if [ "$differing" = 0 ]; then
      echo "ui-e2e: $name: the window looks as under ja_JP"
    else
      echo "ui-e2e: $name: the window differs from ja_JP's in $differing pixels" >&2
      status=1
    fi
  fi
  echo "ui-e2e: $name: screenshots $work/rendlow-$name.png, $work/cut-message-$name.png"
  if [ "$name" = ja_JP ]; then echo "ui-e2e: ja_JP: the menu's keysounds: $work/keysounds-message-ja_JP.png"; fi
  if [ "$name" = ja_JP ]; then run_format0 "$out"; fi
done
exit $status
