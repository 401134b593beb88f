// The JSON a chart is merged through: what is read comes out as it went in, and a damaged
// document is no document.

#include "bms/json.h"

#include <gtest/gtest.h>

#include "support/case_table.h"

namespace rendlow {
namespace {

// Every case of data/json_documents.txt, as its header says.
TEST(Json, EachDocumentOfTheTableReadsAsItSays) {
  for (const test::CaseLine& c : test::readCaseTable("bms/data/json_documents.txt")) {
    SCOPED_TRACE(c.where);
    const std::string kind = c.columns.at(0);
    const std::string text = kind == "same" ? c.expected : test::unescaped(c.columns.at(1));
    const std::optional<JsonValue> value = parseJson(kind == "string" ? "\"" + text + "\"" : text);
    ASSERT_EQ(value.has_value(), kind != "damaged");
    if (kind == "same" || kind == "laid out") {
      EXPECT_EQ(formatJson(*value), c.expected);
    }
    if (kind == "string") {
      EXPECT_EQ(jsonStringText(*value), test::unescaped(c.columns.at(2)));
    }
    if (kind == "integer") {
      const std::optional<long long> integer = jsonInteger(*value);
      EXPECT_EQ(integer ? std::to_string(*integer) : "-", c.columns.at(2));
    }
  }
}

TEST(Json, MembersAreFoundByNameAndTooDeepADocumentIsNone) {
  const std::optional<JsonValue> value = parseJson("{\"a\": [1, {\"b\": \"c\"}]}");
  ASSERT_TRUE(value && value->isObject());
  ASSERT_NE(value->member("a"), nullptr);
  EXPECT_EQ(value->member("a")->items.size(), 2u);
  EXPECT_EQ(value->member("b"), nullptr);
  EXPECT_FALSE(jsonStringText(*parseJson("1")));
  const auto nested = [](int depth) {
    return std::string(static_cast<std::size_t>(depth), '[') +
           std::string(static_cast<std::size_t>(depth), ']');
  };
  EXPECT_TRUE(parseJson(nested(kMaxJsonDepth)));
  EXPECT_FALSE(parseJson(nested(kMaxJsonDepth + 1)));
}

}  // namespace
}  // namespace rendlow
