#include "core/output_flow.h"

#include <algorithm>

#include "core/application.h"
#include "core/conversion.h"
#include "core/form.h"
#include "core/settings_file.h"
#include "core/text.h"
#include "midi/midi_writer.h"

namespace rendlow {

namespace {

void takeBoxText(const Form& form, int id, std::string& field) {
  if (form.hasControl(id)) field = boundedText(form.text(id));
}

void takeHeaderTexts(Application& app, const Form& form) {
  takeBoxText(form, control::kGenre, app.project.genre);
  takeBoxText(form, control::kTitle, app.project.title);
  takeBoxText(form, control::kArtist, app.project.artist);
}

// A failure the user must hear of: what was not written, where, and why.
void tellFailure(Form& form, OutputResult& result, const char* what, const std::string& path,
                 const std::string& reason) {
  std::string message = what;
  message += "\n";
  message += path;
  message += "\n";
  message += reason;
  form.showMessage(message);
  result.failures.push_back(std::move(message));
}

WriteStatus saveSettingsFile(Application& app, OutputResult& result) {
  result.settingsPath = app.project.settingsPath;
  WriteStatus status = saveSettings(app.project);
  result.settingsWritten = status.ok;
  return status;
}

void tellSettingsFailure(Form& form, OutputResult& result, const WriteStatus& status) {
  if (!status) tellFailure(form, result, "設定ファイルを保存できませんでした", result.settingsPath, status.reason);
}

// The song as it now stands on disk, with each row's settings back on the track of that row.
void reloadWithRowSettings(Application& app) {
  app.readMidiFile(app.loadedMidiPath);
  const TrackList listed = app.project.listedTracks();
  const std::size_t rows = std::min(listed.size(), app.rowSettings.size());
  for (std::size_t row = 0; row < rows; ++row) {
    const TrackSettings record = app.rowSettings[row];
    app.applyRowSettings(static_cast<int>(row), *listed[row], record);
  }
}

}  // namespace

OutputResult runOutput(Application& app, Form& form, bool writeMidi, [[maybe_unused]] bool writeBms) {
  OutputResult result;
  if (!form.hasControl(control::kOutputFile)) return result;
  const std::string outputPath = boundedText(form.text(control::kOutputFile));
  takeHeaderTexts(app, form);
  if (!writeMidi) {
    app.project.outputPath = outputPath;
    tellSettingsFailure(form, result, saveSettingsFile(app, result));
    return result;
  }

  reloadWithRowSettings(app);
  convert(app.project, app.diagnostics);
  result.midiPath = outputPath;
  const WriteStatus midi = writeMidiFile(app.project, outputPath, app.diagnostics);
  result.midiWritten = midi.ok;
  const WriteStatus settings = saveSettingsFile(app, result);
  if (midi) form.showMessage(kMidiWrittenMessage);
  else tellFailure(form, result, "midiファイルを出力できませんでした", outputPath, midi.reason);
  tellSettingsFailure(form, result, settings);

  // CHART STEP: with writeBms, the chart is written here, after the user has closed the message.
  return result;
}

}  // namespace rendlow
