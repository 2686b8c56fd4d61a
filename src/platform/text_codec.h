// Text conversion between the program's internal UTF-8 and the bytes of outside files.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace sortelia::text {

// True when bytes form valid UTF-8 (no overlongs, no surrogates, nothing above U+10FFFF).
bool isValidUtf8(std::string_view bytes);

// CP932 bytes to UTF-8; a byte sequence CP932 does not define becomes U+FFFD.
std::string fromCp932(std::string_view bytes);

// UTF-8 to CP932; nullopt when some character has no CP932 form (or the input is not UTF-8).
std::optional<std::string> toCp932(std::string_view utf8);

// Outside bytes to UTF-8: taken as UTF-8 when valid, otherwise as CP932.
std::string decodeExternal(std::string_view bytes);

// Bytes for one of the program's own text files: CP932 when the CP932 bytes decode back to
// exactly the same text, otherwise UTF-8 unchanged, so that no character is ever lost or
// changed. (iconv maps some characters, such as 〜 U+301C or − U+2212, to CP932 bytes that
// read back as their full-width variants.)
std::string encodeForFile(std::string_view utf8);

// bytes as valid UTF-8 for a person to read: every byte that is not part of a well-formed
// UTF-8 sequence is written as "\xNN", a backslash, "x" and two lowercase hexadecimal digits
// ("a\xff.jpg" for the name bytes 61 FF 2E 6A 70 67). Valid text is kept as it is,
// backslashes included. Used where names that are not UTF-8 go into a text file.
std::string escapeInvalidUtf8(std::string_view bytes);

// Length in bytes of the UTF-8 sequence that starts with lead byte c (1 for a stray byte).
std::size_t utf8SequenceLength(unsigned char c);

// The first n characters of utf8 (all of it when it has fewer); never splits a character. A
// byte that does not start a well-formed sequence counts as one character.
std::string firstCharacters(std::string_view utf8, std::size_t n);

// Width of text counted in CP932 bytes: ASCII and half-width katakana 1, every other
// character 2 (also when CP932 lacks it).
std::size_t cp932Width(std::string_view utf8);

// The longest prefix of utf8 whose CP932 width is at most maxWidth; never splits a character.
std::string cutToCp932Width(std::string_view utf8, std::size_t maxWidth);

// ASCII-only lower case ("IMG_1.JPG" -> "img_1.jpg"); other bytes unchanged.
std::string asciiLower(std::string_view s);

}  // namespace sortelia::text
