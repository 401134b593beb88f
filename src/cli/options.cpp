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

constexpr std::array kOptions = {
    OptionSpec{"--help", "-h", "", "print this help and exit",
               [](Options& o, std::string_view) {
                 o.command = Command::Help;  // asking for help is never wrong
                 return std::string();
               }},
    OptionSpec{"--list", "", "", "load INPUT and print one TAB-separated line per track row",
               [](Options& o, std::string_view) {
                 o.command = Command::List;
                 return std::string();
               }},
    OptionSpec{"--verbose", "-v", "", "print the reader's progress lines first",
               [](Options& o, std::string_view) {
                 o.verbose = true;
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
    if (!options_.input.empty()) {
      return "more than one input file: " + inQuotes(options_.input) + " and " + inQuotes(arg);
    }
    if (arg.empty()) return "the input file name is empty";
    options_.input = arg;
    return {};
  }

  ParseResult finish() {
    if (!options_.command) return {std::nullopt, "no command given (--list)"};
    if (options_.input.empty()) return {std::nullopt, "no input file given"};
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
      "Usage: rendlow-cli --list [--verbose] INPUT\n"
      "\n"
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
      "Exit status: 0 on success, 1 when a file cannot be read or written, 2 on a usage error.\n";
  return text;
}

}  // namespace rendlow::cli
