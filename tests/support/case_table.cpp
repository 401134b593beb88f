#include "support/case_table.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <sstream>

#include "support/midi_builder.h"

namespace rendlow::test {

namespace {

std::string trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  return first == std::string::npos ? "" : text.substr(first, text.find_last_not_of(' ') + 1 - first);
}

std::vector<std::string> columnsOf(const std::string& line) {
  std::vector<std::string> columns;
  std::istringstream in(line);
  for (std::string column; std::getline(in, column, '|');) columns.push_back(trimmed(column));
  if (line.back() == '|') columns.emplace_back();
  return columns;
}

}  // namespace

std::vector<CaseLine> readCaseTable(const std::string& relativePath) {
  std::istringstream in(readText(RENDLOW_TEST_DATA_DIR "/" + relativePath));
  std::vector<CaseLine> cases;
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    ++number;
    if (line.rfind("> ", 0) == 0 && !cases.empty()) {
      cases.back().expected += line.substr(2) + "\n";
    } else if (!line.empty() && line[0] != '#') {
      cases.push_back({relativePath + ":" + std::to_string(number), columnsOf(line), ""});
    }
  }
  EXPECT_FALSE(cases.empty()) << "no cases in " << relativePath;
  return cases;
}

std::vector<int64_t> numbersOf(const std::string& column) {
  std::vector<int64_t> numbers;
  for (const char* at = column.c_str(); *at;) {
    char* end = nullptr;
    const bool starts = std::isdigit(static_cast<unsigned char>(*at)) ||
                        (*at == '-' && std::isdigit(static_cast<unsigned char>(at[1])));
    const bool hexadecimal = at[0] == '0' && (at[1] == 'x' || at[1] == 'X');
    const int64_t value = starts ? std::strtoll(at, &end, hexadecimal ? 16 : 10) : 0;
    if (starts) numbers.push_back(value);
    at = starts ? end : at + 1;
  }
  return numbers;
}

std::string unescaped(const std::string& column) {
  std::string text;
  for (std::size_t i = 0; i < column.size(); ++i) {
    const bool escaped = column.compare(i, 2, "\\x") == 0 && i + 3 < column.size();
    text += escaped ? static_cast<char>(std::stoi(column.substr(i + 2, 2), nullptr, 16)) : column[i];
    if (escaped) i += 3;
  }
  return text;
}

}  // namespace rendlow::test
