#include <gtest/gtest.h>

#include "app/application.h"

namespace rendlow {
namespace {

// A song of four tracks where the second has no content: rows 0 and 1 are tracks three and four.
void addTracks(Project& project, std::initializer_list<bool> content) {
  for (bool has : content) {
    auto track = std::make_shared<MidiTrack>();
    track->hasContent = has;
    track->name = "t";
    track->name += std::to_string(project.tracks.size() + 1);
    project.tracks.push_back(track);
  }
}

TEST(ListedTracks, SkipTheFirstTrackAndTracksWithoutContent) {
  Application app;
  addTracks(app.project, {true, false, true, true});
  EXPECT_EQ(app.project.listedTrack(0)->name, "t3");
  EXPECT_EQ(app.project.listedTrack(1)->name, "t4");
  EXPECT_FALSE(app.project.listedTrack(2));
  EXPECT_FALSE(app.project.listedTrack(-1));
}

TEST(ApplyRowSettings, KeepsWhatTheEditMarksAsKeptAndStoresTheTrackValues) {
  Application app;
  addTracks(app.project, {true, true});
  app.rowSettings.resize(1);
  auto& track = app.project.listedTrack(0)->settings;
  track.velocitySplitWidth = 16;
  track.definitionName = "pno";
  track.splitMethod = 2;

  TrackSettings edit;
  edit.velocitySplitWidth = -5;
  edit.definitionName = "";
  edit.splitMethod = -1;
  edit.ignoreBpm = true;
  edit.noteInterval = 480;
  ASSERT_TRUE(app.applyRowSettings(0, edit));

  EXPECT_EQ(track.velocitySplitWidth, 16);
  EXPECT_EQ(track.definitionName, "pno");
  EXPECT_EQ(track.splitMethod, 2);
  EXPECT_TRUE(track.ignoreBpm);
  EXPECT_EQ(track.noteInterval, 480);
  EXPECT_EQ(app.rowSettings[0], track);
}

TEST(ApplyRowSettings, OnlyMinusOneKeepsTheSplitMethod) {
  Application app;
  addTracks(app.project, {true, true});
  app.rowSettings.resize(1);
  TrackSettings edit;
  edit.splitMethod = -2;
  ASSERT_TRUE(app.applyRowSettings(0, edit));
  EXPECT_EQ(app.project.listedTrack(0)->settings.splitMethod, -2);
}

TEST(ApplyRowSettings, CarriesTheRowCheckBoxToTheTrack) {
  Application app;
  addTracks(app.project, {true, true});
  app.rowSettings.resize(1);
  TrackSettings edit;
  edit.enabled = false;
  ASSERT_TRUE(app.applyRowSettings(0, edit));
  EXPECT_FALSE(app.project.listedTrack(0)->settings.enabled);
}

TEST(ApplyRowSettings, ChangesNothingWithoutAListedTrack) {
  Application app;
  addTracks(app.project, {true});
  TrackSettings edit;
  EXPECT_FALSE(app.applyRowSettings(0, edit));
  TrackSettings out;
  EXPECT_FALSE(app.getRowSettings(0, out));
}

}  // namespace
}  // namespace rendlow
