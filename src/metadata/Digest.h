// File digests: CRC-32, MD5, SHA-1 (and the SHA-2 family) of a file's contents as
// hexadecimal text, addressed by numeric kind codes, with the English message of each
// result code. One pass over a file serves every kind asked for; the answers are those
// that one separate pass per kind would give.
#pragma once

#include "metadata/ReadMonitor.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace orv {

struct RunOptions;

// Kind codes. The range 257..277 names further algorithms that are not built in:
// they answer DigestUnknownKind like any code outside the range.
enum TDigestKind : int {
  DigestKindMd5 = 259,
  // Text: the four bytes of the value least significant first ("2639f4cb" for
  // "123456789", whose CRC-32 is CBF43926).
  DigestKindCrc32 = 261,
  DigestKindSha1 = 269,
  DigestKindSha256 = 270,
  DigestKindSha384 = 271,
  DigestKindSha512 = 272,
};

// Result codes.
enum TDigestCode : int {
  DigestNoError = 0,
  DigestUnknownKind = 1,
  // The algorithm's state could not be set up (the crypto library refused it).
  DigestNullContext = 2,
  // The crypto library failed while digesting.
  DigestInvalidContext = 3,
  // Opened, but a read failed or the file ended before the size taken at the open
  // (an empty file included).
  DigestReadError = 4,
  // Missing, unreadable, or not a regular file (FIFOs, devices, sockets and
  // directories are never read).
  DigestOpenError = 5,
  DigestTestFailed = 6,
};

// The outcome for one kind of a one-pass digest: Text is the lower-case hexadecimal
// digest when Code is DigestNoError, and empty otherwise.
struct TDigestResult {
  int Code = DigestNoError;
  std::string Text;
};

// Digests files, reusing its read buffer and algorithm states from file to file, so
// that listing a million small files costs no allocation per file. Not thread-safe:
// each reader of file contents owns its digester (the entry builder owns one), and
// two digesters run on two threads at once without sharing anything.
//
// For each file: it is opened once (without blocking, so a FIFO cannot stall the run)
// and its size taken then; a failed open or a file that is not regular gives
// DigestOpenError for every kind. Next the kinds are checked (an unknown one gives
// DigestUnknownKind), then the file is read in large blocks until exactly that size has
// been fed; bytes a writer appends meanwhile are never fed. A file that ends early
// gives DigestReadError. Never throws.
class TFileDigester {
public:
  TFileDigester();
  virtual ~TFileDigester();
  TFileDigester(const TFileDigester&) = delete;
  TFileDigester& operator=(const TFileDigester&) = delete;

  // One kind. On DigestNoError text receives the digest; on any other code text is
  // left as it was.
  int Digest(int kind, const std::string& nativePath, std::string& text);

  // Several kinds in one pass: results[i] answers kinds[i] (kinds past the end of
  // results are ignored). A kind named twice is computed once.
  void Digest(const std::string& nativePath, std::span<const int> kinds, std::span<TDigestResult> results);

  // Told of the progress of every pass from now on (nullptr: nobody). When it says
  // stop, the pass ends with DigestReadError for the kinds still running.
  void SetMonitor(TReadMonitor* monitor) { m_monitor = monitor; }

  // From now on every pass also keeps the bytes it reads in contents, as long as the
  // file is at most limit bytes; afterwards KeptWhole() tells whether contents holds
  // the whole file as the pass read it (otherwise what it holds means nothing).
  // nullptr stops keeping.
  // Lets another reader of the same file (the PDF probe) use the one read.
  void KeepContents(std::string* contents, std::size_t limit) {
    m_kept = contents;
    m_keepLimit = limit;
    m_keptWhole = false;
  }
  bool KeptWhole() const { return m_keptWhole; }

protected:
  // Called once the size has been taken and before the first byte is read. Tests use
  // it to change the file at exactly that point.
  virtual void OnSizeTaken() {}

private:
  struct TState;
  std::unique_ptr<TState> m_state;
  TReadMonitor* m_monitor = nullptr;
  std::string* m_kept = nullptr;
  std::size_t m_keepLimit = 0;
  bool m_keptWhole = false;
};

// "No error", "Unknown hash type", ... for the codes above; "Unknown error" for any
// other code.
std::string_view DigestErrorText(int code);

// The digest columns of one listed file, for those of options.CRC32, options.MD5 and
// options.SHA1 that are on (a column whose option is off is not touched); the file is
// read once for all of them. A column receives the digest, with the CRC-32 shown most
// significant byte first ("cbf43926") and the letters upper-cased under
// options.HashUpper; or "Error: " and the English message when the digest failed and
// size (the entry's size from the walk) is above 0; or "" when it failed on an empty
// file.
void DigestEntryTexts(TFileDigester& digester, const RunOptions& options, const std::string& nativePath,
                      int64_t size, std::string& crc32, std::string& md5, std::string& sha1);

}  // namespace orv
