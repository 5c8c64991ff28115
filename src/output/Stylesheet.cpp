// Stylesheet copies for XML listings.
#include "output/Stylesheet.h"

#include "platform/AtomicFile.h"
#include "platform/File.h"
#include "platform/OSError.h"

namespace orv {

namespace {

constexpr const char* kSampleName = "Orvantis.xsl.sample";
constexpr const char* kStylesheetName = "Orvantis.xsl";

void CopyWithoutReplacing(const std::string& source, const std::string& target) {
  std::string contents;
  if (PathExists(target) || !ReadWholeFile(source, contents)) {
    return;
  }
  try {
    WriteFileAtomically(target, contents);
  } catch (const EOSError&) {
    // A folder the user cannot write to simply gets no stylesheet.
  }
}

}  // namespace

void CopyStylesheets(const std::string& exeDirectory, const std::string& sampleDirectory,
                     const std::string& outputFile) {
  std::string sample = exeDirectory + kSampleName;
  if (!FileExists(sample) && !sampleDirectory.empty()) {
    sample = sampleDirectory + kSampleName;
  }
  const std::string installed = exeDirectory + kStylesheetName;
  CopyWithoutReplacing(sample, installed);
  // "/" never occurs inside a multi-byte UTF-8 sequence, so the byte search is exact.
  const std::size_t slash = outputFile.rfind('/');
  const std::string outputDirectory = slash == std::string::npos ? std::string() : outputFile.substr(0, slash + 1);
  CopyWithoutReplacing(installed, outputDirectory + kStylesheetName);
}

}  // namespace orv
