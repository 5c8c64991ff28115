// The small icon of generated PE images: which member of the group is taken, how each
// pixel format and its mask decode, scaling, PNG members, and damaged groups.
#include "metadata/PeIcon.h"

#include "PeTestImage.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <functional>

namespace orv {
namespace {

using test::TPeResource;

constexpr uint32_t kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu, kGrey = 0xFF808080u;

void Put16(std::string& out, uint32_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>(value >> 8 & 0xFF));
}
void Put32(std::string& out, uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

// An icon member as resource compilers write it. For up to 8 bits, pixel gives palette
// indices; otherwise 0xAARRGGBB (alpha dropped at 24 bits). masked marks mask bits.
std::string Dib(int side, int bits, const std::vector<uint32_t>& palette, const std::function<uint32_t(int, int)>& pixel,
                const std::function<bool(int, int)>& masked = [](int, int) { return false; }) {
  std::string out;
  Put32(out, 40);
  Put32(out, static_cast<uint32_t>(side));
  Put32(out, static_cast<uint32_t>(side * 2));
  Put16(out, 1);
  Put16(out, static_cast<uint32_t>(bits));
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, static_cast<uint32_t>(palette.size()));
  Put32(out, 0);
  for (uint32_t colour : palette) Put32(out, colour & 0xFFFFFF);
  const auto pad = [&out](std::size_t start) {
    while ((out.size() - start) % 4) out.push_back('\0');
  };
  for (int y = side - 1; y >= 0; --y) {
    const std::size_t start = out.size();
    if (bits >= 24) {
      for (int x = 0; x < side; ++x) {
        const uint32_t value = pixel(x, y);
        out.push_back(static_cast<char>(value & 0xFF));
        out.push_back(static_cast<char>(value >> 8 & 0xFF));
        out.push_back(static_cast<char>(value >> 16 & 0xFF));
        if (bits == 32) out.push_back(static_cast<char>(value >> 24));
      }
    } else {
      uint32_t accumulator = 0;
      int used = 0;
      for (int x = 0; x < side; ++x) {
        accumulator = accumulator << bits | pixel(x, y);
        used += bits;
        if (used == 8) {
          out.push_back(static_cast<char>(accumulator));
          accumulator = 0;
          used = 0;
        }
      }
    }
    pad(start);
  }
  for (int y = side - 1; y >= 0; --y) {
    const std::size_t start = out.size();
    for (int x = 0; x < side; x += 8) {
      unsigned char byte = 0;
      for (int bit = 0; bit < 8 && x + bit < side; ++bit) byte |= masked(x + bit, y) ? 0x80 >> bit : 0;
      out.push_back(static_cast<char>(byte));
    }
    pad(start);
  }
  return out;
}

std::string Solid(int side, uint32_t colour) {
  return Dib(side, 32, {}, [colour](int, int) { return colour; });
}

bool IsSolid(const TIconImage& icon, uint32_t colour) {
  if (icon.Width != 16 || icon.Height != 16 || icon.Pixels.size() != 256) return false;
  for (uint32_t pixel : icon.Pixels) {
    if (pixel != colour) return false;
  }
  return true;
}

class PeIconTest : public ::testing::Test {
protected:
  bool IconOf(const std::vector<TPeResource>& resources, TIconImage& icon, TPeIconReader* reader = nullptr) {
    TPeIconReader plain;
    const std::string path = m_dir.WriteFile("program.exe", test::BuildPeImage(resources));
    icon = TIconImage{};
    return (reader ? *reader : plain).SmallIcon(path, icon);
  }
  test::TTempDir m_dir;
  TIconImage m_icon;
};

TEST_F(PeIconTest, TakesTheMemberClosestTo16) {
  std::vector<TPeResource> resources;
  test::AddIconGroup(resources, 1,
                     {{1, 32, 32, Solid(32, kRed)}, {2, 16, 8, Dib(16, 8, {kGrey}, [](int, int) { return 0; })},
                      {3, 16, 32, Solid(16, kBlue)}, {4, 48, 32, Solid(48, kGreen)}});
  // Only the first group counts, as in the shell.
  test::AddIconGroup(resources, 2, {{9, 16, 32, Solid(16, kGreen)}});
  ASSERT_TRUE(IconOf(resources, m_icon));
  EXPECT_TRUE(IsSolid(m_icon, kBlue));

  // No 16x16: the smallest larger one, scaled down.
  resources.clear();
  test::AddIconGroup(resources, 1, {{1, 48, 32, Solid(48, kRed)}, {2, 8, 32, Solid(8, kBlue)},
                                    {3, 24, 32, Solid(24, kGreen)}});
  ASSERT_TRUE(IconOf(resources, m_icon));
  EXPECT_TRUE(IsSolid(m_icon, kGreen));

  // Nothing larger: the largest smaller one, scaled up.
  resources.clear();
  test::AddIconGroup(resources, 1, {{1, 8, 32, Solid(8, kRed)}, {2, 12, 32, Solid(12, kBlue)}});
  ASSERT_TRUE(IconOf(resources, m_icon));
  EXPECT_TRUE(IsSolid(m_icon, kBlue));

  // A group kept in two languages is read in the user's.
  resources.clear();
  test::AddIconGroup(resources, 1, {{1, 16, 32, Solid(16, kRed)}}, 0x0409);
  test::AddIconGroup(resources, 1, {{1, 16, 32, Solid(16, kGreen)}}, 0x0411);
  TPeIconReader japanese(0x0411);
  ASSERT_TRUE(IconOf(resources, m_icon, &japanese));
  EXPECT_TRUE(IsSolid(m_icon, kGreen));
  ASSERT_TRUE(IconOf(resources, m_icon));
  EXPECT_TRUE(IsSolid(m_icon, kRed));
}

TEST(PeIconDecodeTest, DecodesEveryDepthWithItsMask) {
  const auto corner = [](int x, int y) { return x == 0 && y == 0; };
  const auto halves = [](int x, int) -> uint32_t { return x < 8 ? 1 : 2; };
  TIconImage icon;
  for (int bits : {1, 4, 8}) {
    SCOPED_TRACE(bits);
    const auto indices = [&](int x, int y) -> uint32_t { return bits == 1 ? (x < 8 ? 0 : 1) : halves(x, y); };
    const std::vector<uint32_t> palette =
        bits == 1 ? std::vector<uint32_t>{kRed, kGreen} : std::vector<uint32_t>{kGrey, kRed, kGreen};
    ASSERT_TRUE(DecodeIconDib(Dib(16, bits, palette, indices, corner), icon));
    ASSERT_EQ(icon.Pixels.size(), 256u);
    EXPECT_EQ(icon.Pixels[0] >> 24, 0u);  // the masked top-left pixel
    EXPECT_EQ(icon.Pixels[1], kRed);
    EXPECT_EQ(icon.Pixels[15], kGreen);
    EXPECT_EQ(icon.Pixels[255], kGreen);  // bottom right: the rows were turned the right way up
    EXPECT_EQ(icon.Pixels[240], kRed);
  }
  const auto gradient = [](int x, int y) { return 0xFF000000u | static_cast<uint32_t>(x) << 16 | static_cast<uint32_t>(y); };
  ASSERT_TRUE(DecodeIconDib(Dib(16, 24, {}, gradient, corner), icon));
  EXPECT_EQ(icon.Pixels[0] >> 24, 0u);
  EXPECT_EQ(icon.Pixels[16 * 3 + 5], gradient(5, 3));
  // 32 bits without any alpha (older icons): the mask decides.
  ASSERT_TRUE(DecodeIconDib(Dib(16, 32, {}, [](int, int) { return 0x00123456u; }, corner), icon));
  EXPECT_EQ(icon.Pixels[0], 0x00123456u);
  EXPECT_EQ(icon.Pixels[1], 0xFF123456u);
  // With alpha, the mask is ignored.
  ASSERT_TRUE(DecodeIconDib(Dib(16, 32, {}, [](int, int) { return 0x80123456u; }, corner), icon));
  EXPECT_EQ(icon.Pixels[0], 0x80123456u);

  // Damaged headers are refused, without reading past the bytes.
  std::string dib = Dib(16, 4, {kRed}, [](int, int) { return 0; });
  EXPECT_FALSE(DecodeIconDib(dib.substr(0, 40 + 4 + 16 * 8 - 1), icon));  // colour rows cut
  std::string damaged = dib;
  test::Poke32(damaged, 4, 0x7FFFFFFF);  // width
  EXPECT_FALSE(DecodeIconDib(damaged, icon));
  damaged = dib;
  test::Poke32(damaged, 8, 0xFFFFFFE0);  // negative height
  EXPECT_FALSE(DecodeIconDib(damaged, icon));
  damaged = dib;
  test::Poke32(damaged, 32, 0x40000000);  // palette length
  EXPECT_FALSE(DecodeIconDib(damaged, icon));
  damaged = dib;
  test::Poke32(damaged, 0, 0xFFFFFFF0);  // header length
  EXPECT_FALSE(DecodeIconDib(damaged, icon));
  EXPECT_FALSE(DecodeIconDib(std::string("\x89PNG\r\n\x1A\n", 8) + std::string(64, '\0'), icon));
}

TEST(PeIconDecodeTest, ScalingLetsNoColourThroughTransparentPixels) {
  TIconImage image{2, 2, {0x00FF0000u, kBlue, kBlue, kBlue}};
  const TIconImage scaled = ScaleIcon(image, 1, 1);
  ASSERT_EQ(scaled.Pixels.size(), 1u);
  EXPECT_EQ(scaled.Pixels[0], 0xBF0000FFu);  // three quarters opaque, pure blue
}

TEST_F(PeIconTest, PngMembersNeedADecoder) {
  const std::string png = std::string("\x89PNG\r\n\x1A\n", 8) + "payload";
  std::vector<TPeResource> resources;
  test::AddIconGroup(resources, 1, {{1, 16, 32, png}, {2, 32, 32, Solid(32, kRed)}});
  ASSERT_TRUE(IconOf(resources, m_icon));
  EXPECT_TRUE(IsSolid(m_icon, kRed));

  TPeIconReader reader;
  std::string seen;
  reader.SetPngDecoder([&seen](std::string_view bytes, TIconImage& image) {
    seen = bytes;
    image = TIconImage{32, 32, std::vector<uint32_t>(1024, kGreen)};
    return true;
  });
  ASSERT_TRUE(IconOf(resources, m_icon, &reader));
  EXPECT_EQ(seen, png);
  EXPECT_TRUE(IsSolid(m_icon, kGreen));
}

TEST_F(PeIconTest, DamagedGroupsGiveTheNextMemberOrNothing) {
  // The preferred member is cut short; the next one serves.
  std::vector<TPeResource> resources;
  test::AddIconGroup(resources, 1, {{1, 16, 32, Solid(16, kRed).substr(0, 300)}, {2, 32, 32, Solid(32, kBlue)}});
  ASSERT_TRUE(IconOf(resources, m_icon));
  EXPECT_TRUE(IsSolid(m_icon, kBlue));

  // A count beyond the group's bytes, a member that does not exist.
  resources.clear();
  test::AddIconGroup(resources, 1, {{7, 16, 32, Solid(16, kRed)}});
  resources.erase(resources.begin());  // the member itself
  test::TPeLayout layout;
  std::string image = test::BuildPeImage(resources, false, &layout);
  test::Poke16(image, layout.Data[0] + 4, 0xFFFF);
  TPeIconReader reader;
  EXPECT_FALSE(reader.SmallIcon(m_dir.WriteFile("broken.exe", image), m_icon));

  // A cursor group, a PE image without icons, a file that is no PE image, a folder.
  resources.clear();
  test::AddIconGroup(resources, 1, {{1, 16, 32, Solid(16, kRed)}});
  image = test::BuildPeImage(resources, false, &layout);
  test::Poke16(image, layout.Data[1] + 2, 2);
  EXPECT_FALSE(reader.SmallIcon(m_dir.WriteFile("cursor.exe", image), m_icon));
  EXPECT_FALSE(IconOf({TPeResource{16, 1, u"", 0x0409, "version"}}, m_icon));
  EXPECT_FALSE(reader.SmallIcon(m_dir.WriteFile("text.exe", "MZ but nothing else"), m_icon));
  EXPECT_FALSE(reader.SmallIcon(m_dir.Path(), m_icon));
}

}  // namespace
}  // namespace orv
