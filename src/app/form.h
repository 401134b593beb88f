#pragma once

#include <string>
#include <string_view>

#include "base/message.h"
#include "slicer/track_settings.h"

namespace rendlow {

// The boxes of the main form that the flows read and fill.
enum class Box { InputFile, OutputFile, Genre, Title, Artist };

// How a message reads at a glance: all went well, something to heed, or something that failed.
enum class Tone { Information, Warning, Error };

// What the load and output flows need of the main form. The desktop program implements it over
// its native controls, the command line and the tests in memory.
class Form {
public:
  virtual ~Form() = default;

  virtual std::string text(Box box) const = 0;  // as boundedText cuts it: at most 511 bytes, no NUL
  virtual void setText(Box box, std::string_view text) = 0;
  virtual void clearSelection() = 0;  // empties the selected rows
  virtual void clearRows() = 0;
  virtual void addRow(std::string_view trackName) = 0;
  virtual void refreshRow(int row, const TrackSettings& settings) = 0;
  virtual void showMessage(const Message& message, Tone tone) = 0;  // modal; returns when closed
  // showMessage with one more button, captioned `action`; whether the user chose it.
  virtual bool offerAction(const Message& message, Tone tone, const Message& action) = 0;
  // What stands now, told without stopping the user (which setup the song was loaded with).
  virtual void showStatus(const Message& status) = 0;
};

}  // namespace rendlow
