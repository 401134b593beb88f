#pragma once

// The lines of a chart's text as an editor leaves them, read for their shape and nothing more:
// header commands ("#PLAYLEVEL 3") and channel lines ("#00111:0A00"). The reader (chart_reader.h)
// and the merge of an author's chart (chart_merge.h) both read through these.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rendlow {

// The text without the blanks around it, nor a CR at its end.
std::string_view trimmedLine(std::string_view text);

// The lines of a text ending in LF or CR LF, without their line ends.
std::vector<std::string_view> textLines(std::string_view text);

// "#PLAYLEVEL 3" is command "#PLAYLEVEL" (in upper case: a command is read in either) with value "3".
struct HeaderLine {
  std::string command;
  std::string_view value;
};
HeaderLine headerLineOf(std::string_view line);

// The id of a definition command such as "#WAV0A": its two base-36 digits after `command`; -1 for
// any other command.
int32_t definitionIdOf(const HeaderLine& line, std::string_view command);

// "#mmmcc:data": measure mmm, channel cc (digits, or letters in upper case), the data trimmed.
struct ChannelLineText {
  int32_t measure = 0;
  std::string channel;
  std::string_view data;
};
std::optional<ChannelLineText> channelLineOf(std::string_view line);

// A channel of two digits as a number; -1 for a channel of letters.
int channelNumber(std::string_view channel);

}  // namespace rendlow
