// The record the walker hands to its events for each entry it finds.
#pragma once

#include "platform/DirectoryReader.h"

#include <string>

namespace orv {

// Name and ShortName are CP932 text (ShortName equals Name on Linux); the facts come
// from TFileStatus. NativePath is the entry's full native path, the one every reader
// opens, so that a name CP932 cannot show is still read. The record is valid during
// the event only. NameRoundTrips: the walk checked that Name converts back to the last
// component of NativePath exactly (false: nobody checked).
struct TSearchFileData : TFileStatus {
  std::string Name;
  std::string ShortName;
  std::string NativePath;
  bool NameRoundTrips = false;
};

}  // namespace orv
