// libFuzzer harness for the INI reader and writer and the settings that sit on them.
// The input is a settings file: every option is read as a run reads it, the window
// placement through the struct format, then written back and read again; the second
// reading must give what the first gave (what the writer emits, the reader takes).
#include "core/RunOptions.h"
#include "platform/ProfileFile.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace {

constexpr std::size_t kPlacementBytes = 44;

// Reads every option key and the placement struct; returns a digest of what it read.
std::string ReadAll(const orv::TProfileFile& profile) {
  std::string seen;
  for (const orv::TOptionKey& key : orv::OptionKeys()) {
    std::visit(
        [&](auto field) {
          using T = std::remove_cvref_t<decltype(orv::RunOptions{}.*field)>;
          if constexpr (std::is_same_v<T, bool>) {
            seen += profile.ReadBool(key.Section, key.Key, false) ? '1' : '0';
          } else if constexpr (std::is_same_v<T, int>) {
            seen += std::to_string(orv::ClampOption(key, profile.ReadInteger(key.Section, key.Key, 0)));
          } else {
            seen += profile.ReadString(key.Section, key.Key, "");
          }
          seen += '\n';
        },
        key.Field);
  }
  unsigned char placement[kPlacementBytes];
  if (profile.ReadStruct("Window", "Placement", placement, sizeof placement)) {
    seen.append(reinterpret_cast<const char*>(placement), sizeof placement);
  }
  for (const auto& [key, value] : profile.ReadSection("alias")) seen += key + '=' + value + '\n';
  return seen;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  orv::TProfileFile profile("");
  profile.LoadFromText(input);
  const std::string first = ReadAll(profile);

  // Writing every value back where it was read from must not change what is read.
  orv::TProfileFile rewritten("");
  rewritten.LoadFromText(profile.Text());
  for (const orv::TOptionKey& key : orv::OptionKeys()) {
    std::visit(
        [&](auto field) {
          using T = std::remove_cvref_t<decltype(orv::RunOptions{}.*field)>;
          if constexpr (std::is_same_v<T, bool>) {
            rewritten.WriteBool(key.Section, key.Key, profile.ReadBool(key.Section, key.Key, false));
          } else if constexpr (std::is_same_v<T, int>) {
            rewritten.WriteInteger(key.Section, key.Key, profile.ReadInteger(key.Section, key.Key, 0));
          }
        },
        key.Field);
  }
  unsigned char placement[kPlacementBytes];
  if (profile.ReadStruct("Window", "Placement", placement, sizeof placement)) {
    rewritten.WriteStruct("Window", "Placement", placement, sizeof placement);
  }
  orv::TProfileFile again("");
  again.LoadFromText(rewritten.Text());
  if (ReadAll(again) != first) __builtin_trap();
  return 0;
}
