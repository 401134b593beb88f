#pragma once

// The main form in memory, for tests of the flows: every box the flows use, the rows of the track
// table, and the messages the desktop program would show in a box. A test can look at the disk
// the moment a message is shown, as a user looking at the message box would.

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "app/form.h"

namespace rendlow::test {

class TestForm : public Form {
public:
  bool hasControl(int id) const override { return id != kMissingBox; }
  std::string text(int id) const override {
    const auto found = boxes.find(id);
    return found == boxes.end() ? std::string() : found->second;
  }
  void setText(int id, std::string_view value) override { boxes[id] = std::string(value); }
  void clearSelection() override {}
  void clearRows() override { rows.clear(); }
  void addRow(std::string_view trackName) override { rows.emplace_back(trackName); }
  void refreshRow(int, const TrackSettings&) override {}
  void showMessage(std::string_view text) override {
    messages.emplace_back(text);
    if (onMessage) onMessage(messages.back());
  }

  // A form without this box; every other box is there.
  int kMissingBox = -1;
  std::map<int, std::string> boxes;
  std::vector<std::string> rows;
  std::vector<std::string> messages;
  std::function<void(const std::string&)> onMessage;
};

}  // namespace rendlow::test
