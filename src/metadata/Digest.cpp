// File digests: one sequential pass per file feeds every algorithm asked for, CRC-32
// from zlib and the rest from OpenSSL's EVP interface.
#include "metadata/Digest.h"

#include "platform/ReadOnlyFile.h"

#include "core/RunOptions.h"

#include <openssl/evp.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <utility>

namespace orv {

namespace {

// Large enough that the read calls cost little next to the digests, small enough that
// the block is still in cache while each algorithm passes over it (measured faster than
// mapping the file, where every algorithm streams the pages from memory).
constexpr std::size_t kBlockSize = 256 * 1024;

enum TAlgorithm : int { AlgorithmCrc32, AlgorithmMd5, AlgorithmSha1, AlgorithmSha256, AlgorithmSha384,
                        AlgorithmSha512, AlgorithmCount };

struct TAlgorithmInfo {
  int Kind;
  const char* EvpName;  // nullptr for CRC-32, which comes from zlib
};

constexpr TAlgorithmInfo kAlgorithms[AlgorithmCount] = {
    {DigestKindCrc32, nullptr},     {DigestKindMd5, "MD5"},       {DigestKindSha1, "SHA1"},
    {DigestKindSha256, "SHA256"},   {DigestKindSha384, "SHA384"}, {DigestKindSha512, "SHA512"},
};

int AlgorithmOfKind(int kind) {
  for (int a = 0; a < AlgorithmCount; ++a) {
    if (kAlgorithms[a].Kind == kind) return a;
  }
  return -1;
}

constexpr unsigned Bit(int algorithm) { return 1u << algorithm; }


void AppendHex(std::string& text, const unsigned char* bytes, std::size_t count) {
  static constexpr char kDigits[] = "0123456789abcdef";
  for (std::size_t i = 0; i < count; ++i) {
    text.push_back(kDigits[bytes[i] >> 4]);
    text.push_back(kDigits[bytes[i] & 0x0F]);
  }
}

// The per-file outcome of a pass, per algorithm; Opened false means the file could not
// be opened as a regular file and no algorithm ran.
struct TPass {
  bool Opened = false;
  int Codes[AlgorithmCount] = {};
};

}  // namespace

struct TFileDigester::TState {
  std::unique_ptr<unsigned char[]> Buffer;
  EVP_MD* Methods[AlgorithmCount] = {};
  EVP_MD_CTX* Contexts[AlgorithmCount] = {};
  uLong Crc = 0;

  ~TState() {
    for (int a = 0; a < AlgorithmCount; ++a) {
      EVP_MD_CTX_free(Contexts[a]);
      EVP_MD_free(Methods[a]);
    }
  }

  // One pass over the file at nativePath for the algorithms in wanted. On success of
  // an algorithm its digest replaces *texts[a]; every other text is left as it was.
  TPass Run(TFileDigester& owner, const std::string& nativePath, unsigned wanted,
            std::string* const (&texts)[AlgorithmCount]);

  bool Start(int a) {
    if (a == AlgorithmCrc32) {
      Crc = crc32_z(0, nullptr, 0);
      return true;
    }
    // Fetched once and kept: an implicit fetch on every start would cost a lookup per file.
    if (!Methods[a]) Methods[a] = EVP_MD_fetch(nullptr, kAlgorithms[a].EvpName, nullptr);
    if (!Contexts[a]) Contexts[a] = EVP_MD_CTX_new();
    return Methods[a] && Contexts[a] && EVP_DigestInit_ex2(Contexts[a], Methods[a], nullptr) == 1;
  }

  bool Update(int a, const unsigned char* data, std::size_t count) {
    if (a == AlgorithmCrc32) {
      Crc = crc32_z(Crc, data, count);
      return true;
    }
    return EVP_DigestUpdate(Contexts[a], data, count) == 1;
  }

  // Replaces text with the digest; text is untouched when the library fails.
  bool Finish(int a, std::string& text) {
    unsigned char bytes[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (a == AlgorithmCrc32) {
      const uint32_t value = static_cast<uint32_t>(Crc);
      for (int i = 0; i < 4; ++i) bytes[i] = static_cast<unsigned char>(value >> (8 * i));
      length = 4;
    } else if (EVP_DigestFinal_ex(Contexts[a], bytes, &length) != 1) {
      return false;
    }
    text.clear();
    text.reserve(2 * length);
    AppendHex(text, bytes, length);
    return true;
  }
};

TPass TFileDigester::TState::Run(TFileDigester& owner, const std::string& nativePath, unsigned wanted,
                                 std::string* const (&texts)[AlgorithmCount]) {
  TPass pass;
  owner.m_keptWhole = false;
  if (owner.m_kept) owner.m_kept->clear();
  TReadOnlyFile file;
  if (!file.Open(nativePath)) return pass;
  pass.Opened = true;
  const int64_t size = file.Size();
  owner.OnSizeTaken();
  std::string* const kept =
      owner.m_kept && size >= 0 && static_cast<uint64_t>(size) <= owner.m_keepLimit ? owner.m_kept : nullptr;

  unsigned active = 0;
  for (int a = 0; a < AlgorithmCount; ++a) {
    if (!(wanted & Bit(a))) continue;
    if (Start(a)) {
      active |= Bit(a);
    } else {
      pass.Codes[a] = DigestNullContext;
    }
  }
  if (!active) return pass;

  if (size > static_cast<int64_t>(kBlockSize)) file.AdviseSequential();
  if (!Buffer) Buffer = std::make_unique<unsigned char[]>(kBlockSize);
  unsigned char* buffer = Buffer.get();

  auto failActive = [&](int code) {
    for (int a = 0; a < AlgorithmCount; ++a) {
      if (active & Bit(a)) pass.Codes[a] = code;
    }
    active = 0;
  };

  int64_t fed = 0;
  for (;;) {
    const int64_t remaining = size - fed;
    // A file that was empty when its size was taken still needs one read: it counts as
    // read whole only if that read finds a byte (which is then not fed).
    const std::size_t request =
        remaining == 0 ? 1 : static_cast<std::size_t>(std::min<int64_t>(remaining, kBlockSize));
    const int64_t got = file.Read(buffer, request);
    if (got <= 0) {
      failActive(DigestReadError);
      return pass;
    }
    const std::size_t count = static_cast<std::size_t>(std::min<int64_t>(got, remaining));
    if (kept) kept->append(reinterpret_cast<const char*>(buffer), count);
    for (int a = 0; a < AlgorithmCount; ++a) {
      if ((active & Bit(a)) && !Update(a, buffer, count)) {
        pass.Codes[a] = DigestInvalidContext;
        active &= ~Bit(a);
      }
    }
    fed += static_cast<int64_t>(count);
    if (fed >= size || !active) break;
    if (owner.m_monitor && !owner.m_monitor->Advance(fed, size)) {
      failActive(DigestReadError);
      return pass;
    }
  }

  for (int a = 0; a < AlgorithmCount; ++a) {
    if (active & Bit(a)) pass.Codes[a] = Finish(a, *texts[a]) ? DigestNoError : DigestInvalidContext;
  }
  // Every byte up to the size was read (a pass that lost all its algorithms stops early).
  if (kept && fed >= size) {
    owner.m_keptWhole = true;
  } else if (owner.m_kept) {
    owner.m_kept->clear();
  }
  return pass;
}

namespace {

void MakeUpperHex(std::string& text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
  }
}

}  // namespace

TFileDigester::TFileDigester() : m_state(std::make_unique<TState>()) {}

TFileDigester::~TFileDigester() = default;

int TFileDigester::Digest(int kind, const std::string& nativePath, std::string& text) {
  const int algorithm = AlgorithmOfKind(kind);
  std::string* texts[AlgorithmCount] = {};
  if (algorithm >= 0) texts[algorithm] = &text;
  const TPass pass = m_state->Run(*this, nativePath, algorithm >= 0 ? Bit(algorithm) : 0u, texts);
  if (!pass.Opened) return DigestOpenError;
  return algorithm >= 0 ? pass.Codes[algorithm] : DigestUnknownKind;
}

void TFileDigester::Digest(const std::string& nativePath, std::span<const int> kinds,
                           std::span<TDigestResult> results) {
  const std::size_t count = std::min(kinds.size(), results.size());
  // The first result of each algorithm receives its text; repeats copy it.
  std::string* texts[AlgorithmCount] = {};
  unsigned wanted = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const int a = AlgorithmOfKind(kinds[i]);
    if (a >= 0 && !(wanted & Bit(a))) {
      wanted |= Bit(a);
      texts[a] = &results[i].Text;
    }
  }
  const TPass pass = m_state->Run(*this, nativePath, wanted, texts);
  for (std::size_t i = 0; i < count; ++i) {
    const int a = AlgorithmOfKind(kinds[i]);
    TDigestResult& result = results[i];
    result.Code = !pass.Opened ? DigestOpenError : a < 0 ? DigestUnknownKind : pass.Codes[a];
    if (result.Code != DigestNoError) {
      result.Text.clear();
    } else if (texts[a] != &result.Text) {
      result.Text = *texts[a];
    }
  }
}

std::string_view DigestErrorText(int code) {
  switch (code) {
    case DigestNoError: return "No error";
    case DigestUnknownKind: return "Unknown hash type";
    case DigestNullContext: return "Hash context is null";
    case DigestInvalidContext: return "Invalid hash context";
    case DigestReadError: return "Could not read file";
    case DigestOpenError: return "Could not open file";
    case DigestTestFailed: return "Hash test failed";
    default: return "Unknown error";
  }
}

void DigestEntryTexts(TFileDigester& digester, const RunOptions& options, const std::string& nativePath,
                      int64_t size, std::string& crc32, std::string& md5, std::string& sha1) {
  // In the order the columns are computed: CRC32, MD5, SHA1.
  const bool on[] = {options.CRC32, options.MD5, options.SHA1};
  std::string* const columns[] = {&crc32, &md5, &sha1};
  int kinds[3];
  TDigestResult results[3];
  std::string* targets[3];
  std::size_t count = 0;
  static constexpr int kColumnKinds[] = {DigestKindCrc32, DigestKindMd5, DigestKindSha1};
  for (int c = 0; c < 3; ++c) {
    if (!on[c]) continue;
    kinds[count] = kColumnKinds[c];
    targets[count] = columns[c];
    ++count;
  }
  if (count == 0) return;

  digester.Digest(nativePath, std::span<const int>(kinds, count), std::span<TDigestResult>(results, count));
  for (std::size_t i = 0; i < count; ++i) {
    std::string& column = *targets[i];
    TDigestResult& result = results[i];
    if (result.Code != DigestNoError && size > 0) {
      column.assign("Error: ").append(DigestErrorText(result.Code));
      continue;
    }
    column = std::move(result.Text);
    // The digest gives the CRC's bytes least significant first; the listing shows the
    // value as it is usually written.
    if (kinds[i] == DigestKindCrc32 && column.size() == 8) {
      std::swap(column[0], column[6]);
      std::swap(column[1], column[7]);
      std::swap(column[2], column[4]);
      std::swap(column[3], column[5]);
    }
    if (options.HashUpper) MakeUpperHex(column);
  }
}

}  // namespace orv
