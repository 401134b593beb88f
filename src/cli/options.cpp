#include "cli/options.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

#include "app/paths.h"
#include "base/messages_cli.h"
#include "base/text.h"
#include "slicer/track_fields.h"

namespace rendlow::cli {

namespace {

// One option of the command line. Adding an option is adding a row to kOptions: the parser and
// the usage text both work from the table.
struct OptionRule {
  std::string_view longName;   // with its dashes
  std::string_view shortName;  // with its dash; empty when there is none
  std::string_view valueName;  // shown in the usage; empty for an option without value
  std::string_view help;
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

// The option has been recorded.
Result<void> accepted() { return {}; }

constexpr std::array kOptions = {
    OptionRule{"--help", "-h", "", "print this help and exit",
               [](Options& o, std::string_view) {
                 o.command = Command::Help;  // asking for help is never wrong
                 return accepted();
               }},
    OptionRule{"--version", "", "", "print the name and version and exit",
               [](Options& o, std::string_view) {
                 o.command = Command::Version;
                 return accepted();
               }},
    OptionRule{"--list", "", "",
               "print the track rows a conversion of INPUT would use: a header line naming the fields, then "
               "one TAB-separated line per row",
               [](Options& o, std::string_view) {
                 o.command = Command::List;
                 return accepted();
               }},
    OptionRule{"--no-chart", "", "", "write the rendering MIDI file and the settings file, not the chart",
               [](Options& o, std::string_view) {
                 o.chart = false;
                 return accepted();
               }},
    OptionRule{"--settings-only", "", "", "write only the settings file, without converting",
               [](Options& o, std::string_view) {
                 o.settingsOnly = true;
                 return accepted();
               }},
    OptionRule{"--genre", "", "TEXT", "the chart's #GENRE (default: the loaded settings file's)",
               [](Options& o, std::string_view value) { return headerText(o.genre, value); }},
    OptionRule{"--title", "", "TEXT", "the chart's #TITLE (default: the loaded settings file's)",
               [](Options& o, std::string_view value) { return headerText(o.title, value); }},
    OptionRule{"--artist", "", "TEXT", "the chart's #ARTIST (default: the loaded settings file's)",
               [](Options& o, std::string_view value) { return headerText(o.artist, value); }},
    OptionRule{"--output", "-o", "OUTPUT",
               "the rendering MIDI file to write (default: INPUT's name + _out.mid); ending in /, the folder "
               "to write it into; ending in .bmson, a bmson chart, its rendering file beside it (.mid)",
               [](Options& o, std::string_view value) {
                 if (value.empty()) return Result<void>(Problem{outputNameEmptyReason()});
                 if (value.size() > kMaxTextBytes) return Result<void>(Problem{outputNameTooLongReason()});
                 if (isSettingsFilePath(value)) return Result<void>(Problem{outputSettingsExtensionReason()});
                 o.outputPath = std::string(value);
                 return accepted();
               }},
    OptionRule{"--format", "", "bme|bmson",
               "the chart's format: .bme (up to 1295 sounds), or bmson, without that limit (default: the one "
               "the output name or the saved settings ask for)",
               [](Options& o, std::string_view value) {
                 if (value == "bme") o.chartFormat = ChartFormat::Bme;
                 else if (value == "bmson") o.chartFormat = ChartFormat::Bmson;
                 else return Result<void>(Problem{chartFormatUnknownReason(std::string(value))});
                 return accepted();
               }},
    OptionRule{"--fit", "", "",
               "when a .bme chart would need more #WAV ids than ZZ (1295), slice as finely as fits: "
               "print what changed and save it in the settings file",
               [](Options& o, std::string_view) {
                 o.fit = true;
                 return accepted();
               }},
    OptionRule{"--set", "", "ROW:FIELD=VALUE", "set one field of a track row (from 0) before the output",
               [](Options& o, std::string_view value) {
                 Result<RowEdit> edit = parseRowEdit(value);
                 if (!edit) return Result<void>(edit.problem());
                 o.edits.push_back(*edit);
                 return accepted();
               }},
    OptionRule{"--defaults", "", "",
               "start from the default settings, not from the settings file saved beside INPUT",
               [](Options& o, std::string_view) {
                 o.defaults = true;
                 return accepted();
               }},
    OptionRule{"--cut", "", "STEMS",
               "cut the sound files out of your renders of each track, STEMS/tr01.wav ...",
               [](Options& o, std::string_view value) {
                 o.stemsFolder = std::string(value);
                 return accepted();
               }},
    OptionRule{"--keysounds", "", "", "render the sound files with FluidSynth, and measure the chart",
               [](Options& o, std::string_view) {
                 o.keysounds = true;
                 return accepted();
               }},
    OptionRule{"--soundfont", "", "FILE",
               "the SoundFont for --keysounds (default: a General MIDI one installed)",
               [](Options& o, std::string_view value) {
                 o.soundFont = std::string(value);
                 return accepted();
               }},
    OptionRule{"--ogg", "", "", "write the sound files as Ogg Vorbis (.ogg) instead of WAV",
               [](Options& o, std::string_view) {
                 o.ogg = true;
                 return accepted();
               }},
    OptionRule{"--compare", "", "MIX.wav",
               "with --cut: measure the chart against your render of the whole song",
               [](Options& o, std::string_view value) {
                 o.recording = std::string(value);
                 return accepted();
               }},
    OptionRule{"--compare-tracks", "", "FOLDER",
               "with --cut: measure each track against your render of it in the song, FOLDER/tr01.wav ...",
               [](Options& o, std::string_view value) {
                 o.trackRecordings = std::string(value);
                 return accepted();
               }},
    OptionRule{"--verbose", "-v", "",
               "print what is being read, converted and written on standard error; twice, every event too",
               [](Options& o, std::string_view) {
                 ++o.verbose;
                 return accepted();
               }},
    OptionRule{"--quiet", "-q", "", "print no table of the tracks and no list of the files written",
               [](Options& o, std::string_view) {
                 o.quiet = true;
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
    options_.inputs.push_back(arg);
    return {};
  }

  bool converting() const {
    return !options_.chart || options_.settingsOnly || options_.outputPath || options_.chartFormat ||
           !options_.edits.empty() || options_.fit ||
           options_.genre || options_.title || options_.artist || options_.quiet || makesSounds() ||
           options_.soundFont || options_.ogg || options_.recording || options_.trackRecordings;
  }

  bool makesSounds() const { return options_.stemsFolder || options_.keysounds; }

  // Refuses options for sound files that do not go together.
  Result<void> checkSoundOptions() const {
    if (options_.stemsFolder && options_.keysounds) return Problem{cutWithKeysoundsReason()};
    if ((options_.soundFont || options_.ogg || options_.recording || options_.trackRecordings) && !makesSounds())
      return Problem{soundOptionsWithoutSoundsReason()};
    if (options_.soundFont && !options_.keysounds) return Problem{soundFontWithoutKeysoundsReason()};
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
std::string usageLine(std::string name, std::string_view help) {
  name.resize(std::max<std::size_t>(name.size() + 2, 24), ' ');
  return "  " + name + std::string(help) + "\n";
}

}  // namespace

Result<Options> parseOptions(std::span<const std::string> args) { return Parser(args).run(); }

std::string usageText() {
  std::string text =
      "Usage: rendlow-cli [options] INPUT...\n"
      "  or:  rendlow-cli --list [--defaults] [--verbose] INPUT\n"
      "\n"
      "INPUT is a Standard MIDI File, or a settings file (.txt) that names one. Each INPUT in turn is\n"
      "loaded, edited (--set) and converted as the desktop program's \"Midi&BMS出力\" button does: the\n"
      "rendering MIDI file (INPUT's name + _out.mid unless -o names it), the settings file beside the\n"
      "MIDI file (INPUT's name + .txt) and the chart beside the rendering file (its name + .bme).\n"
      "--no-chart does what \"Midi出力\" does, and --settings-only what \"設定保存\" does. When the\n"
      "settings file beside a MIDI file names that file, it is loaded too, so a second run keeps the\n"
      "setup of the first. Then a table shows, per converted track, its notes, its chart objects, its\n"
      "distinct sounds (the sound files to cut), its definitions and its #WAV ids, followed by the\n"
      "files written.\n"
      "\n"
      "Options:\n";
  for (const OptionRule& known : kOptions) {
    std::string names = known.shortName.empty() ? "    " : std::string(known.shortName) + ", ";
    names += known.longName;
    if (!known.valueName.empty()) names += " " + std::string(known.valueName);
    text += usageLine(names, known.help);
  }
  text +=
      "\nFields of --set ROW:FIELD=VALUE (ROW counts from 0, as --list shows; VALUE is a whole number from "
      "0,\n"
      "or the name for definitionName; fields not named keep their value):\n";
  for (const TrackField& field : trackSettingsFields())
    text += usageLine(std::string(field.name), fieldHelp(field));
  text +=
      "\n"
      "Sound files: --cut STEMS cuts them out of your own renders: render each track of the rendering MIDI\n"
      "file from its start, one file per track named by its definition name (tr01.wav, ...), into STEMS.\n"
      "--keysounds renders them with FluidSynth instead. Either way every sound the chart names is written\n"
      "beside the chart, and the chart's playback is measured against the song (your MIX.wav with "
      "--compare,\n"
      "or the song rendered directly), and each track alone (against --compare-tracks, or the track\n"
      "rendered directly), worst first. The fidelity line gives: the log-spectral distance (dB, lower is\n"
      "closer; compare runs of one song, a whole track can be missing at 4 dB), the SNR of the spectra,\n"
      "which ignores phase, and of the waveform (dB, higher is closer), the worst 50 ms and when it is,\n"
      "the mix's peak (above 0 dBFS the chart clips), and how far the playback lags. Finer splits (a\n"
      "small velocity or controller width in place of 0, which ignores them: --set\n"
      "ROW:velocitySplitWidth=16 ...) bring the figures closer at the cost of more sound files.\n";
  text +=
      "\n"
      "Exit status:\n"
      "  0  everything asked was written.\n"
      "  1  refused or failed: nothing was written, the settings file aside, and standard error says why\n"
      "     and which files were and were not written. A chart past a limit of its format (ids up to ZZ,\n"
      "     measures up to 999, 64 MiB of lines) is refused with its rendering MIDI file: the two stay a\n"
      "     pair, and the settings file is saved so your edits are kept; a .bme past ZZ names the settings\n"
      "     --fit would choose. --fit refuses a song that passes ZZ even sliced as coarsely as it goes.\n"
      "     The whole output is refused when\n"
      "     two of its files would be one file or one of them INPUT's MIDI file itself (by identity: links\n"
      "     and letter case count), when an output is a folder, a device or a read-only file, when two\n"
      "     converted tracks share a definition name, or when a track is too complex to lay out.\n"
      "  2  a mistake in the command: an unknown option, a value out of range, a row INPUT does not have.\n"
      "  3  written, with something to read on standard error: a damaged MIDI file, a song without\n"
      "     notes, a re-timing that did not settle, the settings file saved beside the chart, stems\n"
      "     missing, unreadable, left over, too short or not made from this rendering file, sounds\n"
      "     silent in the song, a fidelity that could not be measured, or a playback silent where the\n"
      "     song sounds, lagging past 20 ms, longer than its reference or clipping.\n";
  return text;
}

std::string versionText() { return std::string("rendlow-cli ") + RENDLOW_VERSION + "\n"; }

}  // namespace rendlow::cli
