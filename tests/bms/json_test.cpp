// The JSON a chart is merged through: what is read comes out as it went in, and a damaged
// document is no document.

#include "bms/json.h"

#include <gtest/gtest.h>

namespace rendlow {
namespace {

// Documents in the layout the writer gives, with numbers and strings as other programs write them.
TEST(Json, ADocumentComesOutAsItWentIn) {
  for (const std::string text : {
           "[]\n",
           "{}\n",
           "null\n",
           "-0.50e+3\n",
           "\"a \\u00e9 \\\"quoted\\\" \\/ \\n\"\n",
           "{\n  \"bga\": {\"bga_header\": [], \"bga_events\": []}\n}\n",
           "{\n  \"info\": {\n    \"title\": \"x\",\n    \"level\": 7.0,\n    \"ok\": true,\n    \"no\": "
           "false\n  },\n"
           "  \"notes\": [\n    {\"x\": 3, \"y\": 1E2, \"l\": 0, \"c\": null},\n    [1, 2, []]\n  ],\n"
           "  \"deep\": [\n    {\n      \"notes\": [\n        {\"y\": 0}\n      ]\n    }\n  ]\n}\n",
       }) {
    const std::optional<JsonValue> value = parseJson(text);
    ASSERT_TRUE(value) << text;
    EXPECT_EQ(formatJson(*value), text);
  }
}

TEST(Json, OtherLayoutsAndAByteOrderMarkAreRead) {
  const std::optional<JsonValue> value = parseJson("\xEF\xBB\xBF { \"a\" :[ 1 ,{\"b\":\"c\"} ] }\r\n");
  ASSERT_TRUE(value && value->isObject());
  EXPECT_EQ(formatJson(*value), "{\n  \"a\": [\n    1,\n    {\"b\": \"c\"}\n  ]\n}\n");
  ASSERT_NE(value->member("a"), nullptr);
  EXPECT_EQ(value->member("a")->items.size(), 2u);
  EXPECT_EQ(value->member("b"), nullptr);
}

std::string nested(int depth) {
  return std::string(static_cast<std::size_t>(depth), '[') +
         std::string(static_cast<std::size_t>(depth), ']');
}

TEST(Json, ADamagedOrTooDeepDocumentIsNone) {
  for (const std::string text :
       {"",    "{",   "[1,]",   "{\"a\" 1}", "{\"a\": 1,}", "01",          "1.",   "-",   "1e",     "+1",
        "nul", "tru", "\"open", "\"\x01\"",  "\"\\x\"",     "\"\\u12G4\"", "{} x", "'a'", "{1: 2}", "[] []"})
    EXPECT_FALSE(parseJson(text)) << text;
  EXPECT_TRUE(parseJson(nested(kMaxJsonDepth)));
  EXPECT_FALSE(parseJson(nested(kMaxJsonDepth + 1)));
}

TEST(Json, StringsDecodeToUtf8) {
  const struct {
    std::string written;
    std::string decoded;
  } cases[] = {
      {"plain", "plain"},
      {"a\\nb\\t\\\"\\\\\\/", "a\nb\t\"\\/"},
      {"\\u00e9\\u3042", "\xC3\xA9\xE3\x81\x82"},
      {"\\ud83c\\udfb5", "\xF0\x9F\x8E\xB5"},
      {"\\ud800x", "\xEF\xBF\xBDx"},
      {"\xE3\x81\x82", "\xE3\x81\x82"},
  };
  for (const auto& c : cases) {
    const std::optional<JsonValue> value = parseJson("\"" + c.written + "\"");
    ASSERT_TRUE(value) << c.written;
    EXPECT_EQ(jsonStringText(*value), c.decoded) << c.written;
  }
  EXPECT_FALSE(jsonStringText(*parseJson("1")));
}

TEST(Json, WholeNumbersAreIntegers) {
  const struct {
    std::string written;
    std::optional<long long> integer;
  } cases[] = {{"48", 48},
               {"-3", -3},
               {"48.0", 48},
               {"4.8e1", 48},
               {"4.5", std::nullopt},
               {"\"48\"", std::nullopt},
               {"1e300", std::nullopt}};
  for (const auto& c : cases) EXPECT_EQ(jsonInteger(*parseJson(c.written)), c.integer) << c.written;
}

}  // namespace
}  // namespace rendlow
