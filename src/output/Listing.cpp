// Entry points: one walk into the writer of the run's format, saved in one step.
#include "output/Listing.h"

#include "output/CsvWriter.h"
#include "output/HtmlWriter.h"
#include "output/ListingWalk.h"
#include "output/Stylesheet.h"
#include "output/XmlWriter.h"
#include "platform/CodePage.h"
#include "platform/OSError.h"

namespace orv {

TAtomicFile CreateListingFile(const TFilePath& listing) {
  try {
    return TAtomicFile(listing.Native);
  } catch (const EOSError& error) {
    throw EOSError(Utf8ToAnsi("ファイル ") + listing.Text + Utf8ToAnsi(" を作成できません"), error.Code());
  }
}

bool WriteListing(const TListingContext& context) {
  const int fileType = context.Options.FileType;
  if (fileType != FileTypeCsv && fileType != FileTypeHtml) {
    return true;
  }
  TAtomicFile file = CreateListingFile(context.OutputFile);
  TListingWalk walk(context);
  if (fileType == FileTypeCsv) {
    TCsvWriter writer(context, file);
    walk.Run(writer);
  } else {
    THtmlWriter writer(context, file);
    walk.Run(writer);
  }
  file.Commit();
  return true;
}

bool WriteXmlListing(const TListingContext& context) {
  TAtomicFile file = CreateListingFile(context.OutputFile);
  TXmlWriter writer(context, file);
  TListingWalk(context).Run(writer);
  file.Commit();
  if (context.Options.XSLT) {
    CopyStylesheets(context.ExeDirectory, context.SampleDirectory, context.OutputFile.Native);
  }
  return true;
}

}  // namespace orv
