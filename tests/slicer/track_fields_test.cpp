#include "slicer/track_fields.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "base/messages_fields.h"

namespace rendlow {
namespace {

// A place (a settings-file line's, the settings group's) is given to fields one after another
// from 1, each to one field: a gap or a repeat would shift every field after it. The track table
// shows each field in the column of its place on a line, so the field it does not show (the check
// box's) must come after every one it shows.
TEST(TrackFields, EachFieldHasItsOwnNameAndPlaceAndTheTableShowsAllButTheCheckBox) {
  std::set<std::string_view> names;
  for (const TrackField& field : trackSettingsFields()) EXPECT_TRUE(names.insert(field.name).second) << field.name;
  for (const auto place : {&TrackField::linePlace, &TrackField::editorPlace}) {
    int expected = 1;
    for (const TrackField* field : fieldsInPlaceOrder(place)) EXPECT_EQ(field->*place, expected++) << field->name;
  }
  const std::vector<const TrackField*> shown = tableColumnFields();
  for (std::size_t column = 0; column < shown.size(); ++column)
    EXPECT_EQ(shown[column]->linePlace, static_cast<int>(column) + 1) << shown[column]->name;
  const std::vector<const TrackField*> onLine = fieldsInPlaceOrder(&TrackField::linePlace);
  ASSERT_EQ(onLine.size(), shown.size() + 2);
  EXPECT_EQ(onLine[shown.size()]->name, "enabled");
  EXPECT_EQ(onLine.back()->name, "lengthSplitWidth");
}

// Every field is named in both languages where the front ends show it: the settings group's
// label, the table's header and the help's line; no two boxes or columns read alike; and the
// catalogue holds texts for no field the table lacks.
TEST(TrackFields, EachFieldHasACaptionAColumnAndAHelpLineInBothLanguages) {
  for (const Audience language : {Audience::Window, Audience::EnglishConsole}) {
    std::set<std::string> captions, columns;
    for (const TrackField& field : trackSettingsFields()) {
      const FieldTexts texts = fieldTexts(field.name);
      for (const auto& [what, text] : {std::pair{"caption", &texts.caption},
                                       std::pair{"column", &texts.column}, std::pair{"help", &texts.help}})
        EXPECT_FALSE(text->in(language).empty())
            << field.name << " " << what << " " << static_cast<int>(language);
      EXPECT_TRUE(captions.insert(texts.caption.in(language)).second) << field.name;
      EXPECT_TRUE(columns.insert(texts.column.in(language)).second) << field.name;
    }
  }
  for (const std::string_view name : cataloguedFields()) EXPECT_NE(findTrackField(name), nullptr) << name;
}

TEST(TrackFields, AnEditRecordKeepsEmptyNamesNegativeNumbersAndTheUnchosenSplitAndTakesEveryFlag) {
  TrackSettings track;
  track.definitionName = "pno", track.noteInterval = 480, track.splitMethod = 2, track.ignoreBpm = true;
  TrackSettings keep;
  keep.definitionName.clear();
  for (const TrackField& field : trackSettingsFields())
    if (field.kind == FieldKind::Number) setNumber(field, keep, -7);
  keep.splitMethod = -1, keep.ignoreBpm = false, keep.enabled = false;
  TrackSettings edited = track;
  edited.applyEdit(keep);
  TrackSettings expected = track;
  expected.ignoreBpm = false, expected.enabled = false;
  EXPECT_EQ(edited, expected);

  // Only -1 keeps the split: another value below the bounds came from a file and is taken.
  keep.splitMethod = -5, keep.definitionName = "lead", keep.gridUnit = 0;
  edited.applyEdit(keep);
  EXPECT_EQ(std::tuple(edited.splitMethod, edited.definitionName, edited.gridUnit, edited.noteInterval),
            std::tuple(-5, std::string("lead"), 0, 480));
}

}  // namespace
}  // namespace rendlow
