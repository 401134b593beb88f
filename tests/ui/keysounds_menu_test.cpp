// The menu's keysounds on a machine where no SoundFont is found: nothing is written, and the
// message says what is missing.

#include <filesystem>

#include "ui_test_support.h"

namespace rendlow::ui::test {
namespace {

namespace fs = std::filesystem;

TEST_F(FormTest, KeysoundsWithoutASoundFontWriteNothingAndSayWhy) {
  const std::wstring song = writeSong({"Piano"}, L"nosf");
  drop(ids::kTrackTable, song);
  modal.seen.clear();
  SendMessageW(shell.window(), WM_COMMAND, ids::kMakeKeysounds, 0);
  ASSERT_EQ(modal.seen.size(), 1u);
  EXPECT_NE(modal.seen[0].text.find(L"SoundFont"), std::wstring::npos) << utf8(modal.seen[0].text);
  EXPECT_EQ(std::distance(fs::directory_iterator(fs::path(song).parent_path()), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace rendlow::ui::test
