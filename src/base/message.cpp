#include "base/message.h"

#include <utility>

namespace rendlow {

Message::Message(std::string japanese, std::string english)
    : forms_{japanese, std::move(japanese), std::move(english)} {}

Message Message::perAudience(std::string window, std::string japaneseConsole, std::string englishConsole) {
  Message message;
  message.forms_ = {std::move(window), std::move(japaneseConsole), std::move(englishConsole)};
  return message;
}

Message Message::verbatim(std::string_view text) { return Message(std::string(text), std::string(text)); }

Message& Message::operator+=(const Message& other) {
  for (std::size_t i = 0; i < forms_.size(); ++i) forms_[i] += other.forms_[i];
  return *this;
}

}  // namespace rendlow
