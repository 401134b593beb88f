#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/row_edit.h"
#include "audio/synth/rendering.h"
#include "base/message.h"
#include "bms/chart.h"
#include "base/result.h"

namespace rendlow::cli {

// What the user asked the command line to do.
enum class Command {
  Help,     // print the usage and stop
  Version,  // print the name and version and stop
  List,     // load the input as a conversion would and print one line per track row
  Convert,  // load each input, apply the edits, write the outputs as the form's buttons do
};

struct Options {
  std::optional<Command> command;   // Convert when no other command is given
  int verbose = 0;  // on standard error: 1, what is read, converted, written; 2, every event too
  bool quiet = false;               // Convert: no table of the tracks, no list of the files written
  std::vector<std::string> inputs;  // MIDI files or settings files, converted in this order
  bool chart = true;  // Convert: write the chart too (--no-chart: "Midi出力", not "Midi&&BMS出力")
  bool settingsOnly = false;              // Convert: only the settings file ("設定保存")
  std::optional<std::string> outputPath;  // Convert, one input only: instead of the name the load proposes
  std::optional<ChartFormat> chartFormat;  // Convert: --format, instead of the one the output name asks for
  std::optional<std::string> genre;       // Convert: the chart header texts, instead of the loaded ones
  std::optional<std::string> title;
  std::optional<std::string> artist;
  std::vector<RowEdit> edits;  // Convert: in the order given, on every input
  bool freshChart = false;     // Convert: the chart from the song alone, not taking in the author's work
  bool fit = false;            // Convert: a .bme chart past ZZ ids is sliced as finely as fits
  bool defaults = false;       // start from the defaults, not from a saved settings file
  // Convert: the sound files too, cut from the author's stems or rendered with the synthesizer.
  std::optional<std::string> stemsFolder;  // --cut
  bool keysounds = false;                  // --keysounds
  std::optional<std::string> soundFont;    // --soundfont
  std::optional<audio::Synth> synth;       // --synth
  bool ogg = false;                        // --ogg
  std::optional<std::string> recording;    // --compare
  std::optional<std::string> trackRecordings;  // --compare-tracks
  bool noWait = false;  // Convert: stop rather than wait while another run works on the song
  bool clean = false;                          // --clean: remove sound files the chart does not use
};

// Reads the arguments after the program name. Long options take their value as "--name=VALUE" or
// as the next argument, short ones as the next argument; "--" ends the options. --help wins over
// whatever follows it. A problem is one line, meant to be followed by a pointer to --help.
Result<Options> parseOptions(std::span<const std::string> args);

// The usage text printed by --help, in each language; one line per option and per field, made from
// the same tables the parser uses.
Message usageText();

// What --version prints: the program's name and version.
std::string versionText();

}  // namespace rendlow::cli
