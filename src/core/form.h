#pragma once

#include <string>
#include <string_view>

#include "core/track_settings.h"

namespace rendlow {

// Logical ids of the form's boxes that the flows read and write.
namespace control {
inline constexpr int kInputFile = 100;
inline constexpr int kOutputFile = 103;
inline constexpr int kTrackTable = 105;
inline constexpr int kGenre = 129;
inline constexpr int kTitle = 131;
inline constexpr int kArtist = 133;
}  // namespace control

// What the load and output flows need of the main form. The desktop program implements it over
// its native controls, the command line and the tests in memory.
class Form {
public:
  virtual ~Form() = default;

  virtual bool hasControl(int id) const = 0;
  virtual std::string text(int id) const = 0;  // at most 511 bytes
  virtual void setText(int id, std::string_view text) = 0;
  virtual void clearSelection() = 0;  // empties the selected rows
  virtual void clearRows() = 0;
  virtual void addRow(std::string_view trackName) = 0;
  virtual void refreshRow(int row, const TrackSettings& settings) = 0;
  virtual void showMessage(std::string_view text) = 0;  // modal; returns when closed
};

}  // namespace rendlow
