// Directory enumeration and the facts of one directory entry.
#pragma once

#include "platform/DateTime.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace orv {

// What the platform knows of one entry, in the program's terms: size, the three
// local times (each with its valid flag) and the attribute flags.
//
// On Linux: a symbolic link is described by its target when the target exists,
// otherwise by the link itself (size 0); the creation time is the birth time where
// the file system records one (not 0), else the status-change time; R means the owner
// has no write permission, H a name beginning with ".", S anything that is not a
// regular file or directory (device, FIFO, socket, dangling link); A is never set.
// A directory's size is 0.
struct TFileStatus {
  int64_t Size = 0;
  bool CreationTimeValid = false;
  TDateTime CreationTime = 0;
  bool LastUpdateTimeValid = false;
  TDateTime LastUpdateTime = 0;
  bool LastAccessTimeValid = false;
  TDateTime LastAccessTime = 0;
  bool IsDirectory = false;
  bool IsReadOnly = false;
  bool IsHidden = false;
  bool IsSystem = false;
  bool IsArchive = false;
  // Not an attribute the listing shows: the entry is a symbolic link (to whatever).
  bool IsSymbolicLink = false;
  // A regular file, or a link to one: the only kind any reader may open.
  bool IsRegularFile = false;
};

// How an enumerated item looks before anyone asks the file system about it.
enum class TEntryKind : uint8_t { Unknown, Directory, RegularFile, SymbolicLink, Other };

// Reads one directory, one item at a time, skipping "." and "..". Holds one open
// directory handle; items are statted relative to it (no path walk per item), and a
// subdirectory can be opened relative to it. A reader is used by one thread at a
// time; two readers on two threads share nothing.
class TDirectoryReader {
public:
  TDirectoryReader() = default;
  ~TDirectoryReader();
  TDirectoryReader(const TDirectoryReader&) = delete;
  TDirectoryReader& operator=(const TDirectoryReader&) = delete;

  // Opens the directory at a native path of any length. False when it cannot be
  // enumerated (missing, not a directory, access denied); Error() then says why.
  bool Open(const std::string& nativeDir);
  // Opens the item name of the open directory parent, as Open does.
  bool OpenAt(const TDirectoryReader& parent, const std::string& name);
  void Close();
  bool IsOpen() const { return m_fd >= 0; }
  // Frees what reading the items needs; the directory stays open for OpenAt.
  void EndReading();

  // The next item's native name and its kind as the directory reports it (Unknown
  // when the file system does not say). False at the end or on a read error; Error()
  // tells the two apart.
  bool Next(std::string& name, TEntryKind& kind);

  // The errno value of the last failed Open, OpenAt or Next; 0 after a clean end.
  int Error() const { return m_error; }

  // The facts of the item just returned by Next (name as returned). False when it
  // vanished: status is then left as it was.
  bool Stat(const std::string& name, TFileStatus& status) const;

private:
  bool Adopt(int fd);

  int m_fd = -1;
  // Items are read straight from the kernel in blocks (no DIR stream: it costs three
  // more system calls per directory): m_buffer holds m_filled bytes, m_next is where
  // the next item starts.
  std::unique_ptr<char[]> m_buffer;
  std::size_t m_filled = 0;
  std::size_t m_next = 0;
  bool m_ended = false;
  const void* m_entry = nullptr;  // the item Next returned last: Stat reads its type from it
  int m_error = 0;
};

// How many directories a walk may keep open at once so that their subdirectories
// open relative to them: half of what the process may have open (the rest stays free
// for the files the readers open), and at least a few.
int DirectoryHandleAllowance();

// The facts of the entry at a native path of any length (links followed as above).
// False when nothing exists there.
bool QueryPathStatus(const std::string& nativePath, TFileStatus& status);

// Converts seconds and nanoseconds since the Unix epoch (UTC) to the local date-time
// (honouring TZ). False for times outside the years 1601 to 9999, which the listing
// cannot show.
bool UnixTimeToLocalDateTime(int64_t seconds, uint32_t nanoseconds, TDateTime& value);

}  // namespace orv
