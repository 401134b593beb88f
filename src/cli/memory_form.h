#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/form.h"

namespace rendlow::cli {

// The main form as the command line keeps it: the boxes the flows use, by id, and the rows of the
// track table, all in memory. Messages the flows would show in a box are collected instead.
class MemoryForm : public Form {
public:
  struct Row {
    std::string trackName;
    TrackSettings settings;
  };

  // With the boxes of the main form: input and output file, track table, genre, title, artist.
  MemoryForm();

  bool hasControl(int id) const override;
  std::string text(int id) const override;
  // A box the form does not have takes no text, as a missing window would not.
  void setText(int id, std::string_view text) override;
  // The command line selects no rows, so there is never a selection to empty.
  void clearSelection() override {}
  void clearRows() override;
  void addRow(std::string_view trackName) override;
  void refreshRow(int row, const TrackSettings& settings) override;
  void showMessage(std::string_view text) override;

  const std::vector<Row>& rows() const { return rows_; }
  const std::vector<std::string>& messages() const { return messages_; }

private:
  std::map<int, std::string> boxes_;
  std::vector<Row> rows_;
  std::vector<std::string> messages_;
};

}  // namespace rendlow::cli
