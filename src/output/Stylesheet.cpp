// Stylesheet copies for XML listings.
#include "output/Stylesheet.h"

#include "platform/ExclusiveFile.h"
#include "platform/File.h"

namespace orv {

namespace {

constexpr const char* kSampleName = "Orvantis.xsl.sample";
constexpr const char* kStylesheetName = "Orvantis.xsl";

// False when the copy was needed and could not be made. A target that exists, or
// appears meanwhile (another run copying into the same folder), is kept as it is.
bool CopyWithoutReplacing(const std::string& source, const std::string& target) {
  if (PathExists(target)) return true;
  std::string contents;
  if (!ReadWholeFile(source, contents)) return false;
  return CreateFileExclusive(target, contents) || PathExists(target);
}

}  // namespace

std::vector<std::string> CopyStylesheets(const std::string& exeDirectory, const std::string& sampleDirectory,
                                         const std::string& outputFile) {
  std::vector<std::string> failed;
  std::string sample = exeDirectory + kSampleName;
  if (!FileExists(sample) && !sampleDirectory.empty()) {
    sample = sampleDirectory + kSampleName;
  }
  const std::string installed = exeDirectory + kStylesheetName;
  if (!CopyWithoutReplacing(sample, installed)) {
    // Without its own copy there is nothing to put beside the listing either.
    failed.push_back(installed);
    return failed;
  }
  // "/" never occurs inside a multi-byte UTF-8 sequence, so the byte search is exact.
  const std::size_t slash = outputFile.rfind('/');
  const std::string outputDirectory = slash == std::string::npos ? std::string() : outputFile.substr(0, slash + 1);
  const std::string beside = outputDirectory + kStylesheetName;
  if (!CopyWithoutReplacing(installed, beside)) failed.push_back(beside);
  return failed;
}

}  // namespace orv
