#include <filesystem>
#include <string>
#include <vector>

#include "app/application.h"
#include "base/messages.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"
#include "ui/form_ids.h"
#include "ui/main_form.h"
#include "ui/textbox_info.h"
#include "ui/win32.h"
#include "ui_test_support.h"

namespace rendlow::ui {
namespace {

// What the user saw of a message box, and what was on disk while it was open.
struct SeenMessage {
  std::string caption;
  std::string text;
  HWND owner = nullptr;
  bool chartExisted = false;
  bool midiExisted = false;
};

// The message box is modal: its own loop runs while the button handler waits. A timer callback
// runs inside that loop, looks at the box and presses OK, as the user would.
struct MessageWatch {
  std::vector<SeenMessage> seen;
  std::string midiPath;
  std::string chartPath;
};
MessageWatch* watch = nullptr;

BOOL CALLBACK answerMessageBox(HWND window, LPARAM) {
  char windowClass[16] = {};
  GetClassNameA(window, windowClass, sizeof windowClass);
  if (std::string(windowClass) != "#32770" || !IsWindowVisible(window)) return TRUE;
  char text[2048] = {};
  GetDlgItemTextA(window, 0xFFFF, text, sizeof text);  // the message's static control
  watch->seen.push_back({test::windowText(window), text, GetWindow(window, GW_OWNER),
                         std::filesystem::exists(watch->chartPath),
                         std::filesystem::exists(watch->midiPath)});
  PostMessageA(window, WM_COMMAND, IDOK, 0);
  return FALSE;
}

void CALLBACK lookForMessageBox(HWND, UINT, UINT_PTR, DWORD) {
  EnumThreadWindows(GetCurrentThreadId(), answerMessageBox, 0);
}

class OutputButtonsTest : public test::ShellTest {
protected:
  void SetUp() override {
    ShellTest::SetUp();
    form.build();
    rendlow::test::MidiBuilder song;
    song.track().name("Conductor").tempoBpm(0, 120.0).endOfTrack(1920);
    song.track().name("Piano").noteOn(0, 0, 60, 100).noteOff(480, 0, 60).noteOn(960, 0, 60, 100);
    song.trackAt(1).noteOff(1440, 0, 60).endOfTrack(1920);
    song.write(input);
    SendMessageA(registry().findById(ids::kTrackTable)->getHandle(), WM_DROPFILES,
                 reinterpret_cast<WPARAM>(test::makeDrop({input})), 0);
    watch = &messages;
    timer = SetTimer(nullptr, 0, 50, lookForMessageBox);
  }
  void TearDown() override {
    KillTimer(nullptr, timer);
    watch = nullptr;
  }

  void press(int32_t id) { SendMessageA(registry().findById(id)->getHandle(), BM_CLICK, 0, 0); }

  rendlow::test::TempDir folder;
  std::string input = folder.file("song.mid");
  std::string settings = folder.file("song.txt");
  MessageWatch messages{{}, folder.file("song_out.mid"), folder.file("song_out.bme")};
  UINT_PTR timer = 0;
  Application app;
  MainForm form{app, shell};
};

TEST_F(OutputButtonsTest, SaveSettingsWritesOnlyTheSettingsFileAndSaysNothing) {
  press(ids::kSaveSettingsButton);
  EXPECT_TRUE(std::filesystem::exists(settings));
  EXPECT_FALSE(std::filesystem::exists(messages.midiPath));
  EXPECT_TRUE(messages.seen.empty());
}

TEST_F(OutputButtonsTest, MidiAndBmsWritesTheChartOnlyAfterTheMessageIsClosed) {
  press(ids::kChartOutputButton);
  ASSERT_EQ(messages.seen.size(), 1u);
  const SeenMessage& message = messages.seen[0];
  EXPECT_EQ(message.text, test::shiftJis(u8"midiファイルを出力しました"));
  EXPECT_EQ(message.caption, "");
  EXPECT_EQ(message.owner, mainHandle());
  EXPECT_TRUE(message.midiExisted);
  EXPECT_FALSE(message.chartExisted);
  EXPECT_TRUE(std::filesystem::exists(messages.chartPath));
  EXPECT_TRUE(std::filesystem::exists(settings));
}

TEST_F(OutputButtonsTest, MidiOutputWritesNoChart) {
  press(ids::kMidiOutputButton);
  ASSERT_EQ(messages.seen.size(), 1u);
  EXPECT_TRUE(std::filesystem::exists(messages.midiPath));
  EXPECT_FALSE(std::filesystem::exists(messages.chartPath));
}

TEST_F(OutputButtonsTest, AFileThatCannotBeWrittenIsNamedInsteadOfClaimingSuccess) {
  const std::string blocked = folder.file("missing") + "\\song_out.mid";
  dynamic_cast<TextboxInfo&>(*registry().findById(ids::kOutputFile)).setText(blocked);
  press(ids::kMidiOutputButton);
  ASSERT_FALSE(messages.seen.empty());
  for (const auto& message : messages.seen)
    EXPECT_NE(message.text, test::shiftJis(u8"midiファイルを出力しました"));
  EXPECT_NE(messages.seen[0].text.find("song_out.mid"), std::string::npos) << messages.seen[0].text;
}

TEST_F(OutputButtonsTest, AnOutputOverTheSongIsRefusedWithBothPathsAndNothingWritten) {
  const auto song = rendlow::test::readBytes(input);
  dynamic_cast<TextboxInfo&>(*registry().findById(ids::kOutputFile)).setText(input);
  press(ids::kChartOutputButton);
  ASSERT_EQ(messages.seen.size(), 1u);
  EXPECT_EQ(messages.seen[0].text, overwriteRefusedMessage(input, OutputKind::RenderingMidi, input));
  EXPECT_EQ(messages.seen[0].caption, "");
  EXPECT_EQ(rendlow::test::readBytes(input), song);
  EXPECT_FALSE(std::filesystem::exists(settings));
  EXPECT_FALSE(std::filesystem::exists(folder.file("song.bme")));
}

}  // namespace
}  // namespace rendlow::ui
