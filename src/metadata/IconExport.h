// Writing the icon file of one entry into the run's icon folder: one file per icon
// file name, taken from the first entry that needs it and never replaced afterwards.
#pragma once

#include "core/DataItem.h"
#include "metadata/IconSource.h"
#include "platform/Path.h"

namespace orv {

// Writes iconDirectory/IconFileName as an .ico file holding the small icon that
// source gives for the entry. True when the file was written; false when a file
// already exists under that name (from this run or an earlier one), when the source
// has no icon, or when the file cannot be written, in which case nothing is written
// and nothing is reported. Never throws.
bool ExportIcon(const TDataItem& item, const TFilePath& iconDirectory, TIconSource& source);

}  // namespace orv
