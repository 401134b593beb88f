#pragma once

#include <optional>
#include <span>
#include <string>

namespace rendlow::cli {

// What the user asked the command line to do.
enum class Command {
  Help,  // print the usage and stop
  List,  // load the input and print one line per track row
};

struct Options {
  std::optional<Command> command;
  bool verbose = false;  // the engine's progress lines on standard output
  std::string input;     // a MIDI file or a settings file
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
