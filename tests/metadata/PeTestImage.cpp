// The test PE writer: headers, one resource section and its directory tree.
#include "PeTestImage.h"

#include <map>
#include <tuple>

namespace orv::test {

namespace {

void Append16(std::string& bytes, uint16_t value) {
  bytes.push_back(static_cast<char>(value & 0xFF));
  bytes.push_back(static_cast<char>(value >> 8));
}

void Append32(std::string& bytes, uint32_t value) {
  Append16(bytes, static_cast<uint16_t>(value & 0xFFFF));
  Append16(bytes, static_cast<uint16_t>(value >> 16));
}

void PadTo(std::string& bytes, std::size_t alignment) {
  while (bytes.size() % alignment != 0) bytes.push_back('\0');
}

std::size_t Align(std::size_t value, std::size_t alignment) { return (value + alignment - 1) / alignment * alignment; }

constexpr uint32_t kSectionRva = 0x1000;
constexpr std::size_t kHeadersSize = 0x200;
constexpr std::size_t kFileAlignment = 0x200;
constexpr std::size_t kSectionHeaderSize = 40;

}  // namespace

void Poke16(std::string& bytes, std::size_t offset, uint16_t value) {
  bytes[offset] = static_cast<char>(value & 0xFF);
  bytes[offset + 1] = static_cast<char>(value >> 8);
}

void Poke32(std::string& bytes, std::size_t offset, uint32_t value) {
  Poke16(bytes, offset, static_cast<uint16_t>(value & 0xFFFF));
  Poke16(bytes, offset + 2, static_cast<uint16_t>(value >> 16));
}

std::string Utf16Bytes(std::u16string_view text) {
  std::string bytes;
  for (char16_t unit : text) Append16(bytes, unit);
  Append16(bytes, 0);
  return bytes;
}

TVersionNode TextNode(std::u16string key, std::u16string_view value) {
  return TVersionNode{std::move(key), 1, Utf16Bytes(value), -1, {}};
}

std::string EncodeVersionNode(const TVersionNode& node) {
  std::string bytes;
  Append16(bytes, 0);  // length, filled in below
  const int declared = node.DeclaredLength >= 0 ? node.DeclaredLength
                       : node.Type == 1         ? static_cast<int>(node.Value.size() / 2)
                                                : static_cast<int>(node.Value.size());
  Append16(bytes, static_cast<uint16_t>(declared));
  Append16(bytes, node.Type);
  bytes += Utf16Bytes(node.Key);
  PadTo(bytes, 4);
  bytes += node.Value;
  for (const TVersionNode& child : node.Children) {
    PadTo(bytes, 4);
    bytes += EncodeVersionNode(child);
  }
  Poke16(bytes, 0, static_cast<uint16_t>(bytes.size()));
  return bytes;
}

TVersionNode VersionInfo(const std::vector<TStringTable>& tables,
                         const std::vector<std::pair<uint16_t, uint16_t>>& translations) {
  std::string fixed;
  Append32(fixed, 0xFEEF04BD);  // signature
  Append32(fixed, 0x00010000);  // structure version
  for (int i = 0; i < 11; ++i) Append32(fixed, 0);
  TVersionNode root{u"VS_VERSION_INFO", 0, fixed, -1, {}};

  TVersionNode stringInfo{u"StringFileInfo", 1, "", -1, {}};
  for (const TStringTable& table : tables) {
    TVersionNode block{table.Block, 1, "", -1, {}};
    for (const auto& [key, value] : table.Strings) block.Children.push_back(TextNode(key, value));
    stringInfo.Children.push_back(std::move(block));
  }
  root.Children.push_back(std::move(stringInfo));

  if (!translations.empty()) {
    std::string pairs;
    for (const auto& [language, codePage] : translations) {
      Append16(pairs, language);
      Append16(pairs, codePage);
    }
    TVersionNode varInfo{u"VarFileInfo", 1, "", -1, {}};
    varInfo.Children.push_back(TVersionNode{u"Translation", 0, pairs, -1, {}});
    root.Children.push_back(std::move(varInfo));
  }
  return root;
}

std::string WrapResourceSection(const std::string& rsrc, bool pe32Plus, TPeLayout* layout) {
  const std::size_t treeSize = rsrc.size();
  // DOS stub header, signature, file header, optional header, one section.
  std::string image;
  image += "MZ";
  image.resize(0x3C, '\0');
  Append32(image, 0x40);
  const std::size_t pe = image.size();
  image += std::string("PE\0\0", 4);
  const uint16_t optionalSize = pe32Plus ? 240 : 224;
  Append16(image, pe32Plus ? 0x8664 : 0x014C);  // machine
  Append16(image, 1);                            // sections
  Append32(image, 0);                            // time stamp
  Append32(image, 0);                            // symbol table
  Append32(image, 0);                            // symbols
  Append16(image, optionalSize);
  Append16(image, pe32Plus ? 0x0022 : 0x0102);  // executable, large-address-aware / 32-bit
  const std::size_t optional = image.size();
  image.resize(optional + optionalSize, '\0');
  Poke16(image, optional, pe32Plus ? 0x20B : 0x10B);
  Poke32(image, optional + 32, 0x1000);  // section alignment
  Poke32(image, optional + 36, kFileAlignment);
  Poke32(image, optional + 56, static_cast<uint32_t>(kSectionRva + Align(treeSize, 0x1000)));  // image size
  Poke32(image, optional + 60, kHeadersSize);
  Poke16(image, optional + 68, 2);  // GUI subsystem
  const std::size_t directories = optional + (pe32Plus ? 112 : 96);
  Poke32(image, directories - 4, 16);
  Poke32(image, directories + 16, kSectionRva);
  Poke32(image, directories + 20, static_cast<uint32_t>(treeSize));
  const std::size_t sectionTable = image.size();
  image += std::string(".rsrc\0\0\0", 8);
  Append32(image, static_cast<uint32_t>(treeSize));
  Append32(image, kSectionRva);
  Append32(image, static_cast<uint32_t>(Align(treeSize, kFileAlignment)));
  Append32(image, kHeadersSize);
  Append32(image, 0);
  Append32(image, 0);
  Append32(image, 0);
  Append32(image, 0x40000040);  // initialised data, readable
  image.resize(kHeadersSize, '\0');
  image += rsrc;
  PadTo(image, kFileAlignment);

  if (layout != nullptr) {
    layout->PeHeader = pe;
    layout->OptionalHeader = optional;
    layout->SectionTable = sectionTable;
    layout->ResourceTree = kHeadersSize;
    layout->ResourceRva = kSectionRva;
  }
  return image;
}

std::string BuildPeImage(const std::vector<TPeResource>& resources, bool pe32Plus, TPeLayout* layout) {
  // type -> name (strings sort before ids) -> language -> index into resources
  using TNameKey = std::tuple<bool, std::u16string, uint16_t>;
  std::map<uint16_t, std::map<TNameKey, std::map<uint16_t, std::size_t>>> tree;
  for (std::size_t i = 0; i < resources.size(); ++i) {
    const TPeResource& r = resources[i];
    tree[r.Type][TNameKey{r.Name.empty(), r.Name, r.Name.empty() ? r.NameId : 0}][r.Language] = i;
  }

  // Sizes first: root, type directories, name directories, data entries, name
  // strings, data.
  std::size_t offset = 16 + 8 * tree.size();
  std::map<uint16_t, std::size_t> typeOffsets;
  for (const auto& [type, names] : tree) {
    typeOffsets[type] = offset;
    offset += 16 + 8 * names.size();
  }
  std::map<std::pair<uint16_t, TNameKey>, std::size_t> nameOffsets;
  for (const auto& [type, names] : tree) {
    for (const auto& [name, languages] : names) {
      nameOffsets[{type, name}] = offset;
      offset += 16 + 8 * languages.size();
    }
  }
  std::vector<std::size_t> entryOffsets(resources.size());
  for (const auto& [type, names] : tree) {
    for (const auto& [name, languages] : names) {
      for (const auto& [language, index] : languages) {
        entryOffsets[index] = offset;
        offset += 16;
      }
    }
  }
  std::map<std::pair<uint16_t, TNameKey>, std::size_t> stringOffsets;
  for (const auto& [type, names] : tree) {
    for (const auto& [name, languages] : names) {
      if (std::get<0>(name)) continue;
      stringOffsets[{type, name}] = offset;
      offset += 2 + 2 * std::get<1>(name).size();
    }
  }
  std::vector<std::size_t> dataOffsets(resources.size());
  for (std::size_t i = 0; i < resources.size(); ++i) {
    offset = Align(offset, 8);
    dataOffsets[i] = offset;
    offset += resources[i].Data.size();
  }
  std::string rsrc;
  const auto directory = [&rsrc](uint16_t named, uint16_t ids) {
    Append32(rsrc, 0);
    Append32(rsrc, 0);
    Append32(rsrc, 0);
    Append16(rsrc, named);
    Append16(rsrc, ids);
  };
  directory(0, static_cast<uint16_t>(tree.size()));
  for (const auto& [type, names] : tree) {
    Append32(rsrc, type);
    Append32(rsrc, 0x80000000u | static_cast<uint32_t>(typeOffsets[type]));
  }
  for (const auto& [type, names] : tree) {
    uint16_t named = 0;
    for (const auto& [name, languages] : names) named += !std::get<0>(name);
    directory(named, static_cast<uint16_t>(names.size() - named));
    for (const auto& [name, languages] : names) {
      const bool isString = !std::get<0>(name);
      Append32(rsrc, isString ? 0x80000000u | static_cast<uint32_t>(stringOffsets[{type, name}]) : std::get<2>(name));
      Append32(rsrc, 0x80000000u | static_cast<uint32_t>(nameOffsets[{type, name}]));
    }
  }
  for (const auto& [type, names] : tree) {
    for (const auto& [name, languages] : names) {
      directory(0, static_cast<uint16_t>(languages.size()));
      for (const auto& [language, index] : languages) {
        Append32(rsrc, language);
        Append32(rsrc, static_cast<uint32_t>(entryOffsets[index]));
      }
    }
  }
  for (const auto& [type, names] : tree) {
    for (const auto& [name, languages] : names) {
      for (const auto& [language, index] : languages) {
        Append32(rsrc, kSectionRva + static_cast<uint32_t>(dataOffsets[index]));
        Append32(rsrc, static_cast<uint32_t>(resources[index].Data.size()));
        Append32(rsrc, 0);
        Append32(rsrc, 0);
      }
    }
  }
  for (const auto& [type, names] : tree) {
    for (const auto& [name, languages] : names) {
      if (std::get<0>(name)) continue;
      const std::u16string& text = std::get<1>(name);
      Append16(rsrc, static_cast<uint16_t>(text.size()));
      for (char16_t unit : text) Append16(rsrc, unit);
    }
  }
  for (std::size_t i = 0; i < resources.size(); ++i) {
    PadTo(rsrc, 8);
    rsrc += resources[i].Data;
  }

  const std::string image = WrapResourceSection(rsrc, pe32Plus, layout);
  if (layout != nullptr) {
    layout->TypeDirectories.clear();
    for (const auto& [type, at] : typeOffsets) layout->TypeDirectories.push_back(kHeadersSize + at);
    layout->DataEntries.clear();
    layout->Data.clear();
    for (std::size_t i = 0; i < resources.size(); ++i) {
      layout->DataEntries.push_back(kHeadersSize + entryOffsets[i]);
      layout->Data.push_back(kHeadersSize + dataOffsets[i]);
    }
  }
  return image;
}

std::string BuildVersionImage(const TVersionNode& versionInfo, bool pe32Plus, TPeLayout* layout) {
  return BuildPeImage({TPeResource{16, 1, u"", 0x0409, EncodeVersionNode(versionInfo)}}, pe32Plus, layout);
}

void AddIconGroup(std::vector<TPeResource>& resources, uint16_t groupId, const std::vector<TIconEntry>& icons,
                  uint16_t language) {
  for (const TIconEntry& icon : icons) {
    resources.push_back(TPeResource{3, icon.Id, u"", language, icon.Bytes});
  }
  resources.push_back(TPeResource{14, groupId, u"", language, IconGroupBytes(icons)});
}

std::string SolidIconDib(uint8_t side, uint32_t argb) {
  std::string dib;
  for (uint32_t field : {40u, uint32_t{side}, 2u * side, 1u | 32u << 16, 0u, 0u, 0u, 0u, 0u, 0u}) Append32(dib, field);
  for (int i = 0; i < side * side; ++i) Append32(dib, argb);
  dib.append(static_cast<std::size_t>(side) * ((side + 31) / 32 * 4), '\0');  // the mask: nothing masked
  return dib;
}

std::string IconGroupBytes(const std::vector<TIconEntry>& entries) {
  std::string group;
  Append16(group, 0);  // reserved
  Append16(group, 1);  // icons, not cursors
  Append16(group, static_cast<uint16_t>(entries.size()));
  for (const TIconEntry& icon : entries) {
    group.push_back(static_cast<char>(icon.Size));
    group.push_back(static_cast<char>(icon.Size));
    group.push_back('\0');  // colour count
    group.push_back('\0');  // reserved
    Append16(group, 1);     // planes
    Append16(group, icon.BitCount);
    Append32(group, static_cast<uint32_t>(icon.Bytes.size()));
    Append16(group, icon.Id);
  }
  return group;
}

std::string WithSectionsBefore(const std::string& image, const TPeLayout& layout, uint16_t extra) {
  const std::size_t table = layout.SectionTable;
  const std::size_t headers = Align(table + kSectionHeaderSize * (std::size_t{extra} + 1), kFileAlignment);
  std::string result = image.substr(0, table);
  Poke16(result, layout.PeHeader + 6, static_cast<uint16_t>(extra + 1));
  Poke32(result, layout.OptionalHeader + 60, static_cast<uint32_t>(headers));
  for (uint32_t i = 0; i < extra; ++i) {
    // Far above the resource section and without file bytes: never the one asked for.
    std::string section(".empty\0\0", 8);
    Append32(section, 0x1000);                 // virtual size
    Append32(section, 0x10000000u + i * 0x1000);  // virtual address
    section.append(24, '\0');
    result += section;
  }
  std::string resourceSection = image.substr(table, kSectionHeaderSize);
  Poke32(resourceSection, 20, static_cast<uint32_t>(headers));  // its raw data moves behind the table
  result += resourceSection;
  result.resize(headers, '\0');
  result += image.substr(kHeadersSize);
  return result;
}

std::string BuildIconGroupOfMissingMembers(const std::string& lastMember) {
  std::vector<TIconEntry> entries(0xFFFE, TIconEntry{7, 16, 32, {}});
  entries.push_back(TIconEntry{1000, 32, 32, lastMember});
  std::vector<TPeResource> resources = {TPeResource{3, 1000, u"", 0x0409, lastMember},
                                        TPeResource{14, 1, u"", 0x0409, IconGroupBytes(entries)}};
  TPeLayout layout;
  const std::string image = BuildPeImage(resources, false, &layout);
  return WithSectionsBefore(image, layout, 0xFFFD);
}

std::string BuildIconGroupOfOneBrokenImage(const std::string& lastMember) {
  const std::string broken(4 * 1024 * 1024, '\xFF');
  std::vector<TIconEntry> entries(0xFFFE, TIconEntry{1, 16, 32, {}});
  entries.push_back(TIconEntry{2, 32, 32, lastMember});
  return BuildPeImage({TPeResource{3, 1, u"", 0x0409, broken}, TPeResource{3, 2, u"", 0x0409, lastMember},
                       TPeResource{14, 1, u"", 0x0409, IconGroupBytes(entries)}});
}

std::string BuildManyNamedVersions(const std::string& versionBlock, uint16_t count, uint16_t nameLength) {
  // One tree written by hand: every name entry of the version type points at the same
  // long string and the same language directory.
  const uint32_t typeDirectory = 16 + 8;
  const uint32_t languageDirectory = typeDirectory + 16 + 8 * uint32_t{count};
  const uint32_t dataEntry = languageDirectory + 16 + 8;
  const uint32_t name = dataEntry + 16;
  const uint32_t data = static_cast<uint32_t>(Align(name + 2 + 2 * std::size_t{nameLength}, 8));
  std::string rsrc;
  const auto directory = [&rsrc](uint16_t named, uint16_t ids) {
    for (int i = 0; i < 3; ++i) Append32(rsrc, 0);
    Append16(rsrc, named);
    Append16(rsrc, ids);
  };
  directory(0, 1);
  Append32(rsrc, 16);
  Append32(rsrc, 0x80000000u | typeDirectory);
  directory(count, 0);
  for (uint32_t i = 0; i < count; ++i) {
    Append32(rsrc, 0x80000000u | name);
    Append32(rsrc, 0x80000000u | languageDirectory);
  }
  directory(0, 1);
  Append32(rsrc, 0x0409);
  Append32(rsrc, dataEntry);
  Append32(rsrc, kSectionRva + data);
  Append32(rsrc, static_cast<uint32_t>(versionBlock.size()));
  Append32(rsrc, 0);
  Append32(rsrc, 0);
  Append16(rsrc, nameLength);
  for (uint32_t i = 0; i < nameLength; ++i) Append16(rsrc, u'N');
  PadTo(rsrc, 8);
  rsrc += versionBlock;
  return WrapResourceSection(rsrc, false, nullptr);
}

}  // namespace orv::test
