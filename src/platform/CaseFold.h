// Letter case beyond ASCII, for the user-facing matches of UTF-8 text.
#pragma once

namespace orv {

// The lower-case form of a Unicode letter (the C.UTF-8 locale's tables: Latin,
// Greek, Cyrillic, full-width letters, ...); any other code point as it is.
char32_t FoldLetterCase(char32_t cp);

}  // namespace orv
