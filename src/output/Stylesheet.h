// The stylesheet beside an XML listing: "Orvantis.xsl", copied from the sample that
// ships with the program. Copies never replace a stylesheet the user may have edited.
#pragma once

#include <string>

namespace orv {

// Copies Orvantis.xsl.sample in exeDirectory (or, when it has none, in
// sampleDirectory) to Orvantis.xsl in exeDirectory, then that file to Orvantis.xsl
// beside outputFile; each copy only when its target does not exist. Directories are
// native and end in "/"; outputFile is native. Failures are silent.
void CopyStylesheets(const std::string& exeDirectory, const std::string& sampleDirectory,
                     const std::string& outputFile);

}  // namespace orv
