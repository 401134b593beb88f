#include "cli/locale_text.h"

#include <optional>
#include <utility>

#include "base/messages_cli.h"
#include "base/system_text.h"

namespace rendlow::cli {

namespace {

Result<void> convert(std::string& text, const std::string& option) {
  std::optional<std::string> program = toProgramText(text);
  if (!program) return Problem{textOutsideCodePageReason(option, describedInProgramText(text))};
  text = std::move(*program);
  return {};
}

Result<void> convert(std::optional<std::string>& text, const std::string& option) {
  return text ? convert(*text, option) : Result<void>();
}

}  // namespace

Result<Options> inProgramText(Options options) {
  const std::pair<std::optional<std::string>*, const char*> optionTexts[] = {
      {&options.title, "--title"},       {&options.artist, "--artist"},   {&options.genre, "--genre"},
      {&options.outputPath, "--output"}, {&options.stemsFolder, "--cut"}, {&options.soundFont, "--soundfont"},
      {&options.recording, "--compare"},
  };
  for (const auto& [text, option] : optionTexts) {
    if (Result<void> converted = convert(*text, option); !converted) return converted.problem();
  }
  for (std::string& input : options.inputs) {
    if (Result<void> converted = convert(input, "INPUT"); !converted) return converted.problem();
  }
  for (RowEdit& edit : options.edits) {
    const std::string option = "--set " + std::to_string(edit.row) + ":" + std::string(edit.field->name);
    if (Result<void> converted = convert(edit.text, option); !converted) return converted.problem();
  }
  return options;
}

PrintedTextBuffer::int_type PrintedTextBuffer::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  pending_ += traits_type::to_char_type(c);
  passWholeLines();
  return c;
}

std::streamsize PrintedTextBuffer::xsputn(const char* text, std::streamsize size) {
  pending_.append(text, static_cast<std::size_t>(size));
  passWholeLines();
  return size;
}

int PrintedTextBuffer::sync() {
  target_ << printableText(pending_);
  pending_.clear();
  return target_.flush() ? 0 : -1;
}

void PrintedTextBuffer::passWholeLines() {
  // A line end is never the second byte of a 932 character, so a line holds whole characters.
  const std::size_t lastLineEnd = pending_.rfind('\n');
  if (lastLineEnd == std::string::npos) return;
  target_ << printableText(std::string_view(pending_).substr(0, lastLineEnd + 1));
  pending_.erase(0, lastLineEnd + 1);
}

}  // namespace rendlow::cli
