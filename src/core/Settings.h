// The settings file "Orvantis.ini": loaded once at start-up, saved once at shut-down.
#pragma once

#include "core/ProductInfo.h"
#include "core/RunOptions.h"

#include <cstdint>
#include <string>

namespace orv {

// The Windows placement record of the main window (44 bytes, eleven 32-bit values),
// kept in the settings file in the struct format so stored files stay readable.
struct TWindowPlacement {
  int32_t Length = 44;
  int32_t Flags = 0;
  int32_t ShowCmd = 1;
  int32_t MinX = -1, MinY = -1;
  int32_t MaxX = -1, MaxY = -1;
  int32_t NormalLeft = 0, NormalTop = 0, NormalRight = 0, NormalBottom = 0;
};
static_assert(sizeof(TWindowPlacement) == 44);

// The window's side of the placement: the Qt window fills and applies the record; a
// headless run has no window and keeps what the file holds.
class TWindowPlacementHook {
public:
  virtual ~TWindowPlacementHook() = default;
  // False when there is no window placement to save.
  virtual bool GetWindowPlacement(TWindowPlacement& placement) = 0;
  virtual void SetWindowPlacement(const TWindowPlacement& placement) = 0;
};

// Fills options (and, through hook when given, the window placement) from the file
// at the native path. A missing or unreadable file leaves every default in place.
// Makes the file's TextEncoding the program's code page before it reads any text.
void LoadSettings(const std::string& nativePath, RunOptions& options, TWindowPlacementHook* hook);

// Writes options, the placement (when hook gives one) and the product version to the
// file, keeping every other line of it, in one step. Throws EOSError whose message is
// "<path> に書き込めません" when the file cannot be written; the file is then untouched.
void SaveSettings(const std::string& nativePath, const RunOptions& options, TWindowPlacementHook* hook);

}  // namespace orv
