// The desktop icon source on the offscreen platform: theme icons for folders and file
// types, a program's own icon, and .ico files that Qt itself reads back at 16x16.
#include "ui/QtIconSource.h"

#include "core/DataItem.h"
#include "metadata/IconExport.h"
#include "metadata/IconFile.h"
#include "metadata/PeTestImage.h"
#include "support/TempDir.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>

#include <gtest/gtest.h>

namespace orv {
namespace {

bool OpaquePixels(const TIconImage& icon) {
  for (uint32_t pixel : icon.Pixels) {
    if (pixel >> 24) return true;
  }
  return false;
}

// A 16x16 icon member of one colour, as a resource compiler writes it.
std::string SolidMember(uint32_t colour) {
  return EncodeIconFile(TIconImage{16, 16, std::vector<uint32_t>(256, colour)}).substr(22);
}

class QtIconSourceTest : public ::testing::Test {
protected:
  std::string WriteProgram(const std::string& name, const std::string& member) {
    std::vector<test::TPeResource> resources;
    test::AddIconGroup(resources, 1, {{1, 16, 32, member}});
    return m_dir.WriteFile(name, test::BuildPeImage(resources));
  }

  test::TTempDir m_dir;
  TQtIconSource m_source{0x0409};
};

TEST_F(QtIconSourceTest, FoldersAndFileTypesComeFromTheTheme) {
  TIconImage folder, text, text2, unknown;
  ASSERT_TRUE(m_source.SmallIcon(m_dir.Path(), true, folder));
  ASSERT_TRUE(m_source.SmallIcon(m_dir / "notes.txt", false, text));
  ASSERT_TRUE(m_source.SmallIcon(m_dir / "missing/other.TXT", false, text2));
  ASSERT_TRUE(m_source.SmallIcon(m_dir / "readme", false, unknown));
  for (const TIconImage* icon : {&folder, &text, &unknown}) {
    EXPECT_EQ(icon->Width, 16);
    EXPECT_EQ(icon->Height, 16);
    EXPECT_EQ(icon->Pixels.size(), 256u);
    EXPECT_TRUE(OpaquePixels(*icon));
  }
  EXPECT_NE(folder.Pixels, text.Pixels);
  // The type comes from the name, whether or not the file is there to be read.
  EXPECT_EQ(text.Pixels, text2.Pixels);
  if (QFile::exists(QStringLiteral("/usr/share/icons/Adwaita/index.theme"))) {
    // The theme was found although the offscreen platform names none.
    EXPECT_NE(folder.Pixels, TQtIconSource::BuiltInIcon(true).Pixels);
    EXPECT_NE(text.Pixels, TQtIconSource::BuiltInIcon(false).Pixels);
  }
}

TEST_F(QtIconSourceTest, ProgramsShowTheirOwnIcon) {
  TIconImage icon, plain;
  ASSERT_TRUE(m_source.SmallIcon(WriteProgram("Tool.EXE", SolidMember(0xFF123456u)), false, icon));
  EXPECT_EQ(icon.Pixels, std::vector<uint32_t>(256, 0xFF123456u));

  // A member stored as PNG is decoded by Qt.
  QImage png(32, 32, QImage::Format_ARGB32);
  png.fill(QColor::fromRgba(0xFF00C000u));
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  ASSERT_TRUE(png.save(&buffer, "PNG"));
  ASSERT_TRUE(m_source.SmallIcon(WriteProgram("lib.dll", bytes.toStdString()), false, icon));
  EXPECT_EQ(icon.Pixels, std::vector<uint32_t>(256, 0xFF00C000u));

  // A program without icons gets the type's; other extensions never look inside.
  ASSERT_TRUE(m_source.SmallIcon(m_dir.WriteFile("plain.exe", "MZ"), false, plain));
  EXPECT_TRUE(OpaquePixels(plain));
  EXPECT_NE(plain.Pixels, std::vector<uint32_t>(256, 0xFF123456u));
  ASSERT_TRUE(m_source.SmallIcon(WriteProgram("program.bin", SolidMember(0xFF123456u)), false, icon));
  EXPECT_NE(icon.Pixels, std::vector<uint32_t>(256, 0xFF123456u));
}

TEST_F(QtIconSourceTest, WrittenIconsLoadInQt) {
  const std::string program = WriteProgram("setup.exe", SolidMember(0x80FF0000u));
  const std::string icons = m_dir.MakeDir("icons");
  const std::vector<std::pair<std::string, bool>> entries{{program, false}, {m_dir / "a.txt", false},
                                                          {m_dir.Path() + "/", true}};
  for (const auto& [path, isDirectory] : entries) {
    TDataItem item;
    item.SetPath(path, path, isDirectory);
    item.IsDirectory = isDirectory;
    ASSERT_TRUE(ExportIcon(item, TFilePath::FromNative(icons), m_source)) << path;
  }
  for (const char* name : {"setup.exe.ico", "txt.ico", "files.ico"}) {
    QImageReader reader(QString::fromStdString(icons + "/" + name));
    EXPECT_EQ(reader.format(), "ico") << name;
    const QImage image = reader.read();
    ASSERT_FALSE(image.isNull()) << name << ": " << reader.errorString().toStdString();
    EXPECT_EQ(image.size(), QSize(16, 16)) << name;
  }
  // The program's half-transparent pixels survive the round trip.
  const QImage image(QString::fromStdString(icons + "/setup.exe.ico"));
  EXPECT_EQ(image.convertToFormat(QImage::Format_ARGB32).pixel(3, 7), 0x80FF0000u);

  // Built-in icons stand in when there is no theme at all.
  for (bool folder : {false, true}) {
    const TIconImage builtIn = TQtIconSource::BuiltInIcon(folder);
    EXPECT_EQ(builtIn.Pixels.size(), 256u);
    EXPECT_TRUE(OpaquePixels(builtIn));
    EXPECT_EQ(builtIn.Pixels[0] >> 24, 0u);
  }
}

}  // namespace
}  // namespace orv
