#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "cli/row_edit.h"

namespace rendlow::cli {

// What the user asked the command line to do.
enum class Command {
  Help,     // print the usage and stop
  List,     // load the input and print one line per track row
  Convert,  // load each input and write its outputs, as an output button does
};

// Which output button a conversion presses.
enum class Outputs {
  MidiAndChart,  // "Midi&&BMS出力": rendering MIDI file, settings file, chart
  MidiOnly,      // "Midi出力" (--no-chart)
  SettingsOnly,  // "設定保存" (--settings-only)
};

struct Options {
  Command command = Command::Convert;
  bool verbose = false;               // the engine's progress lines on standard output
  bool quiet = false;                 // no report of what was converted and written
  std::vector<std::string> inputs;    // MIDI files or settings files, in the order given
  std::optional<std::string> output;  // the rendering MIDI file's path, for one input only
  Outputs outputs = Outputs::MidiAndChart;
  std::optional<std::string> genre;
  std::optional<std::string> title;
  std::optional<std::string> artist;
  std::vector<RowEdit> edits;  // in the order given
};

// Options on success; otherwise a one-line reason, meant to be followed by a pointer to --help.
struct ParseResult {
  std::optional<Options> options;
  std::string error;
};

// Reads the arguments after the program name. Long options take their value as "--name=VALUE" or
// as the next argument, short ones as the next argument; "--" ends the options. --help wins over
// whatever follows it.
ParseResult parseOptions(std::span<const std::string> args);

// The usage text printed by --help; one line per option, made from the same table the parser uses.
std::string usageText();

}  // namespace rendlow::cli
