#include "app/load_flow.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

#include "app/application.h"
#include "app/form.h"
#include "app/job.h"
#include "app/output_plan.h"
#include "app/paths.h"
#include "app/settings_file.h"
#include "base/file_input.h"
#include "base/messages.h"
#include "base/text.h"
#include "slicer/track_fields.h"

namespace rendlow {

namespace {

// Every listed track starts from the field table's defaults, which differ from those of a track
// no row sets (no grid): only a saved record or an edit changes them.
void startRows(Application& app) {
  for (const std::size_t track : app.project.listedTracks()) setFieldDefaults(app.project.settings[track]);
}

// The k-th record of a name goes to the k-th listed track of that name, so tracks that share a
// name (three "Guitar" tracks, say) each get their own line back; tracks beyond the records of
// their name take the last one.
void applyRecords(Application& app, const std::vector<TrackSettings>& records) {
  std::map<std::string, std::vector<const TrackSettings*>> recordsByName;
  for (const TrackSettings& record : records) recordsByName[record.trackName].push_back(&record);
  std::map<std::string, std::size_t> seen;
  const auto listed = app.project.listedTracks();
  for (std::size_t row = 0; row < listed.size(); ++row) {
    const std::string& name = app.project.song.tracks[listed[row]].name;
    const auto found = recordsByName.find(name);
    if (found == recordsByName.end()) continue;
    const std::vector<const TrackSettings*>& ofName = found->second;
    const std::size_t k = std::min(seen[name]++, ofName.size() - 1);
    app.applyRowSettings(listed[row], *ofName[k]);
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
    app.applyRowSettings(listed[i], record);
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

// The MIDI file a file opened in the window stands for: itself, or the one a settings file names,
// which must be there.
Result<std::string> songOf(const std::string& opened) {
  if (!isSettingsFilePath(opened)) return opened;
  const Result<SettingsFileContents> settings = loadSettings(opened);
  if (!settings) return Problem{settingsUnreadableMessage(opened, settings.problem().message)};
  if (settings->inputPath.empty()) return Problem{settingsUnreadableMessage(opened, noMidiNamedReason())};
  if (!fileExists(settings->inputPath)) return Problem{setupSongMissingMessage(opened, settings->inputPath)};
  return settings->inputPath;
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

  startRows(app);
  if (settingsMode) applyRecords(app, contents.records);
  app.project.keepRecordsOfUnreadTracks(contents.records);
  app.project.settingsReadAsUtf8 = contents.readAsUtf8;
  form.clearSelection();
  rebuildTable(app, form);

  // Derived from the input box, so it replaces whatever name the settings file gave, but for the
  // chart format that name asked for: a second output writes the same kind of chart.
  form.setText(Box::OutputFile,
               withChartFormat(outputNameFor(form.text(Box::InputFile)), chartFormatOf(contents.outputPath)));
  form.setText(Box::Genre, contents.genre);
  form.setText(Box::Title, contents.title);
  form.setText(Box::Artist, contents.artist);
  app.project.chartHeader = {boundedText(contents.genre), boundedText(contents.title),
                             boundedText(contents.artist)};
  app.project.chartDigest = contents.chartDigest;
  if (!song) return loadProblem(path, settingsMode, midiPath, loaded, song);
  return {};
}

bool openInWindow(Application& app, Form& form, std::string_view requestedPath) {
  const std::string path = boundedText(requestedPath);
  const std::string opened = savedSettingsFor(path).value_or(path);
  const Result<std::string> song = songOf(opened);
  if (!song) {
    form.showMessage(song.problem().message, Tone::Error);
    return false;
  }
  const std::string namedBy = opened == *song ? std::string() : opened;
  if (Result<void> reads = app.checkMidiFile(*song); !reads) {
    form.showMessage(midiNotLoadedMessage(*song, reads.problem().message, namedBy), Tone::Error);
    return false;
  }
  // Checked just now; a file changed since then is told as any that does not read.
  if (Result<void> loaded = loadFile(app, form, opened); !loaded) {
    form.showMessage(loaded.problem().message, Tone::Error);
    return false;
  }
  form.showStatus(namedBy.empty() ? Message() : usingSavedSettingsMessage(namedBy));
  if (!app.project.song.damage.empty())
    form.showMessage(midiDamagedMessage(*song, damageReport(app.project.song)), Tone::Warning);
  return true;
}

}  // namespace rendlow
