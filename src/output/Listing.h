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

// The listing of context.Options.FileType (CSV, HTML or XML), and after an XML
// listing, with the XSLT option, the stylesheet copies (only beside a listing that is
// a regular file; a copy that cannot be made goes to context.Notices). Returns false, writing
// nothing, when the file type names no format (a hand-edited settings file); true
// when the listing was written, also after a stop (the partial listing ends with its
// footer). Throws EOSError when the file cannot be created (message above) or written
// (the system's reason); the older file then stays.
bool WriteListing(const TListingContext& context);

}  // namespace orv
