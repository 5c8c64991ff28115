// The active code page and the conversions that follow it.
#include "platform/CodePage.h"

#include "platform/Utf8.h"

#include <atomic>

namespace orv {

namespace {

// Relaxed is enough: the code page changes only while no run reads text.
std::atomic<int> g_activeCodePage{CodePageShiftJis};

}  // namespace

TCodePage ActiveCodePage() {
  return g_activeCodePage.load(std::memory_order_relaxed) == CodePageUtf8 ? CodePageUtf8 : CodePageShiftJis;
}

void SetActiveCodePage(int codePage) {
  g_activeCodePage.store(codePage == CodePageUtf8 ? CodePageUtf8 : CodePageShiftJis, std::memory_order_relaxed);
}

std::string Utf8ToAnsi(std::string_view utf8) {
  return ActiveCodePage() == CodePageUtf8 ? SanitizeUtf8(utf8) : Utf8ToCp932(utf8);
}

std::string Utf16ToAnsi(std::u16string_view utf16) {
  return ActiveCodePage() == CodePageUtf8 ? Utf16ToUtf8(utf16) : Utf16ToCp932(utf16);
}

std::string AnsiToUtf8(std::string_view ansi) {
  return ActiveCodePage() == CodePageUtf8 ? SanitizeUtf8(ansi) : Cp932ToUtf8(ansi);
}

std::u16string AnsiToUtf16(std::string_view ansi) {
  return ActiveCodePage() == CodePageUtf8 ? Utf8ToUtf16(ansi) : Cp932ToUtf16(ansi);
}

std::string ConvertCodePage(std::string_view text, TCodePage from, TCodePage to) {
  if (from == to) {
    return std::string(text);
  }
  return to == CodePageUtf8 ? Cp932ToUtf8(text) : Utf8ToCp932(text);
}

}  // namespace orv
