#pragma once

// What happens when the user asks for output: the "Midi出力", "Midi&&BMS出力" and "設定保存"
// buttons all run runOutput.

#include <optional>
#include <string>

#include "core/file_output.h"

namespace rendlow {

class Application;
class Form;

// One file an output was asked to write: where, and whether it was written (and if not, why).
struct OutputFile {
  std::string path;
  WriteStatus status;
};

// What one output wrote, for front ends that report it themselves (the desktop program leaves
// that to the messages the flow shows).
struct OutputResult {
  std::optional<OutputFile> midi;      // the rendering MIDI file, when one was asked for
  std::optional<OutputFile> settings;  // the settings file, when one was asked for
  std::optional<OutputFile> chart;     // the chart, when one was asked for and the path can name one
  // The chart passed a limit of the format and was not written on purpose: the user was told which
  // limit and what raises sharing, and the other files stand.
  bool chartRefused = false;

  bool ok() const {
    return (!midi || midi->status.ok) && (!settings || settings->status.ok) &&
           (!chart || chart->status.ok || chartRefused);
  }
};

// The completion message, shown only when the rendering MIDI file was written.
inline constexpr const char* kMidiWrittenMessage = "midiファイルを出力しました";

// Takes the output path and the chart header texts from the form. With `writeMidi`: reads the
// MIDI file again from loadedMidiPath, applies rowSettings by row position, converts, writes the
// rendering MIDI file and the settings file, and tells the user: the completion message when the
// MIDI file was written, and for each file that could not be written which one and why. Without
// it only the settings file is written (a failure is told the same way). Nothing happens on a
// form without an output-file box. With `writeBms` the chart follows, after the completion
// message: refused as a whole when it passes a limit of the format (the user is told which), and
// a chart that cannot be written is told like the other files.
OutputResult runOutput(Application& app, Form& form, bool writeMidi, bool writeBms);

}  // namespace rendlow
