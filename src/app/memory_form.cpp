#include "app/memory_form.h"

#include "base/text.h"

namespace rendlow {

std::string MemoryForm::text(Box box) const { return boundedText(boxes_[static_cast<std::size_t>(box)]); }

void MemoryForm::setText(Box box, std::string_view text) {
  boxes_[static_cast<std::size_t>(box)].assign(text);
}

void MemoryForm::clearRows() { rows_.clear(); }

void MemoryForm::addRow(std::string_view trackName) { rows_.push_back({std::string(trackName), {}}); }

void MemoryForm::refreshRow(int row, const TrackSettings& settings) {
  if (row >= 0 && static_cast<std::size_t>(row) < rows_.size())
    rows_[static_cast<std::size_t>(row)].settings = settings;
}

void MemoryForm::showMessage(const Message& message, Tone tone) {
  messages_.push_back(message);
  tones_.push_back(tone);
}

bool MemoryForm::offerAction(const Message& message, Tone tone, const Message& /*action*/) {
  showMessage(message, tone);
  return acceptsOffers;
}

}  // namespace rendlow
