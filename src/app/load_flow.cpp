#include "app/load_flow.h"

#include <cstdio>
#include <map>
#include <vector>

#include "app/application.h"
#include "app/form.h"
#include "app/paths.h"
#include "app/settings_file.h"
#include "base/messages.h"
#include "base/text.h"

namespace rendlow {

namespace {

// Every listed track starts with no grid, whatever the reader gave it: only a saved record or an
// edit sets one. rowSettings gets exactly one entry per listed track.
void startRows(Application& app) {
  app.rowSettings.clear();
  for (const std::size_t track : app.project.listedTracks()) {
    TrackSettings& settings = app.project.settings[track];
    settings.gridUnit = 0;
    app.rowSettings.push_back(settings);
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
    const auto edit = editByName.find(app.project.song.tracks[listed[row]].name);
    if (edit != editByName.end()) app.applyRowSettings(static_cast<int>(row), listed[row], edit->second);
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
    form.addRow(app.project.song.tracks[listed[i]].name);
    TrackSettings record = app.project.settings[listed[i]];
    if (record.definitionName.empty()) record.definitionName = defaultDefinitionName(row);
    app.applyRowSettings(row, listed[i], record);
    form.refreshRow(row, record);
  }
}

// Why the load found no song, for the user.
Problem loadProblem(const std::string& path, bool settingsMode, const std::string& midiPath,
                    const Result<SettingsFileContents>& settings, const Result<void>& song) {
  if (settingsMode && !settings) return {settingsUnreadableMessage(path, settings.problem().message)};
  if (settingsMode && midiPath.empty()) return {settingsUnreadableMessage(path, noMidiNamedReason())};
  return {midiNotLoadedMessage(midiPath, song.problem().message, settingsMode ? path : std::string())};
}

}  // namespace

Result<void> loadFile(Application& app, Form& form, std::string_view requestedPath) {
  const std::string path = boundedText(requestedPath);

  const bool settingsMode = isSettingsFilePath(path);
  const Result<SettingsFileContents> loaded = settingsMode ? loadSettings(path) : SettingsFileContents{};
  // A settings file that cannot be read leaves every text empty, the MIDI path included.
  const SettingsFileContents contents = loaded ? *loaded : SettingsFileContents{};
  const std::string midiPath = settingsMode ? contents.inputPath : path;
  if (settingsMode) form.setText(Box::OutputFile, contents.outputPath);
  form.setText(Box::InputFile, midiPath);

  // On failure the project holds no tracks and the flow goes on to show an empty table.
  const Result<void> song = app.readMidiFile(midiPath);
  app.loadedMidiPath = midiPath;

  startRows(app);
  if (settingsMode) applyRecords(app, contents.records);
  form.clearSelection();
  rebuildTable(app, form);

  // Derived from the input box, so it replaces whatever name the settings file gave.
  form.setText(Box::OutputFile, outputNameFor(form.text(Box::InputFile)));
  form.setText(Box::Genre, contents.genre);
  form.setText(Box::Title, contents.title);
  form.setText(Box::Artist, contents.artist);
  if (!song) return loadProblem(path, settingsMode, midiPath, loaded, song);
  return {};
}

}  // namespace rendlow
