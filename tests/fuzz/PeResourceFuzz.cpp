// libFuzzer harness for the PE resource reader and the version block parser. Each
// input is tried as a whole PE image (every resource of the types the program reads is
// listed and read) and as a bare version block. Seed it with images from the test
// writer (tests/metadata/PeTestImage.h). The parsers live in orvantis_metadata, so
// configure with CMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link,address,undefined for the
// fuzzer to see their coverage and the sanitizers to watch them.
#include "metadata/FileVerInfo.h"
#include "metadata/PeResources.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

void QueryEverything(const orv::TFileVerInfo& info) {
  std::size_t total = info.Translation().size();
  total += info.CompanyName().size() + info.FileDescription().size() + info.FileVersion().size();
  total += info.InternalName().size() + info.LegalCopyright().size() + info.LegalTrademarks().size();
  total += info.OriginalFileName().size() + info.ProductName().size() + info.ProductVersion().size();
  total += info.Comments().size();
  total += info.QueryValue("\\").size();
  total += info.QueryValue("\\VarFileInfo\\Translation").size();
  total += info.QueryValue("\\StringFileInfo\\\x93\xFA\\\\x").size();
  // Without version information every value must be empty.
  if (!info.HasVersionInfo() && total != 0) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  orv::TFileVerInfo info(0x0411);
  info.LoadImage(input);
  QueryEverything(info);
  info.LoadResource(input);
  QueryEverything(info);

  orv::TPeResources pe;
  if (pe.OpenImage(input)) {
    std::vector<orv::TResourceName> names;
    std::vector<orv::TResourceLanguage> languages;
    std::string bytes;
    for (uint16_t type : {orv::ResourceTypeIcon, orv::ResourceTypeGroupIcon, orv::ResourceTypeVersion}) {
      if (!pe.ListNames(type, names)) continue;
      for (const orv::TResourceName& name : names) {
        if (!pe.ListLanguages(name, languages)) continue;
        orv::ChooseResourceLanguage(languages, 0x0411);
        for (const orv::TResourceLanguage& language : languages) {
          if (pe.ReadResource(language, bytes) && bytes.size() > size) __builtin_trap();
        }
      }
    }
    orv::TResourceName icon;
    if (pe.FindName(orv::ResourceTypeIcon, 1, icon)) pe.ListLanguages(icon, languages);
  }
  return 0;
}
