#pragma once

// The command line run in process in a test's folder, as the tests of the command line run it.

#include <cstdlib>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "support/case_table.h"
#include "support/temp_dir.h"

namespace rendlow::test {

struct Ran {
  int status = 0;
  std::string out;
  std::string err;
};

// Under the language `lang` ("": none, which reads as UTF-8), left at none afterwards.
inline Ran runCliIn(const TempDir& folder, const std::vector<std::string>& args, const char* lang = "") {
#ifdef _WIN32
  _putenv_s("LC_ALL", lang);
#else
  setenv("LC_ALL", lang, 1);
#endif
  WorkingFolder here(folder.path());
  std::ostringstream out, err;
  const int status = cli::runCli(args, out, err);
#ifdef _WIN32
  _putenv_s("LC_ALL", "");
#else
  setenv("LC_ALL", "", 1);
#endif
  return {status, out.str(), err.str()};
}

// The words of a table's column as arguments, each unescaped; "-" for none.
inline std::vector<std::string> argumentsOf(const std::string& column) {
  std::istringstream words(column == "-" ? "" : column);
  std::vector<std::string> args;
  for (auto word = std::istream_iterator<std::string>(words); word != std::istream_iterator<std::string>();
       ++word)
    args.push_back(unescaped(*word));
  return args;
}

}  // namespace rendlow::test
