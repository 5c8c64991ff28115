// Writes the seed corpus of every fuzz harness: small, well-formed inputs of each kind
// (built by the test writers, so no seed is an opaque download), and the crafted PE
// images that once made the resource readers run for minutes ("hostile-" files, large,
// regenerated on every run and not kept in the repository).
// Usage: MakeFuzzCorpus CORPUS-DIR   (writes CORPUS-DIR/<Harness>/<seed>)
#include "../metadata/ExifTestImage.h"
#include "../metadata/PeTestImage.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using namespace orv::test;

void Seed(const fs::path& root, const char* harness, const std::string& name, const std::string& bytes) {
  const fs::path directory = root / harness;
  fs::create_directories(directory);
  std::ofstream(directory / name, std::ios::binary) << bytes;
}

std::string VersionBlock() {
  return EncodeVersionNode(VersionInfo(
      {TStringTable{u"041104B0", {{u"FileVersion", u"1.2.3"}, {u"CompanyName", u"\u30c6\u30b9\u30c8"}}}},
      {{0x0411, 0x04B0}}));
}

void PeSeeds(const fs::path& root) {
  Seed(root, "PeResourceFuzz", "version.exe", BuildVersionImage(VersionInfo({}, {})));
  Seed(root, "PeResourceFuzz", "version-strings.exe", BuildVersionImage(VersionInfo(
      {TStringTable{u"041104B0", {{u"FileVersion", u"1.2.3"}}}}, {{0x0411, 0x04B0}}), true));
  Seed(root, "PeResourceFuzz", "block.bin", VersionBlock());
  std::vector<TPeResource> icons;
  AddIconGroup(icons, 1, {TIconEntry{1, 16, 32, SolidIconDib(16, 0xFF0000FFu)},
                          TIconEntry{2, 32, 32, SolidIconDib(32, 0x80FF0000u)}});
  const std::string iconImage = BuildPeImage(icons);
  Seed(root, "PeIconFuzz", "group.exe", iconImage);
  Seed(root, "PeIconFuzz", "member.dib", SolidIconDib(16, 0xFF00FF00u));
  Seed(root, "PeResourceFuzz", "group.exe", iconImage);

  const std::string member = SolidIconDib(32, 0xFF0000FFu);
  Seed(root, "PeIconFuzz", "hostile-missing-members.exe", BuildIconGroupOfMissingMembers(member));
  Seed(root, "PeIconFuzz", "hostile-broken-member.exe", BuildIconGroupOfOneBrokenImage(member));
  Seed(root, "PeResourceFuzz", "hostile-named-versions.dll", BuildManyNamedVersions(VersionBlock()));
}

void ExifSeeds(const fs::path& root) {
  for (const bool bigEndian : {false, true}) {
    TExifTestImage image(bigEndian);
    image.AddAscii(TestIfd0, 271, std::string("Canon\0", 6));
    image.AddAscii(TestIfd0, 306, std::string("2006:01:02 15:04:05\0", 20));
    image.AddUndefined(TestIfdExif, 36864, "0220");
    image.AddUndefined(TestIfdExif, 37510, std::string("ASCII\0\0\0a comment", 17));
    Seed(root, "ExifFuzz", bigEndian ? "camera-mm.jpg" : "camera-ii.jpg", ExifJpeg(image.Tiff()));
  }
}

void TextSeeds(const fs::path& root) {
  Seed(root, "PdfProbeFuzz", "plain.pdf",
       "%PDF-1.4\n1 0 obj << /Type /Catalog /Pages 2 0 R >> endobj\n"
       "2 0 obj << /Type /Pages /Kids [3 0 R] /Count 1 >> endobj\n"
       "3 0 obj << /Type /Page /Parent 2 0 R >> endobj\ntrailer << /Root 1 0 R >>\n%%EOF\n");
  Seed(root, "ProfileFuzz", "settings.ini",
       "[Output]\r\nFileType=2\r\nTitle=\"quoted title\"\r\n[Search]\r\nRegExp=1\r\nRegExpText=m/\\.txt$/i\r\n"
       "TreeLevel=$10\r\n[Window]\r\n"
       "Placement=2C0000000000000001000000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF0A0000000A0000002003000058020000AE\r\n"
       "[alias]\r\nreadme.txt=Read me\r\n");
  Seed(root, "ProfileFuzz", "damaged.ini", "[Output\r\nFileType=0x7FFFFFFF\r\n = \r\n[Item]\r\nCRC32 = -1\r\n[Window]\r\nPlacement=ZZ\r\n");
  Seed(root, "RegExpFuzz", "simple", std::string("m/^(.*)\\.(txt|csv)$/i\0/tmp/list.csv", 34));
  Seed(root, "RegExpFuzz", "backtracking", std::string("m/(a+)+$/\0", 10) + std::string(30, 'a') + "!");
  Seed(root, "RegExpFuzz", "sjis", std::string("m/\x83\x5c/k\0\x83\x5c\x83\x5c", 12));
  Seed(root, "CodePageFuzz", "sjis.txt", "\x83\x5c\x83\x74\x83\x67 \x82\xa0\x80\xa0\xfd ascii");
  Seed(root, "CodePageFuzz", "utf8.txt", "\xe3\x82\xbd\xe3\x83\x95\xe3\x83\x88 \xf0\x9f\x98\x80 \xed\xa0\x80 \xc0\xaf");
  Seed(root, "IconFileFuzz", "small", std::string("\x0f\x0f\x07", 3) + std::string("\xff\x00\x00\xff\x80\x10\x20\x30", 8));
  Seed(root, "IconFileFuzz", "largest", std::string("\xff\xff\x3f", 3) + std::string(64, '\x7f'));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: MakeFuzzCorpus CORPUS-DIR\n");
    return 2;
  }
  const fs::path root = argv[1];
  PeSeeds(root);
  ExifSeeds(root);
  TextSeeds(root);
  return 0;
}
