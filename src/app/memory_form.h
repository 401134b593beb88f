#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "app/form.h"

namespace rendlow {

// The main form kept in memory, for the command line and the tests: the boxes the flows use and
// the rows of the track table. Messages the flows would show in a box are collected instead.
class MemoryForm : public Form {
public:
  struct Row {
    std::string trackName;
    TrackSettings settings;
  };

  std::string text(Box box) const override;
  void setText(Box box, std::string_view text) override;
  // Nothing selects rows here, so there is never a selection to empty.
  void clearSelection() override {}
  void clearRows() override;
  void addRow(std::string_view trackName) override;
  void refreshRow(int row, const TrackSettings& settings) override;
  void showMessage(const Message& message, Tone tone) override;
  // Collected as showMessage collects it; the answer is acceptsOffers.
  bool offerAction(const Message& message, Tone tone, const Message& action) override;
  void showStatus(const Message& status) override { status_ = status; }

  const std::vector<Row>& rows() const { return rows_; }
  const std::vector<Message>& messages() const { return messages_; }
  const std::vector<Tone>& tones() const { return tones_; }  // one per message
  const Message& status() const { return status_; }

  bool acceptsOffers = false;  // what a test's user answers an offer of an action

private:
  std::array<std::string, 5> boxes_;
  std::vector<Row> rows_;
  std::vector<Message> messages_;
  std::vector<Tone> tones_;
  Message status_;
};

}  // namespace rendlow
