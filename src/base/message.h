#pragma once

#include <array>
#include <string>
#include <string_view>

namespace rendlow {

// Who reads a message. The window speaks Japanese and names the boxes of its form; the command
// line speaks the user's language and names its options instead.
enum class Audience { Window, JapaneseConsole, EnglishConsole };

// A text for the user in every form the program shows it. Most messages read the same in the
// window and on a Japanese console; advice that names a setting differs, because the window
// names the box ("音符間隔") where the command line names the option (--set ROW:noteInterval=…).
class Message {
public:
  Message() = default;
  // Japanese (window and console alike) and English.
  Message(std::string japanese, std::string english);
  // Advice that names settings: as the window gives it, then as the command line gives it.
  static Message perAudience(std::string window, std::string japaneseConsole, std::string englishConsole);
  // A path, a number, a name: the same for every reader.
  static Message verbatim(std::string_view text);

  const std::string& in(Audience audience) const { return forms_[static_cast<std::size_t>(audience)]; }

  Message& operator+=(const Message& other);
  friend Message operator+(Message a, const Message& b) { return a += b; }

private:
  std::array<std::string, 3> forms_;
};

}  // namespace rendlow
