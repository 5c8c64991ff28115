// libFuzzer harness for the PDF probe: the byte scan, the page-tree rules and the
// object-stream fallback on arbitrary bytes, with page counts on and off. The probe
// must never throw or read past the data, and with counts off it finds no count.
#include "metadata/PdfProbe.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  orv::TPdfFacts withCounts;
  orv::TPdfFacts withoutCounts;
  orv::ProbePdfData(bytes, true, withCounts);
  orv::ProbePdfData(bytes, false, withoutCounts);
  if (withoutCounts.PageCount != 0 || withCounts.PageCount < 0) {
    std::abort();
  }
  return 0;
}
