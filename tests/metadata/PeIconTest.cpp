// The small icon of generated PE images: which member of the group is taken, how each
// pixel depth and its mask decode, scaling, PNG members, and damaged groups.
#include "metadata/PeIcon.h"

#include "metadata/IconFile.h"
#include "PeTestImage.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace orv {
namespace {

using test::TPeResource;

constexpr uint32_t kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu, kGrey = 0xFF808080u;

void Put(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
}

// A 16x16 member of 1 to 24 bits as resource compilers write it: pixel gives palette
// indices, or 0xRRGGBB at 24 bits; masked marks the mask bits.
std::string Dib(int bits, const std::vector<uint32_t>& palette, const std::function<uint32_t(int, int)>& pixel,
                const std::function<bool(int, int)>& masked) {
  std::string out;
  for (uint32_t field : {40u, 16u, 32u, 1u | bits << 16, 0u, 0u, 0u, 0u, uint32_t(palette.size()), 0u}) {
    Put(out, field, 4);
  }
  for (uint32_t colour : palette) Put(out, colour & 0xFFFFFF, 4);
  for (int y = 15; y >= 0; --y) {
    std::string line(bits * 2, '\0');
    for (int x = 0; x < 16; ++x) {
      if (bits == 24) {
        line.replace(x * 3, 3, std::string{char(pixel(x, y)), char(pixel(x, y) >> 8), char(pixel(x, y) >> 16)});
      } else {
        line[x * bits / 8] |= static_cast<char>(pixel(x, y) << (8 - bits - x * bits % 8));
      }
    }
    out += line;
    out.append((4 - bits * 2 % 4) % 4, '\0');
  }
  for (int y = 15; y >= 0; --y) {
    uint32_t row = 0;
    for (int x = 0; x < 16; ++x) row = row << 1 | masked(x, y);
    Put(out, row >> 8 | (row & 0xFF) << 8, 4);  // two mask bytes, then padding
  }
  return out;
}

std::string Solid(int side, uint32_t colour) {
  return EncodeIconFile(TIconImage{side, side, std::vector<uint32_t>(side * side, colour)}).substr(22);
}

bool IsSolid(const TIconImage& icon, uint32_t colour) {
  return icon.Width == 16 && icon.Height == 16 && icon.Pixels == std::vector<uint32_t>(256, colour);
}

class PeIconTest : public ::testing::Test {
protected:
  bool IconOf(const std::vector<TPeResource>& resources, TPeIconReader& reader, std::string image = {}) {
    m_icon = TIconImage{};
    return reader.SmallIcon(m_dir.WriteFile("program.exe", image.empty() ? test::BuildPeImage(resources) : image),
                            m_icon);
  }
  test::TTempDir m_dir;
  TPeIconReader m_reader;
  TIconImage m_icon;
};

TEST_F(PeIconTest, TakesTheMemberClosestTo16) {
  std::vector<TPeResource> resources;
  test::AddIconGroup(resources, 1, {{1, 32, 32, Solid(32, kRed)}, {2, 16, 8, Solid(16, kGrey)},
                                    {3, 16, 32, Solid(16, kBlue)}, {4, 48, 32, Solid(48, kGreen)}});
  // Only the first group counts, as in the shell.
  test::AddIconGroup(resources, 2, {{9, 16, 32, Solid(16, kGreen)}});
  ASSERT_TRUE(IconOf(resources, m_reader));
  EXPECT_TRUE(IsSolid(m_icon, kBlue));

  // No 16x16: the smallest larger one, scaled down; nothing larger: the largest smaller.
  resources.clear();
  test::AddIconGroup(resources, 1, {{1, 48, 32, Solid(48, kRed)}, {2, 8, 32, Solid(8, kBlue)},
                                    {3, 24, 32, Solid(24, kGreen)}});
  ASSERT_TRUE(IconOf(resources, m_reader));
  EXPECT_TRUE(IsSolid(m_icon, kGreen));
  resources.clear();
  test::AddIconGroup(resources, 1, {{1, 8, 32, Solid(8, kRed)}, {2, 12, 32, Solid(12, kBlue)}});
  ASSERT_TRUE(IconOf(resources, m_reader));
  EXPECT_TRUE(IsSolid(m_icon, kBlue));

  // A group kept in two languages is read in the user's.
  resources.clear();
  test::AddIconGroup(resources, 1, {{1, 16, 32, Solid(16, kRed)}}, 0x0409);
  test::AddIconGroup(resources, 1, {{1, 16, 32, Solid(16, kGreen)}}, 0x0411);
  TPeIconReader japanese(0x0411);
  ASSERT_TRUE(IconOf(resources, japanese));
  EXPECT_TRUE(IsSolid(m_icon, kGreen));
  ASSERT_TRUE(IconOf(resources, m_reader));
  EXPECT_TRUE(IsSolid(m_icon, kRed));
}

TEST(PeIconDecodeTest, DecodesEveryDepthWithItsMask) {
  const auto corner = [](int x, int y) { return x == 0 && y == 0; };
  const auto noMask = [](int, int) { return false; };
  // Alternating colours catch pixels taken from the wrong end of a byte.
  const auto alternate = [](int x, int) -> uint32_t { return x % 2; };
  TIconImage icon;
  for (int bits : {1, 4, 8}) {
    SCOPED_TRACE(bits);
    // Two colours: deeper images may declare a short palette.
    ASSERT_TRUE(DecodeIconDib(Dib(bits, {kRed, kGreen}, alternate, corner), icon));
    ASSERT_EQ(icon.Pixels.size(), 256u);
    EXPECT_EQ(icon.Pixels[0] >> 24, 0u);  // the masked top-left pixel: rows come back the right way up
    EXPECT_EQ(icon.Pixels[1], kGreen);
    EXPECT_EQ(icon.Pixels[2], kRed);
    EXPECT_EQ(icon.Pixels[254], kRed);
    EXPECT_EQ(icon.Pixels[255], kGreen);
  }
  const auto gradient = [](int x, int y) { return static_cast<uint32_t>(x) << 16 | static_cast<uint32_t>(y); };
  ASSERT_TRUE(DecodeIconDib(Dib(24, {}, gradient, corner), icon));
  EXPECT_EQ(icon.Pixels[0] >> 24, 0u);
  EXPECT_EQ(icon.Pixels[16 * 3 + 5], 0xFF000000u | gradient(5, 3));
  // 32 bits without any alpha (older icons): the mask decides; with alpha, it does not.
  std::string member = Solid(16, 0x00123456u);
  std::fill(member.end() - 16 * 4, member.end(), '\0');
  member[member.size() - 4] = static_cast<char>(0x80);  // mask bit of the top-left pixel
  ASSERT_TRUE(DecodeIconDib(member, icon));
  EXPECT_EQ(icon.Pixels[0], 0x00123456u);
  EXPECT_EQ(icon.Pixels[1], 0xFF123456u);
  member[40 + 4 + 3] = 0x40;  // alpha of the bottom row's second pixel, stored first
  ASSERT_TRUE(DecodeIconDib(member, icon));
  EXPECT_EQ(icon.Pixels[0], 0x00123456u);
  EXPECT_EQ(icon.Pixels[1], 0x00123456u);
  EXPECT_EQ(icon.Pixels[241], 0x40123456u);

  // Damaged headers are refused, without reading past the bytes.
  const std::string dib = Dib(4, {kRed}, alternate, noMask);
  EXPECT_FALSE(DecodeIconDib(dib.substr(0, 40 + 4 + 16 * 8 - 1), icon));  // colour rows cut
  for (auto [offset, value] : std::vector<std::pair<std::size_t, uint32_t>>{
           {0, 0xFFFFFFF0}, {4, 0x7FFFFFFF}, {8, 0xFFFFFFE0}, {16, 1}, {32, 0x40000000}}) {
    std::string damaged = dib;
    test::Poke32(damaged, offset, value);
    EXPECT_FALSE(DecodeIconDib(damaged, icon)) << offset;
  }
}

TEST(PeIconDecodeTest, ScalingLetsNoColourThroughTransparentPixels) {
  const TIconImage scaled = ScaleIcon(TIconImage{2, 2, {0x00FF0000u, kBlue, kBlue, kBlue}}, 1, 1);
  EXPECT_EQ(scaled.Pixels, std::vector<uint32_t>{0xBF0000FFu});  // three quarters opaque, pure blue
}

TEST_F(PeIconTest, PngMembersNeedADecoder) {
  const std::string png = std::string("\x89PNG\r\n\x1A\n", 8) + "payload";
  std::vector<TPeResource> resources;
  test::AddIconGroup(resources, 1, {{1, 16, 32, png}, {2, 32, 32, Solid(32, kRed)}});
  ASSERT_TRUE(IconOf(resources, m_reader));
  EXPECT_TRUE(IsSolid(m_icon, kRed));

  std::string seen;
  m_reader.SetPngDecoder([&seen](std::string_view bytes, TIconImage& image) {
    seen = bytes;
    image = TIconImage{32, 32, std::vector<uint32_t>(1024, kGreen)};
    return true;
  });
  ASSERT_TRUE(IconOf(resources, m_reader));
  EXPECT_EQ(seen, png);
  EXPECT_TRUE(IsSolid(m_icon, kGreen));
}

TEST_F(PeIconTest, DamagedGroupsGiveTheNextMemberOrNothing) {
  // The preferred member is cut short; the next one serves.
  std::vector<TPeResource> resources;
  test::AddIconGroup(resources, 1, {{1, 16, 32, Solid(16, kRed).substr(0, 300)}, {2, 32, 32, Solid(32, kBlue)}});
  ASSERT_TRUE(IconOf(resources, m_reader));
  EXPECT_TRUE(IsSolid(m_icon, kBlue));

  // A count beyond the group's bytes, naming a member that does not exist.
  resources.clear();
  test::AddIconGroup(resources, 1, {{7, 16, 32, Solid(16, kRed)}});
  resources.erase(resources.begin());
  test::TPeLayout layout;
  std::string image = test::BuildPeImage(resources, false, &layout);
  test::Poke16(image, layout.Data[0] + 4, 0xFFFF);
  EXPECT_FALSE(IconOf({}, m_reader, image));

  // A cursor group, a PE image without icons, a file that is no PE image, a folder.
  resources.clear();
  test::AddIconGroup(resources, 1, {{1, 16, 32, Solid(16, kRed)}});
  image = test::BuildPeImage(resources, false, &layout);
  test::Poke16(image, layout.Data[1] + 2, 2);
  EXPECT_FALSE(IconOf({}, m_reader, image));
  EXPECT_FALSE(IconOf({TPeResource{16, 1, u"", 0x0409, "version"}}, m_reader));
  EXPECT_FALSE(IconOf({}, m_reader, "MZ but nothing else"));
  EXPECT_FALSE(m_reader.SmallIcon(m_dir.Path(), m_icon));
}

}  // namespace
}  // namespace orv
