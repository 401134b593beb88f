#pragma once

// A table of cases kept as text beside its test, so that a case is added without code. One case
// a line, its columns parted by '|'; a line starting with "> " adds a line to the expected text of
// the case above it. Blank lines and lines starting with '#' (the header saying what each column
// holds) are skipped.

#include <cstdint>
#include <string>
#include <vector>

namespace rendlow::test {

struct CaseLine {
  std::string where;                 // file:line, for a failure to name
  std::vector<std::string> columns;  // without the spaces around them
  std::string expected;              // the "> " lines after it, each ending in a newline
};

// The cases of a file under the tests' data folder; a test fails when the file holds none.
std::vector<CaseLine> readCaseTable(const std::string& relativePath);

// The integers of a column, decimal or 0x hexadecimal, whatever separates them ("1/4:2" holds 1, 4
// and 2).
std::vector<int64_t> numbersOf(const std::string& column);

// A column holding a text byte for byte, any byte written as \xNN (a backslash as \x5C).
std::string unescaped(const std::string& column);

}  // namespace rendlow::test
