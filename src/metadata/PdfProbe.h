// The PDF probe: the version named in a PDF's header and the document's page count,
// found by scanning the raw bytes rather than by parsing PDF syntax. The probe holds
// no state: any number of calls may run at once on different threads.
//
// The file is walked as segments, the runs of bytes between NUL bytes. The version is
// the first "%PDF-<digits and dots>" found. A segment is cut into objects at "endobj"
// (at most 16384 pieces); objects longer than 10240 bytes or holding "stream" are left
// out; an object with " obj" that is the root of the page tree ("/Type /Pages" or
// "/Type/Pages" without "/Parent") gives its "/Count N", a linearization dictionary
// ("/Linearized") its "/N N" (exactly one space before the number in both). The last
// count found in file order stands. With page counts off, only the first non-empty
// segment is searched, for the version.
//
// When that finds no count in a file with a "%PDF-" header, the page tree is usually
// inside compressed object streams, which the byte scan cannot see: then the
// FlateDecode object streams are inflated and the page-tree-root rule applied to the
// objects in them.
//
// Faults stay with the file: a file that cannot be opened or mapped leaves the facts
// as they were, a count too large for 32 bits is passed over, and nothing is thrown.
#pragma once

#include "metadata/ReadMonitor.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace orv {

struct TPdfFacts {
  std::string Version;  // e.g. "1.7"; empty when no header was found
  std::int32_t PageCount = 0;
};

// The probe over bytes already in memory. Writes facts.Version only while it is empty
// and facts.PageCount each time a count is found. monitor, when given, hears how far
// the scan is every megabyte or so and may stop it.
void ProbePdfData(std::string_view data, bool pageCount, TPdfFacts& facts, TReadMonitor* monitor = nullptr) noexcept;

// The probe over one file: nothing happens unless extension (without its dot) is "pdf"
// in any case. Only regular files are read (mapped, not copied), so a FIFO or a device
// never blocks and a large PDF costs no memory.
void ProbePdf(std::string_view extension, const std::string& nativePath, bool pageCount, TPdfFacts& facts,
              TReadMonitor* monitor = nullptr) noexcept;

// True for the extension (without its dot) of the files the probe reads: "pdf" in any case.
bool IsPdfExtension(std::string_view extension) noexcept;

// ReadPdfFacts over the file's contents already read (the whole file): the same facts
// from the same bytes, without reading the file again.
bool ProbePdfContents(std::string_view contents, bool pdfPageCount, TPdfFacts& facts,
                      TReadMonitor* monitor = nullptr) noexcept;

// The entry builder's PDF step: with RunOptions.PdfFileVersion or PdfPageCount on,
// probes the file at nativePath (whose extension is given without its dot) into
// facts, which start empty. True when a version or a non-zero page count was found,
// that is when the entry has PDF facts to keep.
bool ReadPdfFacts(const std::string& nativePath, std::string_view extension, bool pdfFileVersion, bool pdfPageCount,
                  TPdfFacts& facts, TReadMonitor* monitor = nullptr) noexcept;

}  // namespace orv
