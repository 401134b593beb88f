#include "app/output_flow.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <map>

#include "app/application.h"
#include "app/form.h"
#include "app/load_flow.h"
#include "support/interop_export.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"

namespace rendlow {
namespace {

using test::MidiBuilder;

// The main form in memory: its boxes, its rows and the messages shown.
class FormInMemory : public Form {
public:
  explicit FormInMemory(bool withOutputBox = true) {
    for (int id :
         {control::kInputFile, control::kTrackTable, control::kGenre, control::kTitle, control::kArtist})
      texts_[id];
    if (withOutputBox) texts_[control::kOutputFile];
  }
  bool hasControl(int id) const override { return texts_.count(id) != 0; }
  std::string text(int id) const override { return hasControl(id) ? texts_.at(id) : ""; }
  void setText(int id, std::string_view text) override {
    if (hasControl(id)) texts_[id] = std::string(text);
  }
  void clearSelection() override {}
  void clearRows() override { rows = 0; }
  void addRow(std::string_view) override { ++rows; }
  void refreshRow(int, const TrackSettings&) override {}
  void showMessage(std::string_view text) override { messages.emplace_back(text); }

  int rows = 0;
  std::vector<std::string> messages;

private:
  std::map<int, std::string> texts_;
};

// The settings file as its lines read, whatever the platform's line end (it is a text file).
std::string settingsText(const std::string& path) {
  std::string text = test::readText(path);
  std::erase(text, '\r');
  return text;
}

// A conductor with a tempo change, then one track per name, each with two different sounds.
MidiBuilder songWithTracks(const std::vector<std::string>& names) {
  MidiBuilder song(480);
  song.track().name("Conductor").tempo(0, 500000).timeSignature(0, 4, 2).tempo(3840, 400000).endOfTrack(3840);
  int pitch = 48;
  for (const std::string& name : names) {
    song.track()
        .name(name)
        .noteOn(480, 0, pitch, 100)
        .noteOff(960, 0, pitch)
        .noteOn(4000, 0, pitch + 1, 90)
        .noteOff(4480, 0, pitch + 1)
        .endOfTrack(4480);
    pitch += 5;
  }
  return song;
}

// A loaded song, as the user sees it after opening the file.
struct LoadedSong {
  explicit LoadedSong(const MidiBuilder& song, bool withOutputBox = true) : form(withOutputBox) {
    song.write(midiPath);
    loadFile(app, form, midiPath);
  }
  std::string outputPath() const { return form.text(control::kOutputFile); }
  std::size_t tracksIn(const std::string& path) {
    Application reader;
    EXPECT_TRUE(reader.readMidiFile(path));
    return reader.project.tracks.size();
  }

  test::TempDir dir;
  std::string midiPath = dir.file("song.mid");
  std::string settingsPath = dir.file("song.txt");
  Application app;
  FormInMemory form;
};

TEST(OutputFlow, MidiOutputWritesBothFilesThenSaysSo) {
  LoadedSong loaded(songWithTracks({"Piano", "Bass"}));
  ASSERT_EQ(loaded.outputPath(), loaded.dir.file("song_out.mid"));
  const OutputResult result = runOutput(loaded.app, loaded.form, true, false);
  EXPECT_TRUE(result.ok());
  ASSERT_TRUE(result.midi && result.settings);
  EXPECT_EQ(result.midi->path, loaded.outputPath());
  EXPECT_EQ(result.settings->path, loaded.settingsPath);
  EXPECT_EQ(loaded.form.messages, (std::vector<std::string>{kMidiWrittenMessage}));
  test::exportForInterop(loaded.app.project, loaded.outputPath());
  EXPECT_EQ(loaded.tracksIn(loaded.outputPath()), 3u);
  EXPECT_EQ(loaded.app.project.outputPath, loaded.outputPath());
  EXPECT_NE(settingsText(loaded.settingsPath).find("o\t" + loaded.outputPath() + "\n"), std::string::npos);
  // The tracks hold their layouts now, the song as read beside them.
  EXPECT_FALSE(loaded.app.project.tracks[1]->originalEvents.empty());
}

TEST(OutputFlow, RowSettingsGoBackByRowPositionToTheSongAsItNowStands) {
  LoadedSong loaded(songWithTracks({"Piano", "Bass"}));
  TrackSettings edit = loaded.app.rowSettings[1];
  edit.noteInterval = 480;
  edit.gridUnit = 960;
  ASSERT_TRUE(loaded.app.applyRowSettings(1, edit));
  // The file gains a track before the others while the user works.
  songWithTracks({"Strings", "Piano", "Bass"}).write(loaded.midiPath);

  runOutput(loaded.app, loaded.form, true, false);
  const Project& project = loaded.app.project;
  EXPECT_EQ(project.listedTrack(1)->name, "Piano");
  EXPECT_EQ(project.listedTrack(1)->settings.noteInterval, 480);  // row 1's settings
  EXPECT_EQ(project.listedTrack(1)->settings.gridUnit, 960);
  EXPECT_EQ(project.listedTrack(2)->settings, TrackSettings{});  // beyond the rows: defaults
  test::exportForInterop(project, loaded.outputPath());
  EXPECT_EQ(loaded.tracksIn(loaded.outputPath()), 4u);
}

TEST(OutputFlow, AnUncheckedRowLeavesItsTrackOutOfTheRenderingFile) {
  LoadedSong loaded(songWithTracks({"Piano", "Bass"}));
  TrackSettings edit = loaded.app.rowSettings[0];
  edit.enabled = false;
  ASSERT_TRUE(loaded.app.applyRowSettings(0, edit));
  runOutput(loaded.app, loaded.form, true, false);
  test::exportForInterop(loaded.app.project, loaded.outputPath());
  EXPECT_EQ(loaded.tracksIn(loaded.outputPath()), 2u);
}

TEST(OutputFlow, SaveSettingsNeitherReadsNorConverts) {
  LoadedSong loaded(songWithTracks({"Piano"}));
  std::filesystem::remove(loaded.midiPath);
  loaded.form.setText(control::kOutputFile, "C:\\a\\song_out.mid");
  loaded.form.setText(control::kGenre, "Ambient");
  const OutputResult result = runOutput(loaded.app, loaded.form, false, false);
  EXPECT_TRUE(result.ok());
  EXPECT_FALSE(result.midi);
  EXPECT_TRUE(loaded.form.messages.empty());
  const std::string saved = settingsText(loaded.settingsPath);
  EXPECT_NE(saved.find("o\tC:\\a\\song_out.mid\n"), std::string::npos);
  EXPECT_NE(saved.find("g\tAmbient\n"), std::string::npos);
  EXPECT_NE(saved.find("tr\tPiano\t"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists("C:\\a\\song_out.mid"));
  EXPECT_TRUE(loaded.app.project.tracks[1]->originalEvents.empty());
}

TEST(OutputFlow, ARenderingFileThatCannotBeWrittenIsToldNeverCompleted) {
  LoadedSong loaded(songWithTracks({"Piano"}));
  const std::string unwritable = loaded.dir.file("missing") + "/song_out.mid";
  loaded.form.setText(control::kOutputFile, unwritable);
  const OutputResult result = runOutput(loaded.app, loaded.form, true, false);
  EXPECT_FALSE(result.ok());
  EXPECT_FALSE(result.midi->status.ok);
  ASSERT_EQ(loaded.form.messages.size(), 1u);
  EXPECT_EQ(loaded.form.messages[0], midiNotWrittenMessage(unwritable, result.midi->status.reason));
  EXPECT_EQ(result.midi->status.reason, writeReason(ENOENT));
  EXPECT_TRUE(result.settings->status.ok);  // the settings are still saved
  EXPECT_TRUE(std::filesystem::exists(loaded.settingsPath));
}

TEST(OutputFlow, ASettingsFileThatCannotBeWrittenIsToldAfterTheCompletion) {
  LoadedSong loaded(songWithTracks({"Piano"}));
  std::filesystem::create_directory(loaded.settingsPath);  // a folder where the file should go
  const OutputResult result = runOutput(loaded.app, loaded.form, true, false);
  EXPECT_TRUE(result.midi->status.ok);
  test::exportForInterop(loaded.app.project, loaded.outputPath());
  EXPECT_FALSE(result.settings->status.ok);
  ASSERT_EQ(loaded.form.messages.size(), 2u);
  EXPECT_EQ(loaded.form.messages[0], kMidiWrittenMessage);
  EXPECT_EQ(loaded.form.messages[1],
            settingsNotSavedMessage(loaded.settingsPath, result.settings->status.reason));

  loaded.form.messages.clear();
  EXPECT_FALSE(runOutput(loaded.app, loaded.form, false, false).ok());
  ASSERT_EQ(loaded.form.messages.size(), 1u);
  EXPECT_EQ(loaded.form.messages[0].rfind(std::string(kSettingsNotSavedMessage) + "\n", 0), 0u);
}

TEST(OutputFlow, TakesTheHeaderTextsFromTheForm) {
  LoadedSong loaded(songWithTracks({"Piano"}));
  loaded.form.setText(control::kGenre, "G");
  loaded.form.setText(control::kTitle, std::string(600, 't'));
  loaded.form.setText(control::kArtist, "");
  runOutput(loaded.app, loaded.form, true, false);
  test::exportForInterop(loaded.app.project, loaded.outputPath());
  EXPECT_EQ(loaded.app.project.genre, "G");
  EXPECT_EQ(loaded.app.project.title, std::string(511, 't'));
  EXPECT_EQ(loaded.app.project.artist, "");
}

#ifndef _WIN32
// Where texts are UTF-8 the engine's messages can be read here as they are written.
TEST(OutputFlow, TheMessagesSayWhatHappened) {
  EXPECT_STREQ(kMidiWrittenMessage, "midiファイルを出力しました");
  EXPECT_STREQ(kMidiNotWrittenMessage, "midiファイルを出力できませんでした");
  EXPECT_STREQ(kSettingsNotSavedMessage, "設定ファイルを保存できませんでした");
  EXPECT_EQ(
      midiNotWrittenMessage("/a/out.mid", writeReason(ENOENT)),
      "midiファイルを出力できませんでした\n"
      "ファイル: /a/out.mid\n"
      "ファイルまたはフォルダーが見つかりません。保存先のフォルダーがあって書き込めるか、ファイルがほかの"
      "プログラムで開かれていないか確かめてください。");
}
#endif

TEST(OutputFlow, AFormWithoutAnOutputBoxWritesNothing) {
  LoadedSong loaded(songWithTracks({"Piano"}), false);
  const OutputResult result = runOutput(loaded.app, loaded.form, true, false);
  EXPECT_FALSE(result.midi);
  EXPECT_FALSE(result.settings);
  EXPECT_TRUE(loaded.form.messages.empty());
  EXPECT_FALSE(std::filesystem::exists(loaded.settingsPath));
}

}  // namespace
}  // namespace rendlow
