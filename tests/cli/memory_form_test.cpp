#include "cli/memory_form.h"

#include <gtest/gtest.h>

namespace rendlow::cli {
namespace {

TEST(MemoryForm, HasTheBoxesOfTheMainFormAndNoOthers) {
  MemoryForm form;
  for (int id : {control::kInputFile, control::kOutputFile, control::kTrackTable, control::kGenre,
                 control::kTitle, control::kArtist}) {
    EXPECT_TRUE(form.hasControl(id)) << id;
  }
  EXPECT_FALSE(form.hasControl(104));
  form.setText(104, "nowhere");
  EXPECT_FALSE(form.hasControl(104));
  EXPECT_EQ(form.text(104), "");
}

TEST(MemoryForm, GivesBackAtMost511BytesOfABox) {
  MemoryForm form;
  form.setText(control::kTitle, std::string(600, 't'));
  EXPECT_EQ(form.text(control::kTitle), std::string(511, 't'));
  form.setText(control::kTitle, "short");
  EXPECT_EQ(form.text(control::kTitle), "short");
}

TEST(MemoryForm, KeepsRowsInOrderAndShowsRecordsOnlyInRowsThatExist) {
  MemoryForm form;
  form.addRow("Piano");
  form.addRow("Bass");
  TrackSettings settings;
  settings.definitionName = "bs";
  form.refreshRow(1, settings);
  form.refreshRow(2, settings);
  form.refreshRow(-1, settings);
  ASSERT_EQ(form.rows().size(), 2u);
  EXPECT_EQ(form.rows()[0].trackName, "Piano");
  EXPECT_EQ(form.rows()[0].settings, TrackSettings{});
  EXPECT_EQ(form.rows()[1].settings, settings);
  form.clearRows();
  EXPECT_TRUE(form.rows().empty());
  form.showMessage("done");
  EXPECT_EQ(form.messages(), std::vector<std::string>{"done"});
}

}  // namespace
}  // namespace rendlow::cli
