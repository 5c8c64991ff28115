// A small writer of Windows PE images for tests: DOS and PE headers (PE32 or PE32+),
// one ".rsrc" section and a resource tree laid out as a linker lays it out, with
// helpers for version blocks and icon groups. Tests damage the result on purpose, so
// the writer reports where it put things.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace orv::test {

// One node of a version block: length, value length, type, UTF-16 key, value,
// children, each part aligned to 32 bits.
struct TVersionNode {
  std::u16string Key;
  uint16_t Type = 0;  // 1 text, 0 binary
  std::string Value;  // the value's bytes (UTF-16LE with its NUL for text)
  // The value length field; -1 writes the true one (units for text, bytes otherwise).
  int DeclaredLength = -1;
  std::vector<TVersionNode> Children;
};

std::string EncodeVersionNode(const TVersionNode& node);

// Little-endian UTF-16 bytes, with a terminating NUL.
std::string Utf16Bytes(std::u16string_view text);
TVersionNode TextNode(std::u16string key, std::u16string_view value);

struct TStringTable {
  std::u16string Block;  // such as u"041104B0"
  std::vector<std::pair<std::u16string, std::u16string>> Strings;
};

// A complete version block: the fixed file information, a StringFileInfo with the
// tables and, unless translations is empty, a VarFileInfo\Translation with the
// language/code page pairs.
TVersionNode VersionInfo(const std::vector<TStringTable>& tables,
                         const std::vector<std::pair<uint16_t, uint16_t>>& translations);

struct TPeResource {
  uint16_t Type = 16;
  uint16_t NameId = 1;
  std::u16string Name;  // a string name instead of NameId when not empty
  uint16_t Language = 0x0409;
  std::string Data;
};

// Where the writer put the parts of an image (file offsets).
struct TPeLayout {
  std::size_t PeHeader = 0;        // "PE\0\0"
  std::size_t OptionalHeader = 0;
  std::size_t SectionTable = 0;
  std::size_t ResourceTree = 0;    // the root directory, start of the section's data
  uint32_t ResourceRva = 0;
  std::vector<std::size_t> TypeDirectories;  // in tree order
  std::vector<std::size_t> DataEntries;      // per resource, in the order given
  std::vector<std::size_t> Data;             // per resource, in the order given
};

// The image holding the resources. The tree is sorted as linkers sort it: types and
// names by id (string names first), languages by id.
std::string BuildPeImage(const std::vector<TPeResource>& resources, bool pe32Plus = false,
                         TPeLayout* layout = nullptr);

// An image whose only resource is one version block, in language 0409.
std::string BuildVersionImage(const TVersionNode& versionInfo, bool pe32Plus = false, TPeLayout* layout = nullptr);

// One icon of a group: its id, square size, colour depth and image bytes.
struct TIconEntry {
  uint16_t Id = 1;
  uint8_t Size = 16;
  uint16_t BitCount = 32;
  std::string Bytes;
};

// Adds a group icon (type 14) naming the icons, and the icons themselves (type 3).
void AddIconGroup(std::vector<TPeResource>& resources, uint16_t groupId, const std::vector<TIconEntry>& icons,
                  uint16_t language = 0x0409);

// The image around a resource section's bytes (offsets within it are tree offsets; the
// section's address is layout.ResourceRva, 0x1000).
std::string WrapResourceSection(const std::string& rsrc, bool pe32Plus = false, TPeLayout* layout = nullptr);

// A 32-bit icon member of one colour (0xAARRGGBB), side x side, with an empty mask.
std::string SolidIconDib(uint8_t side, uint32_t argb);
// The bytes of an icon group naming the entries (their Bytes give only the size field).
std::string IconGroupBytes(const std::vector<TIconEntry>& entries);

// Hostile images, each built so that a reader repeating work per entry takes minutes
// on it, and each still holding a 32x32 member (lastMember, preferred last) or a
// version block that a sound reader finds.
//
// 65,534 sections with the resource section last, and an icon group of 65,535
// members, all but the last naming an icon that does not exist.
std::string BuildIconGroupOfMissingMembers(const std::string& lastMember);
// An icon group of 65,535 members, all but the last naming one 4 MB image that does
// not decode.
std::string BuildIconGroupOfOneBrokenImage(const std::string& lastMember);
// count named version resources, every name the same string of nameLength characters,
// all in one language directory holding versionBlock.
std::string BuildManyNamedVersions(const std::string& versionBlock, uint16_t count = 0xFFFF,
                                   uint16_t nameLength = 0xFFFF);
// The image with extra empty sections in its table before its one resource section.
std::string WithSectionsBefore(const std::string& image, const TPeLayout& layout, uint16_t extra);

// Writes a little-endian value into bytes at offset (for damaging images).
void Poke16(std::string& bytes, std::size_t offset, uint16_t value);
void Poke32(std::string& bytes, std::size_t offset, uint32_t value);

}  // namespace orv::test
