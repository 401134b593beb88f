#include "cli/options.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

#include "app/paths.h"
#include "base/messages_cli.h"
#include "base/messages_fields.h"
#include "base/messages_usage.h"
#include "base/text.h"
#include "slicer/track_fields.h"

namespace rendlow::cli {

namespace {

// One option of the command line. Adding an option is adding a row to kOptions, and its line of
// the usage to the catalogue (optionHelp): the parser and the usage text both work from the table.
struct OptionRule {
  std::string_view longName;   // with its dashes
  std::string_view shortName;  // with its dash; empty when there is none
  std::string_view valueName;  // shown in the usage; empty for an option without value
  // Records the option, or refuses its value with why.
  Result<void> (*apply)(Options& options, std::string_view value);
};

// A header text keeps its place in the settings file's one-line record, so it holds no line break.
Result<void> headerText(std::optional<std::string>& field, std::string_view value) {
  if (value.size() > kMaxTextBytes) return Problem{headerTextTooLongReason()};
  if (value.find_first_of("\r\n") != std::string_view::npos) return Problem{headerTextLineBreakReason()};
  field = std::string(value);
  return {};
}

// Whether a name fits one field of the settings file: its record is a line, its fields parted by
// TABs.
bool keptOnOneLine(std::string_view name) { return name.find_first_of("\t\r\n") == std::string_view::npos; }

// The option has been recorded.
Result<void> accepted() { return {}; }

constexpr std::array kOptions = {
    OptionRule{"--help", "-h", "",
               [](Options& o, std::string_view) {
                 o.command = Command::Help;  // asking for help is never wrong
                 return accepted();
               }},
    OptionRule{"--version", "", "",
               [](Options& o, std::string_view) {
                 o.command = Command::Version;
                 return accepted();
               }},
    OptionRule{"--list", "", "",
               [](Options& o, std::string_view) {
                 o.command = Command::List;
                 return accepted();
               }},
    OptionRule{"--no-chart", "", "",
               [](Options& o, std::string_view) {
                 o.chart = false;
                 return accepted();
               }},
    OptionRule{"--settings-only", "", "",
               [](Options& o, std::string_view) {
                 o.settingsOnly = true;
                 return accepted();
               }},
    OptionRule{"--genre", "", "TEXT",
               [](Options& o, std::string_view value) { return headerText(o.genre, value); }},
    OptionRule{"--title", "", "TEXT",
               [](Options& o, std::string_view value) { return headerText(o.title, value); }},
    OptionRule{"--artist", "", "TEXT",
               [](Options& o, std::string_view value) { return headerText(o.artist, value); }},
    OptionRule{"--output", "-o", "OUTPUT",
               [](Options& o, std::string_view value) {
                 if (value.empty()) return Result<void>(Problem{outputNameEmptyReason()});
                 if (value == "-") return Result<void>(Problem{outputNameDashReason()});
                 if (!keptOnOneLine(value)) return Result<void>(Problem{outputNameUnsavableReason()});
                 if (value.size() > kMaxTextBytes) return Result<void>(Problem{outputNameTooLongReason()});
                 if (isSettingsFilePath(value)) return Result<void>(Problem{outputSettingsExtensionReason()});
                 o.outputPath = std::string(value);
                 return accepted();
               }},
    OptionRule{"--format", "", "bme|bmson",
               [](Options& o, std::string_view value) {
                 if (value == "bme")
                   o.chartFormat = ChartFormat::Bme;
                 else if (value == "bmson")
                   o.chartFormat = ChartFormat::Bmson;
                 else
                   return Result<void>(Problem{chartFormatUnknownReason(std::string(value))});
                 return accepted();
               }},
    OptionRule{"--fit", "", "",
               [](Options& o, std::string_view) {
                 o.fit = true;
                 return accepted();
               }},
    OptionRule{"--fresh-chart", "", "",
               [](Options& o, std::string_view) {
                 o.freshChart = true;
                 return accepted();
               }},
    OptionRule{"--set", "", "ROW:FIELD=VALUE",
               [](Options& o, std::string_view value) {
                 Result<RowEdit> edit = parseRowEdit(value);
                 if (!edit) return Result<void>(edit.problem());
                 o.edits.push_back(*edit);
                 return accepted();
               }},
    OptionRule{"--defaults", "", "",
               [](Options& o, std::string_view) {
                 o.defaults = true;
                 return accepted();
               }},
    OptionRule{"--cut", "", "STEMS",
               [](Options& o, std::string_view value) {
                 o.stemsFolder = std::string(value);
                 return accepted();
               }},
    OptionRule{"--keysounds", "", "",
               [](Options& o, std::string_view) {
                 o.keysounds = true;
                 return accepted();
               }},
    OptionRule{"--soundfont", "", "FILE",
               [](Options& o, std::string_view value) {
                 o.soundFont = std::string(value);
                 return accepted();
               }},
    OptionRule{"--synth", "", "fluidsynth|builtin",
               [](Options& o, std::string_view value) {
                 if (value == "fluidsynth")
                   o.synth = audio::Synth::FluidSynth;
                 else if (value == "builtin")
                   o.synth = audio::Synth::Builtin;
                 else
                   return Result<void>(Problem{synthUnknownReason(std::string(value))});
                 return accepted();
               }},
    OptionRule{"--ogg", "", "",
               [](Options& o, std::string_view) {
                 o.ogg = true;
                 return accepted();
               }},
    OptionRule{"--compare", "", "MIX.wav",
               [](Options& o, std::string_view value) {
                 o.recording = std::string(value);
                 return accepted();
               }},
    OptionRule{"--compare-tracks", "", "FOLDER",
               [](Options& o, std::string_view value) {
                 o.trackRecordings = std::string(value);
                 return accepted();
               }},
    OptionRule{"--verbose", "-v", "",
               [](Options& o, std::string_view) {
                 ++o.verbose;
                 return accepted();
               }},
    OptionRule{"--quiet", "-q", "",
               [](Options& o, std::string_view) {
                 o.quiet = true;
                 return accepted();
               }},
    OptionRule{"--no-wait", "", "",
               [](Options& o, std::string_view) {
                 o.noWait = true;
                 return accepted();
               }},
    OptionRule{"--clean", "", "",
               [](Options& o, std::string_view) {
                 o.clean = true;
                 return accepted();
               }},
};

const OptionRule* findOption(std::string_view name) {
  const auto found = std::find_if(kOptions.begin(), kOptions.end(), [name](const OptionRule& known) {
    return known.longName == name || (!known.shortName.empty() && known.shortName == name);
  });
  return found == kOptions.end() ? nullptr : &*found;
}

std::string inQuotes(std::string_view text) { return "\"" + std::string(text) + "\""; }

// Walks the arguments once, left to right.
class Parser {
public:
  explicit Parser(std::span<const std::string> args) : args_(args) {}

  Result<Options> run() {
    bool optionsEnded = false;
    for (next_ = 0; next_ < args_.size();) {
      const std::string& arg = args_[next_++];
      Result<void> taken;
      if (!optionsEnded && arg == "--") {
        optionsEnded = true;
      } else if (!optionsEnded && arg.size() > 1 && arg.front() == '-') {
        taken = option(arg);
      } else {
        taken = positional(arg);
      }
      if (!taken) return taken.problem();
      if (options_.command == Command::Help || options_.command == Command::Version) return options_;
    }
    return finish();
  }

private:
  Result<void> option(std::string_view arg) {
    const std::size_t equals = arg.starts_with("--") ? arg.find('=') : std::string_view::npos;
    const std::string_view name = arg.substr(0, equals);
    const OptionRule* known = findOption(name);
    const std::string quoted = inQuotes(name);
    if (!known) return Problem{unknownOptionReason(quoted)};
    if (known->valueName.empty()) {
      if (equals != std::string_view::npos) return Problem{optionTakesNoValueReason(quoted)};
      return known->apply(options_, {});
    }
    if (equals != std::string_view::npos) return known->apply(options_, arg.substr(equals + 1));
    if (next_ >= args_.size()) return Problem{optionNeedsValueReason(quoted)};
    return known->apply(options_, args_[next_++]);
  }

  Result<void> positional(const std::string& arg) {
    if (arg.empty()) return Problem{inputNameEmptyReason()};
    if (!keptOnOneLine(arg)) return Problem{inputNameUnsavableReason(arg)};
    options_.inputs.push_back(arg);
    return {};
  }

  bool converting() const {
    return !options_.chart || options_.settingsOnly || options_.outputPath || options_.chartFormat ||
           !options_.edits.empty() || options_.fit || options_.freshChart ||
           options_.genre || options_.title || options_.artist || options_.quiet || makesSounds() ||
           options_.soundFont || options_.synth || options_.ogg || options_.recording || options_.trackRecordings || options_.clean;
  }

  bool makesSounds() const { return options_.stemsFolder || options_.keysounds; }

  // Refuses options for sound files that do not go together.
  Result<void> checkSoundOptions() const {
    if (options_.stemsFolder && options_.keysounds) return Problem{cutWithKeysoundsReason()};
    if ((options_.soundFont || options_.ogg || options_.recording || options_.trackRecordings || options_.clean) &&
        !makesSounds())
      return Problem{soundOptionsWithoutSoundsReason()};
    if (options_.soundFont && !options_.keysounds) return Problem{soundFontWithoutKeysoundsReason()};
    if (options_.synth && !options_.keysounds) return Problem{synthWithoutKeysoundsReason()};
    if (options_.recording && !options_.stemsFolder) return Problem{compareWithoutCutReason()};
    if (options_.trackRecordings && !options_.stemsFolder) return Problem{compareTracksWithoutCutReason()};
    if (makesSounds() && (!options_.chart || options_.settingsOnly))
      return Problem{soundsWithoutChartReason()};
    return {};
  }

  Result<Options> finish() {
    if (options_.command == Command::List) {
      if (converting()) return Problem{listWithConvertingOptionsReason()};
      if (options_.inputs.size() > 1) return Problem{listWithManyInputsReason()};
    }
    if (Result<void> sounds = checkSoundOptions(); !sounds) return sounds.problem();
    if (!options_.command) options_.command = Command::Convert;
    if (options_.inputs.empty()) return Problem{noInputReason()};
    if (options_.outputPath && options_.inputs.size() > 1)
      return Problem{outputForManyInputsReason(options_.inputs.size())};
    return options_;
  }

  std::span<const std::string> args_;
  std::size_t next_ = 0;
  Options options_;
};

// One line of the usage: a name padded to the column where its explanation starts.
Message usageLine(std::string name, const Message& help) {
  name.resize(std::max<std::size_t>(name.size() + 2, 24), ' ');
  return Message::verbatim("  " + name) + help + Message::verbatim("\n");
}

// What a field is before any edit; a row without a definition name gets one when the song loads.
Message defaultOf(const TrackField& field) {
  if (field.kind == FieldKind::Name) return perRowNameDefault();
  return Message::verbatim(std::to_string(field.defaultValue));
}

}  // namespace

Result<Options> parseOptions(std::span<const std::string> args) { return Parser(args).run(); }

Message usageText() {
  Message text = usageOpening();
  for (const OptionRule& known : kOptions) {
    std::string names = known.shortName.empty() ? "    " : std::string(known.shortName) + ", ";
    names += known.longName;
    if (!known.valueName.empty()) names += " " + std::string(known.valueName);
    text += usageLine(names, optionHelp(known.longName));
  }
  text += fieldsHeading();
  for (const TrackField& field : trackSettingsFields())
    text += usageLine(std::string(field.name), fieldHelpLine(field.name, defaultOf(field)));
  return text + soundFilesSection() + exitStatusSection();
}

std::string versionText() { return std::string("rendlow-cli ") + RENDLOW_VERSION + "\n"; }

}  // namespace rendlow::cli
