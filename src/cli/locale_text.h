#pragma once

// The command line's two edges with the user's system. The engine holds every text in code page
// 932, as charts and settings files do; the terminal and the arguments speak the locale's
// encoding (see base/system_text.h). What comes in is converted once, where the parsed options are
// handed on, and what goes out once, where it is printed.

#include <ostream>
#include <streambuf>
#include <string>

#include "base/result.h"
#include "cli/options.h"

namespace rendlow::cli {

// The options with every text they carry (header texts, a definition name of --set, the paths)
// in code page 932. A text 932 cannot hold is refused, naming the option and the text.
Result<Options> inProgramText(Options options);

// Passes what is written on to `target` in the locale's encoding, a line at a time, so that no
// character is split; bytes that are no character of 932 are shown escaped. What is left of a
// line goes on a flush.
class PrintedTextBuffer : public std::streambuf {
public:
  explicit PrintedTextBuffer(std::ostream& target) : target_(target) {}

protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* text, std::streamsize size) override;
  int sync() override;

private:
  void passWholeLines();

  std::ostream& target_;
  std::string pending_;
};

// An output stream that prints through a PrintedTextBuffer; flushed when it goes.
class PrintedStream : public std::ostream {
public:
  explicit PrintedStream(std::ostream& target) : std::ostream(nullptr), buffer_(target) { rdbuf(&buffer_); }
  ~PrintedStream() override { flush(); }

private:
  PrintedTextBuffer buffer_;
};

}  // namespace rendlow::cli
