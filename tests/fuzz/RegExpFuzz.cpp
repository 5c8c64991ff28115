// libFuzzer harness for the regular-expression adapter. The input is a pattern and a
// subject, split at the first NUL byte (no NUL: the whole input is both); both are
// CP932 text as a run gives them. Match and Split are tried; an engine that gives up
// must say so with EBRegExpError, and every part of a result must lie in the subject.
#include "scan/BRegExp.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

void CheckParts(const orv::TBRegExp& regExp, std::string_view subject) {
  for (int i = 0; i < regExp.PartCount(); ++i) {
    const std::string_view part = regExp.PartView(i);
    if (part.data() == nullptr) continue;  // a group that took no part in the match
    if (part.data() < subject.data() || part.data() + part.size() > subject.data() + subject.size()) {
      __builtin_trap();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::size_t nul = input.find('\0');
  const std::string pattern = nul == std::string::npos ? input : input.substr(0, nul);
  const std::string subject = nul == std::string::npos ? input : input.substr(nul + 1);

  orv::TBRegExp regExp;
  try {
    if (regExp.Match(pattern, subject)) CheckParts(regExp, subject);
  } catch (const orv::EBRegExpError&) {
  }
  try {
    if (regExp.Split(pattern, subject, 0)) CheckParts(regExp, subject);
    if (regExp.Split(pattern, subject, 3) && regExp.PartCount() > 3) __builtin_trap();
  } catch (const orv::EBRegExpError&) {
  }
  return 0;
}
