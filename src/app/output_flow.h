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
  std::optional<OutputFile> chart;     // the chart, when one was asked for
  // The output stopped before writing anything: an output would replace the input MIDI file or
  // another output, two tracks share a definition name, the MIDI file can no longer be read, or
  // a track is too complex to lay out.
  bool refused = false;
  // The chart passed a limit of the format or of its size and was not written on purpose.
  bool chartRefused = false;
  // Written, with something the author must read: the chart left out for a limit, a damaged
  // MIDI file, a re-timing that did not settle.
  bool warned = false;
  // Every message the user was shown other than the completion message, in the order shown.
  std::vector<Message> told;

  // Everything asked was written (a chart left out on purpose aside).
  bool ok() const {
    return !refused && (!midi || midi->status) && (!settings || settings->status) &&
           (!chart || chart->status || chartRefused);
  }
};

// Takes the output path and the chart header texts from the form. First makes sure that the
// files it is to write (the rendering MIDI file, the settings file, the chart) are three
// different files and none of them the input MIDI file, by identity where they exist; otherwise
// it writes nothing and says which two are one. With `writeMidi`: reads the MIDI file again from
// loadedMidiPath (if it cannot, writes nothing and says why), applies rowSettings by row
// position, refuses two converted tracks of one definition name, converts (a track too complex
// to lay out stops it, with nothing written), writes the rendering MIDI file and the settings
// file, and tells the user: the completion message when the MIDI file was written, then what
// went wrong or must be read (a file not written, a damaged MIDI file, a re-timing that did not
// settle). Without it only the settings file is written. With `writeBms` the chart follows,
// after the completion message (see writeChart).
OutputResult runOutput(Application& app, Form& form, bool writeMidi, bool writeBms);

}  // namespace rendlow
