// Entry points: one walk into the writer of the run's format, saved in one step.
#include "output/Listing.h"

#include "output/CsvWriter.h"
#include "output/HtmlWriter.h"
#include "output/ListingWalk.h"
#include "output/Stylesheet.h"
#include "output/XmlWriter.h"
#include "platform/CodePage.h"
#include "platform/OSError.h"

#include <utility>

namespace orv {

TAtomicFile CreateListingFile(const TFilePath& listing) {
  try {
    return TAtomicFile(listing.Native);
  } catch (const EOSError& error) {
    throw EOSError(Utf8ToAnsi("ファイル ") + listing.Text + Utf8ToAnsi(" を作成できません"), error.Code());
  }
}

namespace {

constexpr const char* kStylesheetNotCopied = "スタイルシートをコピーできませんでした: ";

// Writes the listing; returns the regular file it now is, or "" for a listing that went
// straight to a FIFO, a terminal or a device.
template <class Writer>
std::string WriteWith(const TListingContext& context) {
  TAtomicFile file = CreateListingFile(context.OutputFile);
  Writer writer(context, file);
  TListingWalk(context).Run(writer);
  file.Commit();
  return file.WritesDirectly() ? std::string() : file.TargetPath();
}

void CopyStylesheetsBeside(const TListingContext& context, const std::string& listing) {
  if (listing.empty()) return;
  for (const std::string& failed : CopyStylesheets(context.ExeDirectory, context.SampleDirectory, listing)) {
    std::string notice = Utf8ToAnsi(kStylesheetNotCopied) + Utf8ToAnsi(failed);
    if (context.Notices) {
      context.Notices->push_back(std::move(notice));
    } else {
      context.Host.ShowWarning(notice);
    }
  }
}

}  // namespace

bool WriteListing(const TListingContext& context) {
  switch (context.Options.FileType) {
    case FileTypeCsv:
      WriteWith<TCsvWriter>(context);
      return true;
    case FileTypeHtml:
      WriteWith<THtmlWriter>(context);
      return true;
    case FileTypeXml: {
      const std::string listing = WriteWith<TXmlWriter>(context);
      if (context.Options.XSLT) CopyStylesheetsBeside(context, listing);
      return true;
    }
    default:
      return false;
  }
}

}  // namespace orv
