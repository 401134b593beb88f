#include "cli/options.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace rendlow::cli {

namespace {

// One option of the command line. Adding an option is adding a row to kOptions: the parser and
// the usage text both work from the table.
struct OptionSpec {
  std::string_view longName;   // with its dashes
  std::string_view shortName;  // with its dash; empty when there is none
  std::string_view valueName;  // shown in the usage; empty for an option without value
  std::string_view help;
  // Records the option; returns an error text, or an empty one when the value was accepted.
  std::string (*apply)(Options& options, std::string_view value);
};

std::string setText(std::optional<std::string>& field, std::string_view value) {
  field = std::string(value);
  return {};
}

constexpr std::array kOptions = {
    OptionSpec{"--help", "-h", "", "print this help and exit",
               [](Options& o, std::string_view) {
                 o.command = Command::Help;  // asking for help is never wrong
                 return std::string();
               }},
    OptionSpec{"--output", "-o", "PATH", "the rendering MIDI file (one INPUT only); the chart goes beside it",
               [](Options& o, std::string_view value) {
                 if (value.empty()) return std::string("the output file name is empty");
                 return setText(o.output, value);
               }},
    OptionSpec{"--no-chart", "", "", "write the rendering MIDI file and the settings file only",
               [](Options& o, std::string_view) {
                 if (o.outputs == Outputs::MidiAndChart) o.outputs = Outputs::MidiOnly;
                 return std::string();
               }},
    OptionSpec{"--settings-only", "", "", "write the settings file only, without converting",
               [](Options& o, std::string_view) {
                 o.outputs = Outputs::SettingsOnly;
                 return std::string();
               }},
    OptionSpec{"--genre", "", "TEXT", "the chart's #GENRE",
               [](Options& o, std::string_view v) { return setText(o.genre, v); }},
    OptionSpec{"--title", "", "TEXT", "the chart's #TITLE",
               [](Options& o, std::string_view v) { return setText(o.title, v); }},
    OptionSpec{"--artist", "", "TEXT", "the chart's #ARTIST",
               [](Options& o, std::string_view v) { return setText(o.artist, v); }},
    OptionSpec{"--set", "", "ROW:FIELD=VALUE", "edit one setting of a track row (from 0) before converting",
               [](Options& o, std::string_view value) {
                 RowEdit edit;
                 std::string error = parseRowEdit(value, edit);
                 if (error.empty()) o.edits.push_back(std::move(edit));
                 return error;
               }},
    OptionSpec{"--list", "", "", "load INPUT and print one TAB-separated line per track row",
               [](Options& o, std::string_view) {
                 o.command = Command::List;
                 return std::string();
               }},
    OptionSpec{"--verbose", "-v", "", "print the engine's progress lines",
               [](Options& o, std::string_view) {
                 o.verbose = true;
                 return std::string();
               }},
    OptionSpec{"--quiet", "-q", "", "print no report of the tracks and files",
               [](Options& o, std::string_view) {
                 o.quiet = true;
                 return std::string();
               }},
};

const OptionSpec* findOption(std::string_view name) {
  const auto found = std::find_if(kOptions.begin(), kOptions.end(), [name](const OptionSpec& spec) {
    return spec.longName == name || (!spec.shortName.empty() && spec.shortName == name);
  });
  return found == kOptions.end() ? nullptr : &*found;
}

std::string inQuotes(std::string_view text) { return "\"" + std::string(text) + "\""; }

// Walks the arguments once, left to right.
class Parser {
public:
  explicit Parser(std::span<const std::string> args) : args_(args) {}

  ParseResult run() {
    bool optionsEnded = false;
    for (next_ = 0; next_ < args_.size();) {
      const std::string& arg = args_[next_++];
      std::string error;
      if (!optionsEnded && arg == "--") {
        optionsEnded = true;
      } else if (!optionsEnded && arg.size() > 1 && arg.front() == '-') {
        error = option(arg);
      } else {
        error = positional(arg);
      }
      if (!error.empty()) return {std::nullopt, error};
      if (options_.command == Command::Help) return {options_, {}};
    }
    return finish();
  }

private:
  std::string option(std::string_view arg) {
    const std::size_t equals = arg.starts_with("--") ? arg.find('=') : std::string_view::npos;
    const std::string_view name = arg.substr(0, equals);
    const OptionSpec* spec = findOption(name);
    if (!spec) return "unknown option " + inQuotes(name);
    if (spec->valueName.empty()) {
      if (equals != std::string_view::npos) return "option " + inQuotes(name) + " takes no value";
      return spec->apply(options_, {});
    }
    if (equals != std::string_view::npos) return spec->apply(options_, arg.substr(equals + 1));
    if (next_ >= args_.size()) return "option " + inQuotes(name) + " needs a value";
    return spec->apply(options_, args_[next_++]);
  }

  std::string positional(const std::string& arg) {
    if (arg.empty()) return "the input file name is empty";
    options_.inputs.push_back(arg);
    return {};
  }

  ParseResult finish() {
    if (options_.inputs.empty()) return {std::nullopt, "no input file given"};
    if (options_.command == Command::List && options_.inputs.size() > 1) {
      return {std::nullopt, "--list takes one input file, not " + std::to_string(options_.inputs.size())};
    }
    if (options_.output && options_.inputs.size() > 1) {
      return {std::nullopt,
              "-o names the output of one input file, not of " + std::to_string(options_.inputs.size())};
    }
    return {options_, {}};
  }

  std::span<const std::string> args_;
  std::size_t next_ = 0;
  Options options_;
};

}  // namespace

ParseResult parseOptions(std::span<const std::string> args) { return Parser(args).run(); }

std::string usageText() {
  std::string text =
      "Usage: rendlow-cli [options] INPUT...\n"
      "       rendlow-cli --list [--verbose] INPUT\n"
      "\n"
      "Converts each INPUT in turn as the desktop program's \"Midi&&BMS出力\" button does: the\n"
      "rendering MIDI file (INPUT with \"_out.mid\" for its extension, unless -o names it), the\n"
      "settings file beside the MIDI file, and the \".bme\" chart beside the rendering file. Then\n"
      "prints a table of the converted tracks and the files written.\n"
      "INPUT is a Standard MIDI File, or a settings file (.txt) that names one.\n"
      "\n"
      "Options:\n";
  for (const OptionSpec& spec : kOptions) {
    std::string names = spec.shortName.empty() ? "    " : std::string(spec.shortName) + ", ";
    names += spec.longName;
    if (!spec.valueName.empty()) names += " " + std::string(spec.valueName);
    names.resize(std::max<std::size_t>(names.size() + 2, 24), ' ');
    text += "  " + names + std::string(spec.help) + "\n";
  }
  text +=
      "\n"
      "--set FIELD is one of: " +
      std::string(rowEditFieldNames()) +
      ".\n"
      "ignoreBpm and enabled take 0 or 1; splitMethod 0 (single), 1 (chord) or 2 (legato).\n"
      "\n"
      "Exit status: 0 on success (also when a chart passes a limit of the format and is not\n"
      "written: the reason goes to standard error), 1 when a file cannot be read or written, 2 on a\n"
      "usage error.\n";
  return text;
}

}  // namespace rendlow::cli
