// The two-phase walk: first gather every directory to enumerate (through TSearchDir,
// whose reports pass OnFindDir), then report each entry of each gathered directory.
#include "scan/SearchFile.h"

#include "platform/CodePage.h"

#include <utility>

namespace orv {

namespace {

class TGatherScope {
public:
  TGatherScope(bool& busy, std::vector<TFilePath>& directories) : m_busy(busy), m_directories(directories) {
    m_busy = true;
    m_directories.clear();
  }
  ~TGatherScope() {
    m_busy = false;
    // The list can hold a path for every directory of a large tree; give it back.
    std::vector<TFilePath>().swap(m_directories);
  }
  TGatherScope(const TGatherScope&) = delete;
  TGatherScope& operator=(const TGatherScope&) = delete;

private:
  bool& m_busy;
  std::vector<TFilePath>& m_directories;
};

}  // namespace

TSearchFile::TSearchFile() {
  m_searchDir.OnFind = [this](TSearchDir&, const std::string& name, const TSearchFileData& data, bool& ignoreSubDir,
                              bool&) {
    bool skip = false;
    if (OnFindDir) OnFindDir(*this, name, data, skip, ignoreSubDir);
    if (!skip) {
      m_directories.push_back(TFilePath{name, data.NativePath});
    }
  };
}

void TSearchFile::SetDirectory(const std::string& text) { m_directory = TFilePath::FromText(text); }

bool TSearchFile::Execute() {
  if (m_busy || !OnFind) {
    return false;
  }
  TGatherScope scope(m_busy, m_directories);
  if (Recursive) {
    // Its own result says nothing more than the gathered list does.
    m_searchDir.SetBaseDir(m_directory);
    m_searchDir.Execute();
  } else {
    m_directories.push_back(ExpandSearchPath(m_directory));
  }
  return EnumerateListed();
}

bool TSearchFile::EnumerateListed() {
  TDirectoryReader reader;
  TSearchFileData data;
  std::string name;
  std::string fullName;
  TEntryKind kind = TEntryKind::Unknown;
  bool goOn = true;
  const std::size_t count = m_directories.size();
  for (std::size_t i = 0; i < count; ++i) {
    TFilePath& dir = m_directories[i];
    EnsureTrailingDelimiter(dir);
    if (!reader.Open(dir.Native)) {
      continue;
    }
    while (reader.Next(name, kind)) {
      if (!reader.Stat(name, data)) {
        DescribeFromEnumeration(name, kind, data);
      }
      data.Name = Utf8ToAnsi(name);
      data.ShortName = data.Name;
      data.NativePath.assign(dir.Native).append(name);
      fullName.assign(dir.Text).append(data.Name);

      // OnFindDir may have taken the event away while the directories were gathered.
      if (OnFind) OnFind(*this, fullName, data, goOn);
      if (!goOn) {
        return false;
      }
    }
    reader.Close();
  }
  return true;
}

}  // namespace orv
