// Read-only access to the resources of a Windows PE image (PE32 or PE32+): the version
// block and the program icons live there. The image is never read whole: the reader
// fetches the headers, the directories it walks and the one resource asked for, and
// treats every offset, count and length in the file as hostile.
#pragma once

#include "platform/ReadOnlyFile.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace orv {

// Resource types the program looks for.
enum TResourceType : uint16_t { ResourceTypeIcon = 3, ResourceTypeGroupIcon = 14, ResourceTypeVersion = 16 };

// One entry of a type's name directory: a resource name and where its languages are.
struct TResourceName {
  bool IsString = false;
  uint16_t Id = 0;       // when !IsString
  std::u16string String;  // when IsString, as stored (the linker upper-cases it)
  uint32_t Directory = 0;  // offset of its language directory within the resource tree
};

// One language of a named resource and where its data entry is.
struct TResourceLanguage {
  uint16_t Id = 0;
  uint32_t DataEntry = 0;  // offset of the data entry within the resource tree
};

// The resource tree of one PE image. Open() keeps the file open until Close(), the next
// Open() or destruction; nothing but regular files is ever opened (a FIFO or device is
// refused without blocking). Every query answers false (and leaves its output empty)
// when the image is not open or the structure it needs is damaged; none throws.
//
// The tree is always walked exactly three levels deep (type, name, language), so a
// directory entry that points back at its own directory cannot make it loop. A
// crafted image costs bounded time: addresses are mapped through an index of the
// sections built once, the ids under a type are indexed at the first FindName, and
// every open image may read at most a fixed number of bytes (far more than any real
// image needs); past that every query fails as on a damaged image.
class TPeResources {
public:
  TPeResources() = default;
  ~TPeResources();
  TPeResources(const TPeResources&) = delete;
  TPeResources& operator=(const TPeResources&) = delete;

  // Opens the file at a native path. False when it cannot be opened, is not a regular
  // file or is not a PE image with a resource directory (a file that is not a PE image
  // is refused after its first 64 bytes).
  bool Open(const std::string& nativePath);
  // The same for an image held in memory; image must outlive the use of this object.
  bool OpenImage(std::string_view image);
  void Close();
  bool IsOpen() const { return m_open; }
  bool IsPe32Plus() const { return m_pe32Plus; }

  // The names under one resource type, in directory order (named entries first in a
  // well-formed image, then ids), their strings read. False when the type is absent.
  bool ListNames(uint16_t type, std::vector<TResourceName>& names) const;
  // The first of the names ListNames lists, without reading its string (String stays
  // empty): what the readers use, since Windows takes the first name of a type.
  bool FirstName(uint16_t type, TResourceName& name) const;
  // The name with a numeric id under one type (how icon groups refer to their icons):
  // the first such entry in directory order.
  bool FindName(uint16_t type, uint16_t id, TResourceName& name) const;
  // The languages one name is available in, in directory order.
  bool ListLanguages(const TResourceName& name, std::vector<TResourceLanguage>& languages) const;
  // The bytes of one resource, at most maxBytes of them (a resource longer than that is
  // cut; one that does not lie wholly inside the file is refused).
  bool ReadResource(const TResourceLanguage& language, std::string& bytes,
                    std::size_t maxBytes = static_cast<std::size_t>(-1)) const;

private:
  struct TSection {
    uint32_t VirtualAddress;
    uint32_t VirtualSize;
    uint32_t RawSize;
    uint32_t RawOffset;
  };
  struct TDirectoryEntry {
    uint32_t Name;
    uint32_t Target;
  };
  // A stretch of image addresses from Start up to the next segment's Start, and the
  // section that maps it (the first in table order that covers it), or kNoSection.
  struct TSegment {
    uint64_t Start;
    uint32_t Section;
  };
  static constexpr uint32_t kNoSection = UINT32_MAX;

  bool ReadHeaders();
  void IndexSections();
  // Reads length bytes at a file offset; false when they are not all in the file.
  bool ReadAt(uint64_t offset, void* buffer, std::size_t length) const;
  // The file offset of an image range that must lie in one section's file-backed bytes.
  bool MapRva(uint32_t rva, uint32_t length, uint64_t& offset) const;
  // The same for a range given as an offset within the resource tree.
  bool MapTree(uint32_t offset, uint32_t length, uint64_t& fileOffset) const;
  bool ReadTree(uint32_t offset, void* buffer, uint32_t length) const;
  // The entries of the directory at a tree offset.
  bool ReadDirectory(uint32_t offset, std::vector<TDirectoryEntry>& entries) const;
  bool FindSubdirectory(uint32_t directory, uint16_t id, uint32_t& subdirectory) const;
  bool ReadName(uint32_t offset, std::u16string& name) const;
  // Whether ReadName would find the whole string, without reading it.
  bool NameIsInFile(uint32_t offset) const;
  bool IndexIds(uint16_t type) const;

  bool m_open = false;
  bool m_pe32Plus = false;
  TReadOnlyFile m_file;
  std::string_view m_image;  // the in-memory image when no file is open
  uint64_t m_fileSize = 0;
  uint32_t m_treeRva = 0;
  std::vector<TSection> m_sections;
  std::vector<TSegment> m_segments;  // sorted by Start
  mutable std::vector<TDirectoryEntry> m_entries;  // reused by every directory read
  mutable uint64_t m_budget = 0;  // bytes this image may still read
  // The ids under one type and their name directories, first entry winning.
  mutable bool m_idsIndexed = false;
  mutable uint16_t m_indexedType = 0;
  mutable std::unordered_map<uint16_t, uint32_t> m_ids;
};

// The index in languages of the one the Windows loader picks for a user's language:
// that language itself, else another sublanguage of the same primary language, else a
// language-neutral one, else US English (0409), else the first. languages must not be
// empty.
std::size_t ChooseResourceLanguage(std::span<const TResourceLanguage> languages, uint16_t userLanguage);

}  // namespace orv
