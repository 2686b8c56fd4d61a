#include "platform/text_codec.h"

#include <gtest/gtest.h>

namespace sortelia::text {
namespace {

// "写真" in CP932.
const std::string kShashinSjis = "\x8E\xCA\x90\x5E";

TEST(TextCodec, Cp932RoundTrip) {
  EXPECT_EQ(fromCp932(kShashinSjis), "写真");
  EXPECT_EQ(toCp932("写真"), kShashinSjis);
  // The CP932 extensions: circled digits and the NEC/IBM kanji.
  EXPECT_EQ(fromCp932(*toCp932("①髙")), "①髙");
  EXPECT_EQ(toCp932("abc/\\"), "abc/\\");
}

TEST(TextCodec, CharactersOutsideCp932AreRefused) {
  EXPECT_FALSE(toCp932("😀").has_value());
  EXPECT_FALSE(toCp932("한국").has_value());
  EXPECT_FALSE(toCp932("\xFF").has_value());  // not UTF-8 at all
}

TEST(TextCodec, ExternalBytesPreferUtf8ThenCp932) {
  EXPECT_EQ(decodeExternal("写真"), "写真");
  EXPECT_EQ(decodeExternal(kShashinSjis), "写真");
  EXPECT_EQ(decodeExternal("plain"), "plain");
  // A lone lead byte at the end is marked, not dropped silently or overrun.
  EXPECT_EQ(decodeExternal("a\x8E"), "a\xEF\xBF\xBD");
}

TEST(TextCodec, FileEncodingKeepsEveryCharacter) {
  EXPECT_EQ(encodeForFile("写真"), kShashinSjis);
  EXPECT_EQ(encodeForFile("写真😀"), "写真😀");  // falls back to UTF-8 as a whole
  // CP932 bytes that would decode as another character: UTF-8 as a whole.
  EXPECT_EQ(encodeForFile("写真〜"), "写真〜");
  EXPECT_EQ(encodeForFile("写真～"), *toCp932("写真～"));  // the full-width tilde round-trips
}

TEST(TextCodec, BytesThatAreNotUtf8AreEscapedReadably) {
  const struct {
    std::string in, out;
  } cases[] = {
      {"", ""},
      {"IMG_1.jpg", "IMG_1.jpg"},
      {"写真😀\\x41", "写真😀\\x41"},                 // valid text, backslash kept
      {"a\xFF.jpg", "a\\xff.jpg"},                  // a stray byte
      {"\xB6\xD2\xD7.jpg", "\\xb6\\xd2\\xd7.jpg"},  // "ｶﾒﾗ.jpg" in CP932
      {"\xE6\x97", "\\xe6\\x97"},                   // truncated
      {"\xC0\xAF", "\\xc0\\xaf"},                   // overlong "/"
      {"\xED\xA0\x80日", "\\xed\\xa0\\x80日"},      // surrogate
  };
  for (const auto& c : cases) {
    const std::string escaped = escapeInvalidUtf8(c.in);
    EXPECT_EQ(escaped, c.out);
    EXPECT_TRUE(isValidUtf8(escaped)) << escaped;
  }
}

TEST(TextCodec, FirstCharactersNeverSplitsOne) {
  EXPECT_EQ(firstCharacters("日本語", 2), "日本");
  EXPECT_EQ(firstCharacters("a😀b", 2), "a😀");
  EXPECT_EQ(firstCharacters("ab", 5), "ab");
  EXPECT_EQ(firstCharacters("\xE6\x41\x42", 2), "\xE6\x41");  // a broken sequence: bytes
}

TEST(TextCodec, Utf8Validation) {
  EXPECT_TRUE(isValidUtf8(""));
  EXPECT_TRUE(isValidUtf8("日本"));
  EXPECT_FALSE(isValidUtf8("\xC0\xAF"));          // overlong "/"
  EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));      // surrogate
  EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80"));  // above U+10FFFF
  EXPECT_FALSE(isValidUtf8("\xE6\x97"));          // truncated
}

TEST(TextCodec, WidthAndCutNeverSplitCharacters) {
  EXPECT_EQ(cp932Width("abc"), 3u);
  EXPECT_EQ(cp932Width("日本"), 4u);
  EXPECT_EQ(cp932Width("ｶﾒﾗ"), 3u);
  EXPECT_EQ(cp932Width("😀"), 2u);
  EXPECT_EQ(cutToCp932Width("a日本", 4), "a日");
  EXPECT_EQ(cutToCp932Width("a日本", 2), "a");
  EXPECT_EQ(cutToCp932Width("abc", 10), "abc");
}

}  // namespace
}  // namespace sortelia::text
