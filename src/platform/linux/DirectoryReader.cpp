// Linux directory enumeration and entry status: getdents64 over a directory descriptor
// and one statx per item relative to it, turned into the program's size, local times
// and attribute flags.
#include "platform/DirectoryReader.h"

#include "platform/linux/LongPath.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string_view>

namespace orv {

namespace {

// The earliest year a listing can show: the Windows file-time epoch.
constexpr long long kFirstYear = 1601;
constexpr long long kLastYear = 9999;

// An automount point is described as it stands instead of being mounted by a look at
// it, as plain stat() has done since Linux 4.14.
constexpr int kFollow = AT_STATX_SYNC_AS_STAT | AT_NO_AUTOMOUNT;
constexpr int kNoFollow = kFollow | AT_SYMLINK_NOFOLLOW;
constexpr unsigned kWanted = STATX_BASIC_STATS | STATX_BTIME;
// O_DIRECTORY refuses a FIFO or device before it is opened, so nothing here waits for
// a writer; O_NONBLOCK is the second guard.
constexpr int kDirectoryFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK;
// Bytes asked of the kernel per read: a few hundred items of a usual directory.
constexpr std::size_t kReadBlock = 32 * 1024;

TEntryKind KindFromType(unsigned char type) {
  switch (type) {
    case DT_DIR: return TEntryKind::Directory;
    case DT_REG: return TEntryKind::RegularFile;
    case DT_LNK: return TEntryKind::SymbolicLink;
    case DT_UNKNOWN: return TEntryKind::Unknown;
    default: return TEntryKind::Other;
  }
}

bool IsDotOrDotDot(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

bool IsHiddenName(std::string_view name) { return !name.empty() && name[0] == '.' && name != "." && name != ".."; }

bool StatxAt(int dirFd, const char* path, int flags, struct statx& result) {
  return statx(dirFd, path, flags, kWanted, &result) == 0;
}

void SetTime(const struct statx_timestamp& time, bool present, bool& valid, TDateTime& value) {
  valid = present && UnixTimeToLocalDateTime(time.tv_sec, time.tv_nsec, value);
  if (!valid) {
    value = 0;
  }
}

// Everything but IsHidden, which comes from the name.
void FillStatus(const struct statx& sx, bool isLink, TFileStatus& status) {
  const mode_t mode = sx.stx_mode;
  const bool isDirectory = S_ISDIR(mode);
  const bool isRegular = S_ISREG(mode);
  // A link described by itself (its target is missing) has no size of its own to show.
  status.Size = (isDirectory || S_ISLNK(mode)) ? 0 : static_cast<int64_t>(sx.stx_size);

  // Some images record a birth time of 0; that means "not recorded", not 1970.
  const bool hasBirth =
      (sx.stx_mask & STATX_BTIME) != 0 && (sx.stx_btime.tv_sec != 0 || sx.stx_btime.tv_nsec != 0);
  if (hasBirth) {
    SetTime(sx.stx_btime, true, status.CreationTimeValid, status.CreationTime);
  } else {
    SetTime(sx.stx_ctime, (sx.stx_mask & STATX_CTIME) != 0, status.CreationTimeValid, status.CreationTime);
  }
  SetTime(sx.stx_mtime, (sx.stx_mask & STATX_MTIME) != 0, status.LastUpdateTimeValid, status.LastUpdateTime);
  SetTime(sx.stx_atime, (sx.stx_mask & STATX_ATIME) != 0, status.LastAccessTimeValid, status.LastAccessTime);

  status.IsDirectory = isDirectory;
  status.IsReadOnly = (mode & S_IWUSR) == 0;
  status.IsHidden = false;
  status.IsSystem = !isRegular && !isDirectory;
  status.IsArchive = false;
  status.IsSymbolicLink = isLink;
  status.IsRegularFile = isRegular;
}

// One statx for anything the directory already typed; an untyped item is looked at
// without following first, and followed only when that shows a link.
bool StatItem(int dirFd, const char* path, TEntryKind kind, TFileStatus& status) {
  struct statx sx;
  bool isLink = kind == TEntryKind::SymbolicLink;
  bool haveLinkItself = false;
  if (kind == TEntryKind::Unknown) {
    if (!StatxAt(dirFd, path, kNoFollow, sx)) {
      return false;
    }
    if (!S_ISLNK(sx.stx_mode)) {
      FillStatus(sx, false, status);
      return true;
    }
    isLink = true;
    haveLinkItself = true;
  }

  struct statx target;
  if (StatxAt(dirFd, path, kFollow, target)) {
    FillStatus(target, isLink, status);
    return true;
  }
  if (!isLink) {
    return false;
  }
  // The target is missing, a loop or out of reach: describe the link itself.
  if (!haveLinkItself && !StatxAt(dirFd, path, kNoFollow, sx)) {
    return false;
  }
  FillStatus(sx, S_ISLNK(sx.stx_mode), status);
  return true;
}

// The last component of a path, trailing delimiters ignored.
std::string_view LastComponent(std::string_view path) {
  while (path.size() > 1 && path.back() == '/') {
    path.remove_suffix(1);
  }
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

TDirectoryReader::~TDirectoryReader() { Close(); }

bool TDirectoryReader::Open(const std::string& nativeDir) {
  Close();
  const TPathBase base(nativeDir);
  if (base.Fd() == -1) {
    m_error = errno;
    return false;
  }
  return Adopt(openat(base.Fd(), base.Rest(), kDirectoryFlags));
}

bool TDirectoryReader::OpenAt(const TDirectoryReader& parent, const std::string& name) {
  Close();
  if (parent.m_fd < 0) {
    m_error = EBADF;
    return false;
  }
  return Adopt(openat(parent.m_fd, name.c_str(), kDirectoryFlags));
}

bool TDirectoryReader::Adopt(int fd) {
  if (fd < 0) {
    m_error = errno;
    return false;
  }
  m_fd = fd;
  return true;
}

void TDirectoryReader::EndReading() {
  m_buffer.reset();
  m_filled = 0;
  m_next = 0;
  m_entry = nullptr;
}

void TDirectoryReader::Close() {
  if (m_fd >= 0) {
    close(m_fd);
    m_fd = -1;
  }
  m_filled = 0;
  m_next = 0;
  m_ended = false;
  m_entry = nullptr;
  m_error = 0;
}

bool TDirectoryReader::Next(std::string& name, TEntryKind& kind) {
  if (m_fd < 0) {
    return false;
  }
  for (;;) {
    if (m_next >= m_filled) {
      if (m_ended) {
        m_entry = nullptr;
        return false;
      }
      if (!m_buffer) m_buffer.reset(new char[kReadBlock]);
      const ssize_t got = getdents64(m_fd, m_buffer.get(), kReadBlock);
      if (got <= 0) {
        m_error = got < 0 ? errno : 0;
        m_ended = true;
        m_entry = nullptr;
        return false;
      }
      m_filled = static_cast<std::size_t>(got);
      m_next = 0;
    }
    const auto* entry = reinterpret_cast<const dirent64*>(m_buffer.get() + m_next);
    m_next += entry->d_reclen;
    if (IsDotOrDotDot(entry->d_name)) {
      continue;
    }
    m_entry = entry;
    name.assign(entry->d_name);
    kind = KindFromType(entry->d_type);
    return true;
  }
}

bool TDirectoryReader::Stat(const std::string& name, TFileStatus& status) const {
  if (m_fd < 0) {
    return false;
  }
  // The type is taken from the item Next returned last; any other name is looked at
  // as an untyped item.
  const auto* entry = static_cast<const dirent64*>(m_entry);
  const TEntryKind kind =
      (entry && std::strcmp(entry->d_name, name.c_str()) == 0) ? KindFromType(entry->d_type) : TEntryKind::Unknown;
  if (!StatItem(m_fd, name.c_str(), kind, status)) {
    return false;
  }
  status.IsHidden = IsHiddenName(name);
  return true;
}

bool QueryPathStatus(const std::string& nativePath, TFileStatus& status) {
  const TPathBase base(nativePath);
  if (base.Fd() == -1 || !StatItem(base.Fd(), base.Rest(), TEntryKind::Unknown, status)) {
    return false;
  }
  status.IsHidden = IsHiddenName(LastComponent(nativePath));
  return true;
}

int DirectoryHandleAllowance() {
  // Beyond this a breadth-first walk gains nothing measurable.
  constexpr rlim_t kMost = 8192;
  constexpr rlim_t kLeast = 16;
  struct rlimit limit;
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) {
    return static_cast<int>(kMost);
  }
  return static_cast<int>(std::clamp(limit.rlim_cur / 2, kLeast, kMost));
}

bool UnixTimeToLocalDateTime(int64_t seconds, uint32_t nanoseconds, TDateTime& value) {
  // localtime_r reads TZ only once tzset has run; do that once per process.
  static const bool zoneLoaded = (tzset(), true);
  (void)zoneLoaded;

  const time_t time = static_cast<time_t>(seconds);
  struct tm local;
  if (!localtime_r(&time, &local)) {
    return false;
  }
  const long long year = static_cast<long long>(local.tm_year) + 1900;
  if (year < kFirstYear || year > kLastYear) {
    return false;
  }
  TDateTimeFields fields;
  fields.Year = static_cast<int>(year);
  fields.Month = local.tm_mon + 1;
  fields.Day = local.tm_mday;
  fields.Hour = local.tm_hour;
  fields.Minute = local.tm_min;
  // A leap second (tm_sec 60, from the "right/" zones) has no place in a date-time.
  fields.Second = local.tm_sec > 59 ? 59 : local.tm_sec;
  const uint32_t millisecond = nanoseconds / 1000000u;
  fields.Millisecond = millisecond > 999 ? 999 : static_cast<int>(millisecond);
  return EncodeDateTime(fields, value);
}

}  // namespace orv
