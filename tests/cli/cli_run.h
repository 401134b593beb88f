#pragma once

// The command line run in process in a test's folder, as the tests of the command line run it.

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
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

}  // namespace rendlow::test
