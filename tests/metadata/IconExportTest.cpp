// Icon export: which icon file an entry provides, that an existing one is never
// replaced, and that the written files are well-formed 16x16 icons.
#include "metadata/IconExport.h"

#include "metadata/IconFile.h"
#include "metadata/PeIcon.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace orv {
namespace {

uint32_t Le32(const std::string& bytes, std::size_t offset) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[offset + i]);
  return value;
}
uint32_t Le16(const std::string& bytes, std::size_t offset) {
  return static_cast<unsigned char>(bytes[offset]) | static_cast<unsigned char>(bytes[offset + 1]) << 8;
}

// Checks an .ico file the way a strict reader would and returns its one image.
::testing::AssertionResult ParseIcon(const std::string& bytes, TIconImage& image) {
  if (bytes.size() < 22) return ::testing::AssertionFailure() << "too short: " << bytes.size();
  if (Le16(bytes, 0) != 0 || Le16(bytes, 2) != 1 || Le16(bytes, 4) != 1) {
    return ::testing::AssertionFailure() << "not a one-image icon directory";
  }
  const uint32_t length = Le32(bytes, 14), offset = Le32(bytes, 18);
  if (offset != 22 || offset + length != bytes.size()) return ::testing::AssertionFailure() << "bad extent";
  if (Le16(bytes, 10) != 1 || Le16(bytes, 12) != 32) return ::testing::AssertionFailure() << "not 32-bit";
  // The header's height counts the colour and the mask rows.
  const unsigned width = static_cast<unsigned char>(bytes[6]), height = static_cast<unsigned char>(bytes[7]);
  if (Le32(bytes, 22 + 4) != width || Le32(bytes, 22 + 8) != 2 * height) {
    return ::testing::AssertionFailure() << "directory and bitmap sizes disagree";
  }
  if (!DecodeIconDib(std::string_view(bytes).substr(22), image)) return ::testing::AssertionFailure() << "bad DIB";
  return ::testing::AssertionSuccess();
}

// Hands out a solid icon of a new colour on every call, and remembers who asked.
class TFakeIconSource : public TIconSource {
public:
  bool SmallIcon(const std::string& nativePath, bool isDirectory, TIconImage& icon) override {
    Asked.push_back(nativePath + (isDirectory ? " (dir)" : ""));
    if (!HasIcon) return false;
    icon.Width = icon.Height = 16;
    icon.Pixels.assign(256, 0xFF000000u | ++m_colour);
    return true;
  }
  std::vector<std::string> Asked;
  bool HasIcon = true;

private:
  uint32_t m_colour = 0x100;
};

TDataItem Item(const std::string& path, bool isDirectory = false) {
  TDataItem item;
  item.SetPath(path, path, isDirectory);
  item.IsDirectory = isDirectory;
  return item;
}

class IconExportTest : public ::testing::Test {
protected:
  uint32_t ColourOf(const std::string& name) {
    TIconImage image;
    EXPECT_TRUE(ParseIcon(test::ReadFileText(m_dir / name), image)) << name;
    EXPECT_EQ(image.Width, 16);
    EXPECT_EQ(image.Height, 16);
    return image.Pixels.empty() ? 0 : image.Pixels[0];
  }
  test::TTempDir m_dir;
  TFilePath m_icons = TFilePath::FromNative(m_dir.Path());
  TFakeIconSource m_source;
};

TEST_F(IconExportTest, OneFilePerIconNameFromTheFirstEntry) {
  EXPECT_TRUE(ExportIcon(Item("/t/SETUP.EXE"), m_icons, m_source));
  EXPECT_TRUE(ExportIcon(Item("/t/readme"), m_icons, m_source));
  EXPECT_TRUE(ExportIcon(Item("/t/a.b/", true), m_icons, m_source));
  EXPECT_TRUE(ExportIcon(Item("/t/notes.TXT"), m_icons, m_source));
  // A file with the extension "files" shares the directories' icon file.
  EXPECT_FALSE(ExportIcon(Item("/t/a.files"), m_icons, m_source));
  EXPECT_TRUE(ExportIcon(Item("/t/one/setup.exe"), m_icons, m_source));
  EXPECT_FALSE(ExportIcon(Item("/t/two/setup.exe"), m_icons, m_source));
  // Names are exact on Linux: the listing refers to txt.ico for this one, so it must exist.
  EXPECT_TRUE(ExportIcon(Item("/t/other.txt"), m_icons, m_source));

  // The source is asked only while the name is free: each answer costs a theme lookup.
  EXPECT_EQ(m_source.Asked, (std::vector<std::string>{"/t/SETUP.EXE", "/t/readme", "/t/a.b/ (dir)",
                                                      "/t/notes.TXT", "/t/one/setup.exe", "/t/other.txt"}));
  EXPECT_EQ(ColourOf("SETUP.EXE.ico"), 0xFF000101u);
  EXPECT_EQ(ColourOf("noext.ico"), 0xFF000102u);
  EXPECT_EQ(ColourOf("files.ico"), 0xFF000103u);
  EXPECT_EQ(ColourOf("TXT.ico"), 0xFF000104u);
  EXPECT_EQ(ColourOf("setup.exe.ico"), 0xFF000105u);
  EXPECT_EQ(ColourOf("txt.ico"), 0xFF000106u);

  // The listing names the icon in CP932; the file carries that name in UTF-8.
  TDataItem japanese;
  japanese.SetPath("/t/\x93\xFA\x96\x7B.exe", "/t/\xE6\x97\xA5\xE6\x9C\xAC.exe", false);
  EXPECT_TRUE(ExportIcon(japanese, m_icons, m_source));
  EXPECT_EQ(m_source.Asked.back(), "/t/\xE6\x97\xA5\xE6\x9C\xAC.exe");
  EXPECT_EQ(ColourOf("\xE6\x97\xA5\xE6\x9C\xAC.exe.ico"), 0xFF000107u);
}

TEST_F(IconExportTest, NeverReplacesAnythingAndFailsQuietly) {
  // An icon file from an earlier run, a dangling link and a folder all keep the name.
  m_dir.WriteFile("txt.ico", "earlier run");
  ASSERT_EQ(symlink((m_dir / "elsewhere.ico").c_str(), (m_dir / "pdf.ico").c_str()), 0);
  m_dir.MakeDir("files.ico");
  EXPECT_FALSE(ExportIcon(Item("/t/a.txt"), m_icons, m_source));
  EXPECT_FALSE(ExportIcon(Item("/t/a.pdf"), m_icons, m_source));
  EXPECT_FALSE(ExportIcon(Item("/t/sub/", true), m_icons, m_source));
  EXPECT_EQ(test::ReadFileText(m_dir / "txt.ico"), "earlier run");
  struct stat st;
  EXPECT_NE(lstat((m_dir / "elsewhere.ico").c_str(), &st), 0);
  EXPECT_TRUE(m_source.Asked.empty());

  // No icon from the source, or no folder to write into: nothing written, no error.
  m_source.HasIcon = false;
  EXPECT_FALSE(ExportIcon(Item("/t/a.doc"), m_icons, m_source));
  EXPECT_NE(lstat((m_dir / "doc.ico").c_str(), &st), 0);
  m_source.HasIcon = true;
  EXPECT_TRUE(ExportIcon(Item("/t/b.doc"), m_icons, m_source));
  EXPECT_FALSE(ExportIcon(Item("/t/c.jpg"), TFilePath::FromNative(m_dir / "missing"), m_source));

  // No temporary file is left beside the icons.
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(m_dir.Path())) names.insert(entry.path().filename());
  EXPECT_EQ(names, (std::set<std::string>{"doc.ico", "files.ico", "pdf.ico", "txt.ico"}));
}

TEST(IconFileTest, KeepsTransparencyForReadersWithAndWithoutAlpha) {
  TIconImage image;
  image.Width = 20;  // a mask row is padded to 32 bits
  image.Height = 3;
  image.Pixels.assign(60, 0xFF102030u);
  image.Pixels[0] = 0x00000000u;    // clear, top left
  image.Pixels[21] = 0x80FF0000u;   // half-transparent red
  image.Pixels[59] = 0x00FFFFFFu;   // clear, bottom right
  const std::string bytes = EncodeIconFile(image);
  TIconImage decoded;
  ASSERT_TRUE(ParseIcon(bytes, decoded));
  EXPECT_EQ(decoded.Pixels, image.Pixels);
  // Rows are stored bottom up: the first mask row is the image's last.
  const std::size_t mask = 22 + 40 + 20 * 3 * 4;
  EXPECT_EQ(static_cast<unsigned char>(bytes[mask + 2]), 0x10);  // pixel 19 of the bottom row
  EXPECT_EQ(static_cast<unsigned char>(bytes[mask + 8]), 0x80);  // pixel 0 of the top row
  EXPECT_EQ(bytes[mask + 4], 0);                                 // the middle row is opaque

  image.Pixels.pop_back();
  EXPECT_TRUE(EncodeIconFile(image).empty());
  EXPECT_TRUE(EncodeIconFile(TIconImage{}).empty());
}

}  // namespace
}  // namespace orv
