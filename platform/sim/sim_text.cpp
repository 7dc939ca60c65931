// Text conversion on the simulated desktop. Its ANSI code page is
// Windows-1252; UTF-8 is decoded and encoded as the system does, with
// U+FFFD for a malformed sequence or a lone surrogate.
#include <string>
#include <vector>

#include "platform/os_kernel.h"
#include "platform/os_text.h"

namespace {

constexpr os::UINT WINDOWS_1252 = 1252;
constexpr char32_t REPLACEMENT = 0xFFFD;

// Bytes 0x80 to 0x9F of Windows-1252; the five it leaves undefined map to
// the control character of the same number, as the system maps them.
constexpr char16_t HIGH_CONTROLS[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool IsAnsi(os::UINT codePage) { return codePage == os::CP_ACP || codePage == WINDOWS_1252; }

char16_t FromAnsi(unsigned char byte) {
  return byte >= 0x80 && byte < 0xA0 ? HIGH_CONTROLS[byte - 0x80] : byte;
}

// The Windows-1252 byte of a character, or -1 when it has none.
int ToAnsi(char16_t unit) {
  if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return unit;
  for (int i = 0; i < 32; ++i) {
    if (HIGH_CONTROLS[i] == unit) return 0x80 + i;
  }
  return -1;
}

void AppendUtf16(std::u16string& out, char32_t code) {
  if (code < 0x10000) {
    out += static_cast<char16_t>(code);
  } else {
    code -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (code >> 10));
    out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
  }
}

// One code point from UTF-8 at text[at], moving at past it; a malformed
// sequence gives U+FFFD and moves one byte on.
char32_t DecodeUtf8(const std::string& text, std::size_t& at) {
  unsigned char lead = static_cast<unsigned char>(text[at++]);
  if (lead < 0x80) return lead;
  int extra = lead >= 0xF0 && lead <= 0xF4 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 && lead < 0xE0 ? 1 : -1;
  if (extra < 0 || at + extra > text.size()) return REPLACEMENT;
  char32_t code = lead & (0x3F >> extra);
  for (int i = 0; i < extra; ++i) {
    unsigned char next = static_cast<unsigned char>(text[at + i]);
    if ((next & 0xC0) != 0x80) return REPLACEMENT;
    code = (code << 6) | (next & 0x3F);
  }
  static const char32_t SMALLEST[] = {0, 0x80, 0x800, 0x10000};
  if (code < SMALLEST[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return REPLACEMENT;
  at += extra;
  return code;
}

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

int Fail(os::DWORD error) {
  os::SetLastError(error);
  return 0;
}

// Copies a finished conversion out, or says how much room it needs.
template <typename Unit>
int Deliver(const std::basic_string<Unit>& converted, Unit* out, int size) {
  int needed = static_cast<int>(converted.size());
  if (size == 0) return needed;
  if (size < needed) return Fail(os::ERROR_INSUFFICIENT_BUFFER);
  for (int i = 0; i < needed; ++i) out[i] = converted[i];
  return needed;
}

}  // namespace

namespace os {

int MultiByteToWideChar(UINT codePage, DWORD, const char* text, int length, WCHAR* wide, int wideSize) {
  if (!text || length < -1 || length == 0 || wideSize < 0 || (wideSize > 0 && !wide))
    return Fail(ERROR_INVALID_PARAMETER);
  if (!IsAnsi(codePage) && codePage != CP_UTF8) return Fail(ERROR_INVALID_PARAMETER);
  std::string input = length == -1 ? std::string(text, std::char_traits<char>::length(text) + 1)
                                   : std::string(text, static_cast<std::size_t>(length));
  std::u16string converted;
  if (IsAnsi(codePage)) {
    for (char byte : input) converted += FromAnsi(static_cast<unsigned char>(byte));
  } else {
    for (std::size_t at = 0; at < input.size();) AppendUtf16(converted, DecodeUtf8(input, at));
  }
  return Deliver(converted, wide, wideSize);
}

int WideCharToMultiByte(UINT codePage, DWORD, const WCHAR* wide, int length, char* text, int size,
                        const char* defaultChar, BOOL* usedDefault) {
  if (!wide || length < -1 || length == 0 || size < 0 || (size > 0 && !text))
    return Fail(ERROR_INVALID_PARAMETER);
  if (!IsAnsi(codePage) && codePage != CP_UTF8) return Fail(ERROR_INVALID_PARAMETER);
  // The system takes no default character for UTF-8.
  if (codePage == CP_UTF8 && (defaultChar || usedDefault)) return Fail(ERROR_INVALID_PARAMETER);
  std::u16string input = length == -1 ? std::u16string(wide, std::char_traits<char16_t>::length(wide) + 1)
                                      : std::u16string(wide, static_cast<std::size_t>(length));
  std::string converted;
  bool defaulted = false;
  for (std::size_t at = 0; at < input.size(); ++at) {
    char16_t unit = input[at];
    if (IsAnsi(codePage)) {
      int byte = ToAnsi(unit);
      if (byte < 0) defaulted = true;
      converted += byte < 0 ? (defaultChar ? *defaultChar : '?') : static_cast<char>(byte);
      continue;
    }
    char32_t code = unit;
    if (unit >= 0xD800 && unit < 0xDC00 && at + 1 < input.size() && input[at + 1] >= 0xDC00 &&
        input[at + 1] < 0xE000) {
      code = 0x10000 + ((unit - 0xD800) << 10) + (input[++at] - 0xDC00);
    } else if (unit >= 0xD800 && unit < 0xE000) {
      code = REPLACEMENT;
    }
    AppendUtf8(converted, code);
  }
  if (usedDefault) *usedDefault = defaulted ? TRUE : FALSE;
  return Deliver(converted, text, size);
}

}  // namespace os
