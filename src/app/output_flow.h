#pragma once

// What happens when the user asks for output: the "Midi出力", "Midi&&BMS出力" and "設定保存"
// buttons all run runOutput. It plans first (see planOutput), then writes every file in one
// place, in a fixed order: the rendering MIDI file and the chart together, then the settings file.

#include <optional>
#include <string>

#include "app/output_plan.h"
#include "base/notices.h"
#include "base/result.h"

namespace rendlow {

class Application;
class Form;

// One file an output was asked to write: where, and whether it was written (and if not, why).
struct OutputFile {
  std::string path;
  Result<void> status;
};

// The author's chart an output replaced, kept beside the new one.
struct KeptChart {
  std::string backup;
  Message summary;  // what was kept, naming the backup
  // Each object left out, for those who ask; with any, the summary is a warning, told among the
  // output's warnings once the chart stands.
  std::vector<Message> leftOut;
  std::optional<Notice> warning;
};

// What one output wrote, and what the author must read about it.
struct OutputResult {
  std::optional<OutputFile> midi;      // the rendering MIDI file, when one was written or tried
  std::optional<OutputFile> settings;  // the settings file, when one was written or tried
  std::optional<OutputFile> chart;     // the chart, when one was asked for
  // The chart was refused for a limit of its format, and the rendering file with it: the statuses of
  // both say why.
  bool pairRefused = false;
  Notices warnings;  // what the rendering file carries, once it stands
  // The author's chart the new one replaced; its summary is among the warnings when objects were
  // left out.
  std::optional<KeptChart> keptChart;
  // The conversion the files were written from; none when only the settings were saved.
  std::optional<Converted> converted;

  // Everything asked was written.
  bool ok() const;
  bool renderingWritten() const { return midi && midi->status; }
  // What the author is told of the files, in order: each file that was not written, and the
  // warnings once the rendering file stands.
  std::vector<Message> told() const;
};

// Plans the output the request asks for, then writes what it planned. The settings file names
// the output asked for, whether or not its rendering file could be written.
// A problem means nothing was written (see planOutput). The rendering file's warnings count only
// when it was written; a chart past a limit of its format is a failure that leaves out the
// rendering file too, and saves the settings file alone; a file that cannot be written is a
// failure, and the others are still written. With a window, tells the user once, when everything
// is written: the refusal, or outputMessage with the tone of the worst that happened (a settings
// file saved alone without a word, as the author saves often).
Result<OutputResult> runOutput(Application& app, const OutputRequest& request, Form* window = nullptr);

// Everything one output has to tell, in one message: the completion when the rendering file was
// written, what was kept of the author's chart, each notice in order, then which files were
// written and which were not.
Message outputMessage(const OutputResult& result);
// Which files of an output stand and which do not, so the author knows what to look at.
Message filesSummary(const OutputResult& result);
// The files of an output that stand, as a list: "song_out.mid, song.txt, song_out.bme".
std::string writtenFileList(const OutputResult& result);

// The desktop program's request: the output path and the chart header texts as its boxes hold them.
OutputRequest requestFromForm(const Form& form, OutputChoice choice);

}  // namespace rendlow
