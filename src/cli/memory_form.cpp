#include "cli/memory_form.h"

#include "base/text.h"

namespace rendlow::cli {

MemoryForm::MemoryForm() {
  for (int id : {control::kInputFile, control::kOutputFile, control::kTrackTable, control::kGenre,
                 control::kTitle, control::kArtist}) {
    boxes_[id];
  }
}

bool MemoryForm::hasControl(int id) const { return boxes_.count(id) != 0; }

std::string MemoryForm::text(int id) const {
  const auto box = boxes_.find(id);
  return box == boxes_.end() ? std::string() : boundedText(box->second);
}

void MemoryForm::setText(int id, std::string_view text) {
  const auto box = boxes_.find(id);
  if (box != boxes_.end()) box->second.assign(text);
}

void MemoryForm::clearRows() { rows_.clear(); }

void MemoryForm::addRow(std::string_view trackName) { rows_.push_back({std::string(trackName), {}}); }

void MemoryForm::refreshRow(int row, const TrackSettings& settings) {
  if (row >= 0 && static_cast<std::size_t>(row) < rows_.size())
    rows_[static_cast<std::size_t>(row)].settings = settings;
}

void MemoryForm::showMessage(std::string_view text) { messages_.emplace_back(text); }

}  // namespace rendlow::cli
