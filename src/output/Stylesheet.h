// The stylesheet beside an XML listing: "Orvantis.xsl", copied from the sample that
// ships with the program. Copies never replace a stylesheet the user may have edited,
// not even one created while the copy is made.
#pragma once

#include <string>
#include <vector>

namespace orv {

// Copies Orvantis.xsl.sample in exeDirectory (or, when it has none, in
// sampleDirectory) to Orvantis.xsl in exeDirectory, then that file to Orvantis.xsl
// beside outputFile; each copy only when its target does not exist. Directories are
// native and end in "/"; outputFile is the native path of a regular file (a listing
// written to a FIFO or a terminal gets no copy: its folder is not the user's). Returns
// the native paths of the copies that could not be made (unreadable source, folder
// not writable); never throws.
std::vector<std::string> CopyStylesheets(const std::string& exeDirectory, const std::string& sampleDirectory,
                                         const std::string& outputFile);

}  // namespace orv
