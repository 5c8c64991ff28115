// The listing entry points the run driver calls once the lists are sorted and the
// captions loaded.
//
// The listing is streamed into a temporary file beside OutputFile and renamed over it
// when complete, so an older listing stays untouched until then, and after any failure.
#pragma once

#include "output/ListingContext.h"
#include "platform/AtomicFile.h"

namespace orv {

// Creates the temporary file for listing. Throws EOSError with the message
// "ファイル <OutputFile> を作成できません" when it cannot.
TAtomicFile CreateListingFile(const TFilePath& listing);

// The CSV (FileType 0) or HTML (FileType 1) listing. Returns true when written, also
// after a stop (the partial listing ends with its footer); for other file types it
// writes nothing and returns true. Throws EOSError when the file cannot be created
// (message above) or written (the system's reason); the older file then stays.
bool WriteListing(const TListingContext& context);

// The XML listing, then, with the XSLT option, the stylesheet copies. Returns and
// throws as WriteListing.
bool WriteXmlListing(const TListingContext& context);

}  // namespace orv
