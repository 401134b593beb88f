#include "app/load_flow.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>
#include <vector>

#include "app/application.h"
#include "app/form.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"

namespace rendlow {
namespace {

// A form in memory that also logs the calls the flow makes, so their order can be checked.
class RecordingForm : public Form {
public:
  struct Row {
    std::string name;
    TrackSettings settings;
    bool shown = false;
  };

  explicit RecordingForm(std::set<int> ids = {control::kInputFile, control::kOutputFile, control::kTrackTable,
                                              control::kGenre, control::kTitle, control::kArtist})
      : ids_(std::move(ids)) {}

  bool hasControl(int id) const override { return ids_.count(id) != 0; }
  std::string text(int id) const override {
    const auto found = texts.find(id);
    return found == texts.end() ? std::string() : found->second;
  }
  void setText(int id, std::string_view value) override {
    log.push_back("setText " + std::to_string(id));
    texts[id] = std::string(value);
  }
  void clearSelection() override {
    log.push_back("clearSelection");
    selectedRows.clear();
  }
  void clearRows() override {
    log.push_back("clearRows");
    rows.clear();
  }
  void addRow(std::string_view trackName) override {
    log.push_back("addRow");
    rows.push_back({std::string(trackName), {}, false});
  }
  void refreshRow(int row, const TrackSettings& settings) override {
    log.push_back("refreshRow " + std::to_string(row));
    rows.at(static_cast<std::size_t>(row)).settings = settings;
    rows.at(static_cast<std::size_t>(row)).shown = true;
  }
  void showMessage(std::string_view text) override { messages.emplace_back(text); }

  std::map<int, std::string> texts;
  std::vector<Row> rows;
  std::vector<int> selectedRows{0, 1};
  std::vector<std::string> messages;
  std::vector<std::string> log;

private:
  std::set<int> ids_;
};

// A conductor track, then one track per name; an entry of "-" is a track without content.
void writeSong(const std::string& path, const std::vector<std::string>& names) {
  test::MidiBuilder song;
  song.track().name("Conductor").tempo(0, 500000).timeSignature(0, 4, 2).endOfTrack(1920);
  for (const std::string& name : names) {
    test::TrackBuilder& track = song.track();
    if (name == "-") {
      track.name("Empty").noteOn(0, 0, 60, 100).noteOff(0, 0, 60).endOfTrack(0);
      continue;
    }
    if (!name.empty()) track.name(name);
    track.noteOn(0, 0, 60, 100).noteOff(480, 0, 60).endOfTrack(480);
  }
  song.write(path);
}

std::string linesOf(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

void writeText(const std::string& path, const std::string& text) {
  test::writeBytes(path, test::Bytes(text.begin(), text.end()));
}

std::vector<std::string> rowNames(const RecordingForm& form) {
  std::vector<std::string> names;
  for (const auto& row : form.rows) names.push_back(row.name);
  return names;
}

TEST(LoadMidiFile, ListsTheTracksWithContentAfterTheFirstAndNamesThemByRow) {
  test::TempDir dir;
  const std::string path = dir.file("song.mid");
  writeSong(path, {"-", "Piano", "Bass"});
  std::ostringstream diagnostics;
  Application app(&diagnostics);
  RecordingForm form;
  form.texts = {{control::kGenre, "old"}, {control::kTitle, "old"}, {control::kArtist, "old"}};
  loadFile(app, form, path);

  EXPECT_EQ(rowNames(form), (std::vector<std::string>{"Piano", "Bass"}));
  ASSERT_EQ(app.rowSettings.size(), 2u);
  for (int row = 0; row < 2; ++row) {
    const auto& track = app.project.listedTrack(row)->settings;
    EXPECT_EQ(track.definitionName, row == 0 ? "tr01" : "tr02");
    EXPECT_EQ(track.gridUnit, 0) << "a freshly loaded file has no grid";
    EXPECT_EQ(track.noteInterval, 960);
    EXPECT_EQ(app.rowSettings[row], track);
    EXPECT_EQ(form.rows[row].settings, track);
  }
  EXPECT_TRUE(form.selectedRows.empty());
  EXPECT_EQ(app.loadedMidiPath, path);
  EXPECT_EQ(form.text(control::kInputFile), path);
  EXPECT_EQ(form.text(control::kOutputFile), dir.file("song_out.mid"));
  EXPECT_EQ(form.text(control::kGenre), "");
  EXPECT_EQ(form.text(control::kTitle), "");
  EXPECT_EQ(form.text(control::kArtist), "");
  EXPECT_NE(diagnostics.str().find("Read Track 4...\n"), std::string::npos);

  const std::vector<std::string> order = {"setText 100",  "clearSelection", "clearRows",    "addRow",
                                          "refreshRow 0", "addRow",         "refreshRow 1", "setText 103",
                                          "setText 129",  "setText 131",    "setText 133"};
  EXPECT_EQ(form.log, order);
}

TEST(LoadMidiFile, AReloadReplacesTheRowsOfTheFileBefore) {
  test::TempDir dir;
  writeSong(dir.file("big.mid"), {"A", "B", "C"});
  writeSong(dir.file("small.mid"), {"D"});
  Application app;
  RecordingForm form;
  loadFile(app, form, dir.file("big.mid"));
  app.rowSettings[0].definitionName = "edited";
  loadFile(app, form, dir.file("small.mid"));
  EXPECT_EQ(rowNames(form), std::vector<std::string>{"D"});
  ASSERT_EQ(app.rowSettings.size(), 1u);
  EXPECT_EQ(app.rowSettings[0].definitionName, "tr01");
}

TEST(LoadMidiFile, AnUppercaseTxtExtensionIsAMidiFile) {
  test::TempDir dir;
  const std::string path = dir.file("song.TXT");
  writeSong(path, {"Piano"});
  Application app;
  RecordingForm form;
  loadFile(app, form, path);
  EXPECT_EQ(form.text(control::kInputFile), path);
  EXPECT_EQ(rowNames(form), std::vector<std::string>{"Piano"});
  EXPECT_EQ(form.text(control::kOutputFile), dir.file("song_out.mid"));
}

TEST(LoadMidiFile, AFileThatIsNotMidiLeavesAnEmptyTableButStillNamesTheOutput) {
  test::TempDir dir;
  const std::string path = dir.file("notes.mid");
  writeText(path, "These are not the bytes of a MIDI file.");
  Application app;
  RecordingForm form;
  form.rows.push_back({"stale", {}, true});
  loadFile(app, form, path);
  EXPECT_TRUE(form.rows.empty());
  EXPECT_TRUE(app.rowSettings.empty());
  EXPECT_EQ(app.loadedMidiPath, path);
  EXPECT_EQ(form.text(control::kOutputFile), dir.file("notes_out.mid"));
}

TEST(OutputName, CutsFourBytesAndAppendsOutOnlyAfterFiveBytes) {
  EXPECT_EQ(outputNameFor("C:\\a\\song.mid"), "C:\\a\\song_out.mid");
  EXPECT_EQ(outputNameFor("ab.mid"), "ab_out.mid");
  EXPECT_EQ(outputNameFor("a.mid"), "a.mid");
  EXPECT_EQ(outputNameFor("song"), "song");
  EXPECT_EQ(outputNameFor(""), "");
  EXPECT_EQ(outputNameFor("abcdef"), "ab_out.mid");
  const std::string longest(511, 'x');
  EXPECT_EQ(outputNameFor(longest), std::string(507, 'x') + "_out");
}

TEST(OutputName, FollowsTheInputBoxEvenWhenNoFileIsThere) {
  Application app;
  RecordingForm form;
  loadFile(app, form, "C:\\a\\song.mid");
  EXPECT_EQ(form.text(control::kOutputFile), "C:\\a\\song_out.mid");
  loadFile(app, form, "a.mid");
  EXPECT_EQ(form.text(control::kOutputFile), "a.mid");
  EXPECT_TRUE(form.rows.empty());
}

TEST(SettingsFilePath, IsTheLastDotFollowedByLowerCaseTxt) {
  EXPECT_TRUE(isSettingsFilePath("C:\\music\\song.txt"));
  EXPECT_TRUE(isSettingsFilePath("song.txtx"));  // the four bytes from the dot decide
  EXPECT_TRUE(isSettingsFilePath("C:\\my.txt\\song"));
  EXPECT_FALSE(isSettingsFilePath("song.TXT"));
  EXPECT_FALSE(isSettingsFilePath("song.Txt"));
  EXPECT_FALSE(isSettingsFilePath("song.txt.mid"));
  EXPECT_FALSE(isSettingsFilePath("song.tx"));
  EXPECT_FALSE(isSettingsFilePath("txt"));
  EXPECT_FALSE(isSettingsFilePath(""));
}

TEST(LoadFile, DoesNothingOnAFormWithoutAnInputBox) {
  test::TempDir dir;
  writeSong(dir.file("song.mid"), {"Piano"});
  Application app;
  RecordingForm form({control::kOutputFile, control::kTrackTable});
  loadFile(app, form, dir.file("song.mid"));
  EXPECT_TRUE(form.log.empty());
  EXPECT_TRUE(app.project.tracks.empty());
  EXPECT_EQ(app.loadedMidiPath, "");
}

TEST(LoadFile, CutsThePathTo511Bytes) {
  Application app;
  RecordingForm form;
  const std::string longPath = std::string(600, 'p') + ".mid";
  loadFile(app, form, longPath);
  EXPECT_EQ(form.text(control::kInputFile), std::string(511, 'p'));
  EXPECT_EQ(app.loadedMidiPath, std::string(511, 'p'));
}

class LoadSettingsFile : public ::testing::Test {
protected:
  void load(const std::string& settings) {
    writeText(dir.file("song.txt"), settings);
    loadFile(app, form, dir.file("song.txt"));
  }

  test::TempDir dir;
  std::ostringstream diagnostics;
  Application app{&diagnostics};
  RecordingForm form;
};

TEST_F(LoadSettingsFile, LoadsTheMidiFileItNamesAndAppliesRecordsByTrackName) {
  const std::string midi = dir.file("song.mid");
  writeSong(midi, {"Piano", "", "Strings", "Piano", "Bass", "Lead"});
  load(linesOf({
      "i\t" + midi,
      "o\t" + dir.file("elsewhere.mid"),
      "tr\tPiano\tpno\t8\t480\t240\t2\t10\t1\t4\t5\t3",
      "tr\tBass\tbs\t1\t2\t3\t0\t4\t0\t5\t6\t7",
      "tr\tBass\tbass\t-1\t-1\t-1\t-1\t-1\t1\t-1\t-1\t-1",
      "tr\tStrings\t\t-1",
      "tr\tNobody\tnb\t1",
      "tr\t\tlost\t9",
      "g\tTrance",
      "t\tA\tTitle",
      "a\tSomeone",
  }));

  EXPECT_EQ(rowNames(form), (std::vector<std::string>{"Piano", "", "Strings", "Piano", "Bass", "Lead"}));
  EXPECT_EQ(form.text(control::kInputFile), midi);
  EXPECT_EQ(app.loadedMidiPath, midi);
  // Derived from the MIDI path: the "o" line's name does not survive.
  EXPECT_EQ(form.text(control::kOutputFile), dir.file("song_out.mid"));
  EXPECT_EQ(form.text(control::kGenre), "Trance");
  EXPECT_EQ(form.text(control::kTitle), "A\tTitle");
  EXPECT_EQ(form.text(control::kArtist), "Someone");

  TrackSettings piano;
  piano.trackName = "Piano";
  piano.definitionName = "pno";
  piano.velocitySplitWidth = 8;
  piano.noteInterval = 480;
  piano.gridUnit = 240;
  piano.splitMethod = 2;
  piano.multipleThreshold = 10;
  piano.ignoreBpm = true;
  piano.ccSplitWidth = 4;
  piano.ccInterval = 5;
  piano.wavDefinitionGap = 3;
  // One record, two tracks of that name.
  EXPECT_EQ(form.rows[0].settings, piano);
  EXPECT_EQ(form.rows[3].settings, piano);

  // The unnamed track: its record stopped at the empty name, so it is all defaults.
  TrackSettings unnamed;
  unnamed.definitionName = "tr02";
  EXPECT_EQ(form.rows[1].settings, unnamed);

  // A record cut short by its empty definition name: its numbers are defaults, not "keep", so
  // the track gets the default grid back; the kept name becomes the row-numbered one.
  TrackSettings strings;
  strings.trackName = "Strings";
  strings.definitionName = "tr03";
  EXPECT_EQ(form.rows[2].settings, strings);

  // No record: the fresh settings with no grid and a row-numbered definition name.
  TrackSettings lead;
  lead.definitionName = "tr06";
  lead.gridUnit = 0;
  EXPECT_EQ(form.rows[5].settings, lead);

  // Two records in file order: later values win, kept values (-1) come from the earlier one.
  TrackSettings bass;
  bass.trackName = "Bass";
  bass.definitionName = "bass";
  bass.velocitySplitWidth = 1;
  bass.noteInterval = 2;
  bass.gridUnit = 3;
  bass.splitMethod = 0;
  bass.multipleThreshold = 4;
  bass.ignoreBpm = true;
  bass.ccSplitWidth = 5;
  bass.ccInterval = 6;
  bass.wavDefinitionGap = 7;
  EXPECT_EQ(form.rows[4].settings, bass);

  for (int row = 0; row < 6; ++row) {
    EXPECT_EQ(app.rowSettings[row], form.rows[row].settings) << "row " << row;
    EXPECT_EQ(app.project.listedTrack(row)->settings, form.rows[row].settings) << "row " << row;
  }
}

TEST_F(LoadSettingsFile, ThatCannotBeOpenedLeavesEverythingEmpty) {
  form.texts = {{control::kInputFile, "old.mid"}, {control::kGenre, "old"}};
  loadFile(app, form, dir.file("missing.txt"));
  EXPECT_EQ(form.text(control::kInputFile), "");
  EXPECT_EQ(form.text(control::kOutputFile), "");
  EXPECT_EQ(form.text(control::kGenre), "");
  EXPECT_TRUE(form.rows.empty());
  EXPECT_EQ(app.loadedMidiPath, "");
  EXPECT_EQ(diagnostics.str(), "Failed to open file\n");
}

TEST_F(LoadSettingsFile, PutsItsOutputNameInTheBoxBeforeTheInputName) {
  load("o\tfirst.mid\ni\tsong.mid\n");
  const std::vector<std::string> start = {"setText 103", "setText 100", "clearSelection", "clearRows",
                                          "setText 103"};
  EXPECT_EQ(std::vector<std::string>(form.log.begin(), form.log.begin() + 5), start);
  EXPECT_EQ(form.text(control::kOutputFile), "song_out.mid");
}

}  // namespace
}  // namespace rendlow
