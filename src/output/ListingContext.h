// TListingContext: what a listing writer reads from the run. The run driver owns
// everything referred to here and keeps it alive for the call. A writer changes
// nothing through it but the Written marks of the file records it writes, and talks
// to the host (status texts, pumps).
#pragma once

#include "core/DataList.h"
#include "core/RunHost.h"
#include "core/RunOptions.h"
#include "output/Captions.h"
#include "platform/DateTime.h"
#include "platform/Path.h"
#include "platform/Regional.h"

#include <functional>
#include <string>
#include <vector>

namespace orv {

struct TListingContext {
  const RunOptions& Options;
  // Sorted by the driver. The writers mark each file record they write (Written).
  TRunLists& Lists;
  // Ends in the delimiter.
  const TFilePath& TargetDirectory;
  const TFilePath& OutputFile;
  // Where the entry builder put the icons; the listings name them relative to the
  // output file ("./" + IconDir), so the writers do not read it.
  const TFilePath& IconDirectory;
  // "/" on Linux, whatever SlashDelimiter says.
  const std::string& PathSeparator;
  // Native, ending in "/": where Orvantis.xsl.sample and Orvantis.xsl live.
  const std::string& ExeDirectory;
  const TCaption& Captions;
  TRunHost& Host;
  // Polled between rows; the stop command clears it during the host's Pump.
  const bool& Running;
  const TRegionalSettings& Regional;
  // The current local date and time, for the "generated on" texts.
  std::function<TDateTime()> Clock;
  // Native, ending in "/": where the installed stylesheet sample lies when ExeDirectory
  // (ORVANTIS_HOME) holds none. Empty: ExeDirectory only.
  std::string SampleDirectory = {};
  // Receives what the writer could not do beside the listing (a stylesheet copy that
  // failed), as CP932 texts. Null: each becomes a warning box of the host.
  std::vector<std::string>* Notices = nullptr;
};

}  // namespace orv
