// Load and save of the settings file through the private-profile reader, driven by
// the key table of RunOptions.
#include "core/Settings.h"

#include "platform/CodePage.h"
#include "platform/OSError.h"
#include "platform/ProfileFile.h"

#include <cstring>

namespace orv {

namespace {

constexpr const char* kWindowSection = "Window";
constexpr const char* kPlacementKey = "Placement";
constexpr const char* kProductSection = "Product";
constexpr const char* kProductKey = "ProductVersion";
// Longest text a value may hold, as the stored files have always been read.
constexpr std::size_t kMaxText = 2047;

// Record bytes are little-endian 32-bit values, as the Windows structure lays them out.
void PlacementToBytes(const TWindowPlacement& placement, unsigned char* bytes) {
  const int32_t values[11] = {placement.Length,     placement.Flags,     placement.ShowCmd,    placement.MinX,
                              placement.MinY,       placement.MaxX,      placement.MaxY,       placement.NormalLeft,
                              placement.NormalTop,  placement.NormalRight, placement.NormalBottom};
  for (int i = 0; i < 11; ++i) {
    const auto v = static_cast<uint32_t>(values[i]);
    for (int b = 0; b < 4; ++b) {
      bytes[i * 4 + b] = static_cast<unsigned char>(v >> (8 * b));
    }
  }
}

TWindowPlacement PlacementFromBytes(const unsigned char* bytes) {
  int32_t values[11];
  for (int i = 0; i < 11; ++i) {
    uint32_t v = 0;
    for (int b = 0; b < 4; ++b) {
      v |= static_cast<uint32_t>(bytes[i * 4 + b]) << (8 * b);
    }
    values[i] = static_cast<int32_t>(v);
  }
  TWindowPlacement p;
  p.Length = values[0];
  p.Flags = values[1];
  p.ShowCmd = values[2];
  p.MinX = values[3];
  p.MinY = values[4];
  p.MaxX = values[5];
  p.MaxY = values[6];
  p.NormalLeft = values[7];
  p.NormalTop = values[8];
  p.NormalRight = values[9];
  p.NormalBottom = values[10];
  return p;
}

}  // namespace

void LoadSettings(const std::string& nativePath, RunOptions& options, TWindowPlacementHook* hook) {
  TProfileFile profile(nativePath);
  profile.Load();

  unsigned char bytes[sizeof(TWindowPlacement)];
  if (hook && profile.ReadStruct(kWindowSection, kPlacementKey, bytes, sizeof bytes)) {
    hook->SetWindowPlacement(PlacementFromBytes(bytes));
  }

  // The file says which code page its texts are in: that is read, and made the
  // program's, before any text.
  for (const TOptionKey& key : OptionKeys()) {
    if (auto field = std::get_if<int RunOptions::*>(&key.Field); field && *field == &RunOptions::TextEncoding) {
      options.TextEncoding = ClampOption(key, profile.ReadInteger(key.Section, key.Key, options.TextEncoding));
    }
  }
  SetActiveCodePage(options.TextEncoding);

  for (const TOptionKey& key : OptionKeys()) {
    if (auto field = std::get_if<bool RunOptions::*>(&key.Field)) {
      options.*(*field) = profile.ReadBool(key.Section, key.Key, options.*(*field));
    } else if (auto field = std::get_if<int RunOptions::*>(&key.Field)) {
      options.*(*field) = ClampOption(key, profile.ReadInteger(key.Section, key.Key, options.*(*field)));
    } else if (auto field = std::get_if<std::string RunOptions::*>(&key.Field)) {
      std::string& text = options.*(*field);
      text = profile.ReadString(key.Section, key.Key, text.substr(0, kMaxText));
    }
  }
  // The product version is written for the user's information only.
}

void SaveSettings(const std::string& nativePath, const RunOptions& options, TWindowPlacementHook* hook) {
  TProfileFile profile(nativePath);
  profile.Load();

  TWindowPlacement placement;
  if (hook && hook->GetWindowPlacement(placement)) {
    unsigned char bytes[sizeof(TWindowPlacement)];
    PlacementToBytes(placement, bytes);
    profile.WriteStruct(kWindowSection, kPlacementKey, bytes, sizeof bytes);
  }
  for (const TOptionKey& key : OptionKeys()) {
    if (auto field = std::get_if<bool RunOptions::*>(&key.Field)) {
      profile.WriteBool(key.Section, key.Key, options.*(*field));
    } else if (auto field = std::get_if<int RunOptions::*>(&key.Field)) {
      profile.WriteInteger(key.Section, key.Key, options.*(*field));
    } else if (auto field = std::get_if<std::string RunOptions::*>(&key.Field)) {
      profile.WriteString(key.Section, key.Key, options.*(*field));
    }
  }
  profile.WriteString(kProductSection, kProductKey, ProductVersionText);

  try {
    profile.Save();
  } catch (const EOSError& error) {
    throw EOSError(Utf8ToAnsi(nativePath) + Utf8ToAnsi(" に書き込めません"), error.Code());
  }
}

}  // namespace orv
