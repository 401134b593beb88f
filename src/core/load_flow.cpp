#include "core/load_flow.h"

#include <cstdio>
#include <map>
#include <vector>

#include "core/application.h"
#include "core/form.h"
#include "core/settings_file.h"
#include "base/text.h"

namespace rendlow {

namespace {

// Every listed track starts with no grid, whatever the reader gave it: only a saved record or an
// edit sets one. rowSettings gets exactly one entry per listed track.
void startRows(Application& app) {
  app.rowSettings.clear();
  for (const auto& track : app.project.listedTracks()) {
    track->settings.gridUnit = 0;
    app.rowSettings.push_back(track->settings);
  }
}

// Each record applies to every listed track of its name, records in file order, so a later record
// overrides an earlier one. Folding each name's records into one edit first gives the tracks the
// same settings while touching each track once, however many records and tracks share a name.
void applyRecords(Application& app, const std::vector<TrackSettings>& records) {
  std::map<std::string, TrackSettings> editByName;
  for (const TrackSettings& record : records) {
    const auto [entry, first] = editByName.try_emplace(record.trackName, record);
    if (!first) entry->second.applyEdit(record);
  }
  const auto listed = app.project.listedTracks();
  for (std::size_t row = 0; row < listed.size(); ++row) {
    const auto edit = editByName.find(listed[row]->name);
    if (edit != editByName.end()) app.applyRowSettings(static_cast<int>(row), *listed[row], edit->second);
  }
}

// A row without a definition name gets "tr" and its 1-based row number.
std::string defaultDefinitionName(int row) {
  char name[16];
  std::snprintf(name, sizeof name, "tr%02d", row + 1);
  return name;
}

void rebuildTable(Application& app, Form& form) {
  form.clearRows();
  const auto listed = app.project.listedTracks();
  for (std::size_t i = 0; i < listed.size(); ++i) {
    const int row = static_cast<int>(i);
    MidiTrack& track = *listed[i];
    form.addRow(track.name);
    TrackSettings record = track.settings;
    if (record.definitionName.empty()) record.definitionName = defaultDefinitionName(row);
    app.applyRowSettings(row, track, record);
    form.refreshRow(row, record);
  }
}

}  // namespace

bool isSettingsFilePath(std::string_view path) {
  const std::size_t dot = findLastChar(path, '.');
  return dot != std::string_view::npos && path.substr(dot, 4) == ".txt";
}

std::string outputNameFor(std::string_view inputText) {
  if (inputText.size() <= 5) return std::string(inputText);
  std::string name(inputText.substr(0, inputText.size() - 4));
  name += "_out.mid";
  return boundedText(name);
}

void loadFile(Application& app, Form& form, std::string_view requestedPath) {
  if (!form.hasControl(control::kInputFile)) return;
  const std::string path = boundedText(requestedPath);

  SettingsFileContents contents;
  const bool settingsMode = isSettingsFilePath(path);
  std::string midiPath = path;
  if (settingsMode) {
    // A settings file that cannot be opened leaves every text empty, the MIDI path included.
    loadSettings(path, contents);
    midiPath = contents.inputPath;
    form.setText(control::kOutputFile, contents.outputPath);
  }
  form.setText(control::kInputFile, midiPath);

  // On failure the project holds no tracks and the flow goes on to show an empty table.
  app.readMidiFile(midiPath);
  app.loadedMidiPath = midiPath;

  startRows(app);
  if (settingsMode) applyRecords(app, contents.records);
  form.clearSelection();
  rebuildTable(app, form);

  // Derived from the input box, so it replaces whatever name the settings file gave.
  form.setText(control::kOutputFile, outputNameFor(form.text(control::kInputFile)));
  form.setText(control::kGenre, contents.genre);
  form.setText(control::kTitle, contents.title);
  form.setText(control::kArtist, contents.artist);
}

}  // namespace rendlow
