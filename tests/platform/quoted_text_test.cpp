#include "platform/quoted_text.h"

#include <gtest/gtest.h>

#include <string>

namespace sortelia::text {
namespace {

// Every text reads back exactly after quoting, with the reading position just past it, so a
// journal line or a print list with quotes, commas or line breaks in a path keeps the path.
TEST(QuotedText, EveryTextReadsBackAfterQuoting) {
  for (const std::string& original :
       {std::string(), std::string("a.jpg"), std::string("\""), std::string("a\"\"b"),
        std::string("/p/x, \"y\".jpg"), std::string("line\r\nbreak"), std::string("\"end\"")}) {
    const std::string quoted = quoteText(original);
    const std::string line = quoted + ", rest";
    std::size_t i = 0;
    EXPECT_EQ(readQuotedText(line, i), original) << quoted;
    EXPECT_EQ(i, quoted.size()) << quoted;
  }
}

TEST(QuotedText, AnUnclosedQuoteReadsToTheEnd) {
  std::size_t i = 0;
  EXPECT_EQ(readQuotedText("\"open \"\" text", i), "open \" text");
  EXPECT_EQ(i, std::string("\"open \"\" text").size());
}

}  // namespace
}  // namespace sortelia::text
