// Linux implementation of FoldLetterCase: glibc's towlower under the C.UTF-8 locale,
// which every glibc since 2.35 carries built in, so no generated locale is needed.
#include "platform/CaseFold.h"

#include <cwctype>
#include <locale.h>
#include <wctype.h>

namespace orv {

namespace {

// Created once and never changed: any thread may fold through it.
locale_t Utf8Locale() {
  static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
  return locale;
}

}  // namespace

char32_t FoldLetterCase(char32_t cp) {
  if (cp < 0x80) {
    return cp >= 'A' && cp <= 'Z' ? cp + 0x20 : cp;
  }
  const locale_t locale = Utf8Locale();
  if (locale == static_cast<locale_t>(nullptr)) {
    return cp;
  }
  return static_cast<char32_t>(towlower_l(static_cast<wint_t>(cp), locale));
}

}  // namespace orv
