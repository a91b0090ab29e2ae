#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/printable_text.h"

namespace {

TEST(PrintableText, ControlCharactersAreWrittenOutAndTheRestStays) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", ""},
        {"run1.sco", "run1.sco"},
        {"a\nb", "a\\nb"},
        {"\t\r", "\\t\\r"},
        {"\x1b[2J", "\\x1b[2J"},
        {std::string("a\0b", 3), "a\\x00b"},
        {"\x07\x1f\x7f", "\\x07\\x1f\\x7f"},
        {"\xc2\x9b"
         "2J",
         "\\u009b2J"},  // the one-character CSI of UTF-8
        {"\xc2\x80\xc2\x9f\xc2\xa0", "\\u0080\\u009f\xc2\xa0"},
        {"caf\xc3\xa9 \xe2\x82\xac", "caf\xc3\xa9 \xe2\x82\xac"},  // é and €: 0x82 is no control
        {"\xc2", "\xc2"},
        {"back\\slash 'quoted'", "back\\slash 'quoted'"},
    };
    for (const auto& [text, shown] : cases) {
        EXPECT_EQ(printable(text), shown) << shown;
    }
    EXPECT_EQ(inQuotes("a\nb"), "'a\\nb'");
}

// A message of several lines keeps them; whatever else drives a terminal is written out, and
// text that was made printable before stays as it is.
TEST(PrintableText, LinesKeepTheirLineFeedsAndNothingElse) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", ""},
        {"one", "one"},
        {"one\ntwo", "one\ntwo"},
        {"\n", "\n"},
        {"a\n\nb\n", "a\n\nb\n"},
        {"x\x1b[2J\ny\r\tz", "x\\x1b[2J\ny\\r\\tz"},
        {"\xc2\x9b\n\x07", "\\u009b\n\\x07"},
        {"already \\x1b\\n", "already \\x1b\\n"},
    };
    for (const auto& [text, shown] : cases) {
        EXPECT_EQ(printableLines(text), shown) << shown;
        EXPECT_EQ(printableLines(shown), shown) << shown;
    }
}

}  // namespace
