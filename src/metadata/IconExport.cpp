// The icon export step of the entry builder.
#include "metadata/IconExport.h"

#include "metadata/IconFile.h"
#include "platform/CodePage.h"
#include "platform/File.h"

#include <exception>
#include <string>

namespace orv {

bool ExportIcon(const TDataItem& item, const TFilePath& iconDirectory, TIconSource& source) {
  // The listing refers to the icon by its CP932 name, so the file gets the native
  // form of that text; a name CP932 could not hold is "?" in both.
  std::string iconPath = iconDirectory.Native;
  iconPath += PathDelim;
  iconPath += AnsiToUtf8(item.IconFileName());
  // Asking the source costs far more than this test, and after the first entry of each
  // name the answer is almost always "exists".
  if (PathExists(iconPath)) return false;
  try {
    TIconImage icon;
    if (!source.SmallIcon(item.NativePath(), item.IsDirectory, icon)) return false;
    // Another entry, or another run, may have taken the name meanwhile; the exclusive
    // create keeps its file.
    return WriteIconFile(iconPath, icon);
  } catch (const std::exception&) {
    // An icon source that fails (out of memory in a toolkit) costs the entry its icon only.
    return false;
  }
}

}  // namespace orv
