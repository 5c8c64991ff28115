// libFuzzer harness for the program icon reader. Each input is tried as a whole PE
// image (the first icon group, its members picked, decoded and scaled) and as a bare
// icon member. Seed it with images from the test writer's AddIconGroup
// (tests/metadata/PeTestImage.h); configure as described in PeResourceFuzz.cpp.
#include "metadata/PeIcon.h"
#include "metadata/PeResources.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

void CheckSmall(const orv::TIconImage& icon) {
  if (icon.Width != 16 || icon.Height != 16 || icon.Pixels.size() != 256) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  orv::TPeResources image;
  if (image.OpenImage(input)) {
    orv::TPeIconReader reader(0x0411);
    // Stands in for the toolkit's PNG codec: any PNG member becomes a 40x24 image, so
    // the scaling of odd sizes is exercised too.
    reader.SetPngDecoder([](std::string_view, orv::TIconImage& decoded) {
      decoded = orv::TIconImage{40, 24, std::vector<uint32_t>(40 * 24, 0x80FF00FFu)};
      return true;
    });
    orv::TIconImage icon;
    if (reader.SmallIcon(image, icon)) CheckSmall(icon);
  }

  orv::TIconImage member;
  if (orv::DecodeIconDib(input, member)) {
    if (member.Pixels.size() != static_cast<std::size_t>(member.Width) * static_cast<std::size_t>(member.Height)) {
      __builtin_trap();
    }
    CheckSmall(orv::ScaleIcon(member, 16, 16));
  }
  return 0;
}
