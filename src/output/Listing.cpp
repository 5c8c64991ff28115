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

namespace {

template <class Writer>
void WriteWith(const TListingContext& context) {
  TAtomicFile file = CreateListingFile(context.OutputFile);
  Writer writer(context, file);
  TListingWalk(context).Run(writer);
  file.Commit();
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
    case FileTypeXml:
      WriteWith<TXmlWriter>(context);
      if (context.Options.XSLT) {
        CopyStylesheets(context.ExeDirectory, context.SampleDirectory, context.OutputFile.Native);
      }
      return true;
    default:
      return false;
  }
}

}  // namespace orv
