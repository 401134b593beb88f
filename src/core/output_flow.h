#pragma once

// What happens when the user asks for output: the "Midi出力", "Midi&&BMS出力" and "設定保存"
// buttons all run runOutput.

#include <string>
#include <vector>

namespace rendlow {

class Application;
class Form;

// What one output wrote, for front ends that report it (the desktop program has the user read
// the messages instead).
struct OutputResult {
  std::string midiPath;      // the rendering MIDI file asked for; empty when none was asked for
  bool midiWritten = false;
  std::string settingsPath;  // the settings file asked for; empty when none was asked for
  bool settingsWritten = false;
  std::vector<std::string> failures;  // the messages that told the user what could not be written

  bool ok() const { return failures.empty(); }
};

// The completion message, shown only when the rendering MIDI file was written.
inline constexpr const char* kMidiWrittenMessage = "midiファイルを出力しました";

// Takes the output path and the chart header texts from the form. With `writeMidi`: reads the
// MIDI file again from loadedMidiPath, applies rowSettings by row position, converts, writes the
// rendering MIDI file and the settings file, and tells the user: the completion message when the
// MIDI file was written, and for each file that could not be written which one and why. Without
// it only the settings file is written (a failure is told the same way). Nothing happens on a
// form without an output-file box.
OutputResult runOutput(Application& app, Form& form, bool writeMidi, bool writeBms);

}  // namespace rendlow
