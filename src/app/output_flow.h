#pragma once

// What happens when the user asks for output: the "Midi出力", "Midi&&BMS出力" and "設定保存"
// buttons all run runOutput.

#include <optional>
#include <string>
#include <vector>

#include "base/message.h"
#include "base/result.h"

namespace rendlow {

class Application;
class Form;

// One file an output was asked to write: where, and whether it was written (and if not, why).
struct OutputFile {
  std::string path;
  Result<void> status;
};

// What one output wrote, for front ends that report it themselves (the desktop program leaves
// that to the messages the flow shows).
struct OutputResult {
  std::optional<OutputFile> midi;      // the rendering MIDI file, when one was written or tried
  std::optional<OutputFile> settings;  // the settings file, when one was written or tried
  std::optional<OutputFile> chart;     // the chart, when one was asked for and the path can name one
  // The chart passed a limit of the format or of its size and was not written on purpose: the
  // user was told which limit, and the other files stand.
  bool chartRefused = false;
  // The output stopped before writing anything: an output would replace the input MIDI file, the
  // MIDI file can no longer be read, or a track is too complex to lay out.
  bool refused = false;
  // Every message the user was shown other than the completion message, in the order shown.
  std::vector<Message> problems;

  bool ok() const {
    return !refused && (!midi || midi->status) && (!settings || settings->status) &&
           (!chart || chart->status || chartRefused);
  }
};

// Takes the output path and the chart header texts from the form. First makes sure that no file
// it is to write (the rendering MIDI file, the settings file, the chart) is the input MIDI file
// itself, by identity, not by spelling; if one is, it writes nothing and says which. With
// `writeMidi`: reads the MIDI file again from loadedMidiPath (if it cannot, writes nothing and
// says why), applies rowSettings by row position, converts (a track too complex to lay out stops
// it, with nothing written), writes the rendering MIDI file and the settings file, and tells the
// user: the completion message when the MIDI file was written, then what went wrong, if anything
// (a file not written, a re-timing that did not settle). Without it only the settings file is
// written. With `writeBms` the chart follows, after the completion message (see writeChart).
OutputResult runOutput(Application& app, Form& form, bool writeMidi, bool writeBms);

}  // namespace rendlow
