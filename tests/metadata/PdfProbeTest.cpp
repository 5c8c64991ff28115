// The PDF probe on PDFs written by the test: versions, page-tree roots and
// linearization counts, the segment and object rules, files that cannot be read,
// counts that do not fit, and page trees inside compressed object streams.
#include "metadata/PdfProbe.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace orv {
namespace {

const std::string kHeader17 = "%PDF-1.7\n%\xE2\xE3\xCF\xD3\n";

std::string Obj(int number, const std::string& body) {
  return std::to_string(number) + " 0 obj\n" + body + "\nendobj\n";
}

TPdfFacts Probe(const std::string& data, bool pageCount = true) {
  TPdfFacts facts;
  ProbePdfData(data, pageCount, facts);
  return facts;
}

std::string Deflate(const std::string& text) {
  uLongf size = compressBound(text.size());
  std::string out(size, '\0');
  EXPECT_EQ(compress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(text.data()),
                     text.size()),
            Z_OK);
  out.resize(size);
  return out;
}

// An object stream holding the given objects (numbered from 10), its dictionary
// written with typeAndFilter in front of /N, /First and /Length.
std::string ObjectStream(int number, const std::vector<std::string>& objects, const std::string& typeAndFilter,
                         bool directLength = true) {
  std::string header, bodies;
  for (std::size_t i = 0; i < objects.size(); ++i) {
    header += std::to_string(10 + i) + " " + std::to_string(bodies.size()) + " ";
    bodies += objects[i] + "\n";
  }
  const std::string packed = Deflate(header + bodies);
  const std::string length = directLength ? std::to_string(packed.size()) : "99 0 R";
  return std::to_string(number) + " 0 obj\n<<" + typeAndFilter + "/N " + std::to_string(objects.size()) +
         "/First " + std::to_string(header.size()) + "/Length " + length + ">>\nstream\n" + packed +
         "\nendstream\nendobj\n";
}

TEST(PdfProbeTest, VersionAndPageTreeRoot) {
  EXPECT_EQ(Probe(kHeader17).Version, "1.7");
  EXPECT_EQ(Probe("%PDF-1.4\n").Version, "1.4");
  EXPECT_EQ(Probe(kHeader17, false).Version, "1.7");

  // The root is the node without /Parent, wherever it stands.
  const std::string tree = kHeader17 + Obj(1, "<< /Type /Catalog /Pages 2 0 R >>") +
                           Obj(2, "<< /Type /Pages /Kids [3 0 R] /Count 12 >>") +
                           Obj(3, "<< /Type /Pages /Parent 2 0 R /Kids [4 0 R] /Count 5 >>");
  EXPECT_EQ(Probe(tree).PageCount, 12);
  EXPECT_EQ(Probe(tree, false).PageCount, 0);
  EXPECT_EQ(Probe(kHeader17 + Obj(2, "<</Type/Pages/Kids[3 0 R]/Count 3>>")).PageCount, 3);

  // Exactly one space between /Count and its number.
  EXPECT_EQ(Probe(kHeader17 + Obj(2, "<< /Type /Pages /Count\n12 >>")).PageCount, 0);
  EXPECT_EQ(Probe(kHeader17 + Obj(2, "<< /Type /Pages /Count  12 >>")).PageCount, 0);
  // An object holding "stream", one longer than 10240 bytes, a text without " obj".
  EXPECT_EQ(Probe(kHeader17 + Obj(2, "<< /Type /Pages /Count 4 >>\nstream\nxx\nendstream")).PageCount, 0);
  EXPECT_EQ(Probe(kHeader17 + Obj(2, "<< /Type /Pages /Count 4 /Pad (" + std::string(10240, 'x') + ") >>")).PageCount,
            0);
  EXPECT_EQ(Probe(kHeader17 + Obj(2, "<< /Type /Pages /Count 4 /Pad (" + std::string(10100, 'x') + ") >>")).PageCount,
            4);
  EXPECT_EQ(Probe(kHeader17 + "2 0 OBJ << /Type /Pages /Count 4 >> endobj").PageCount, 0);
  // A NUL inside the object cuts it in two, and neither half is a whole root.
  EXPECT_EQ(Probe(kHeader17 + "2 0 obj << /Type /Pages /Count" + std::string(1, '\0') + " 4 >> endobj").PageCount, 0);
}

TEST(PdfProbeTest, LinearizedCountsAndTheLastCountStanding) {
  const std::string linearized = Obj(1, "<< /Linearized 1 /L 9000 /H [ 500 120 ] /O 4 /E 800 /N 7 /T 8000 >>");
  EXPECT_EQ(Probe(kHeader17 + linearized).PageCount, 7);
  EXPECT_EQ(Probe(kHeader17 + linearized + Obj(9, "<< /Type /Pages /Count 9 >>")).PageCount, 9);
  EXPECT_EQ(Probe(kHeader17 + Obj(9, "<< /Type /Pages /Count 9 >>") + linearized).PageCount, 7);
  // Both keys in one object: a page-tree candidate only.
  EXPECT_EQ(Probe(kHeader17 + Obj(1, "<< /Linearized 1 /N 7 /Type /Pages /Count 3 >>")).PageCount, 3);
  EXPECT_EQ(Probe(kHeader17 + Obj(1, "<< /Linearized 1 /N 7 /Type /Pages /Parent 2 0 R >>")).PageCount, 0);
  // An incremental update's later root replaces the first.
  EXPECT_EQ(Probe(kHeader17 + Obj(2, "<< /Type /Pages /Count 2 >>") + "%%EOF\n" + Obj(2, "<< /Type /Pages /Count 5 >>"))
                .PageCount,
            5);

  // A count that does not fit in 32 bits is passed over; the scan goes on.
  const std::string huge = Obj(2, "<< /Type /Pages /Count 2147483648 >>");
  EXPECT_EQ(Probe(kHeader17 + Obj(3, "<< /Type /Pages /Count 6 >>") + huge).PageCount, 6);
  EXPECT_EQ(Probe(kHeader17 + huge + Obj(3, "<< /Type /Pages /Count 2147483647 >>")).PageCount, 2147483647);
  EXPECT_EQ(Probe(kHeader17 + Obj(1, "<< /Linearized 1 /N 99999999999999999999 >>")).PageCount, 0);
  EXPECT_EQ(Probe(kHeader17 + Obj(3, "<< /Type /Pages /Count 0000000000012 >>")).PageCount, 12);
}

TEST(PdfProbeTest, SegmentsBetweenNulBytes) {
  const std::string junkFirst = std::string("JUNK", 4) + '\0' + "%PDF-1.4\n" + Obj(2, "<< /Type /Pages /Count 2 >>");
  // With page counts off only the first non-empty segment is searched.
  EXPECT_EQ(Probe(junkFirst, false).Version, "");
  const TPdfFacts both = Probe(junkFirst, true);
  EXPECT_EQ(both.Version, "1.4");
  EXPECT_EQ(both.PageCount, 2);
  // Empty segments are skipped, so leading NULs do not hide the header.
  EXPECT_EQ(Probe(std::string(3, '\0') + "%PDF-1.3\n", false).Version, "1.3");
  // The first header found stands.
  EXPECT_EQ(Probe(std::string("%PDF-1.5\n") + '\0' + "%PDF-1.6\n").Version, "1.5");
  const TPdfFacts none = Probe("");
  EXPECT_EQ(none.Version, "");
  EXPECT_EQ(none.PageCount, 0);
}

TEST(PdfProbeTest, FilesByExtensionAndFilesThatCannotBeRead) {
  test::TTempDir dir;
  const std::string pdf = kHeader17 + Obj(2, "<< /Type /Pages /Count 8 >>");
  TPdfFacts facts;
  ProbePdf("PDF", dir.WriteFile("A.PDF", pdf), true, facts);
  EXPECT_EQ(facts.Version, "1.7");
  EXPECT_EQ(facts.PageCount, 8);

  facts = {};
  ProbePdf("bak", dir.WriteFile("a.pdf.bak", pdf), true, facts);
  EXPECT_EQ(facts.Version, "");
  EXPECT_EQ(facts.PageCount, 0);

  facts = {};
  ProbePdf("pdf", dir.WriteFile("empty.pdf", ""), true, facts);
  EXPECT_EQ(facts.Version, "");
  EXPECT_EQ(facts.PageCount, 0);

  // Missing, a directory, a FIFO (which must not block), and no read permission.
  const std::string fifo = dir / "pipe.pdf";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string locked = dir.WriteFile("locked.pdf", pdf);
  chmod(locked.c_str(), 0);
  for (const std::string& path : {dir / "missing.pdf", dir.MakeDir("folder.pdf"), fifo, locked}) {
    if (path == locked && geteuid() == 0) continue;  // root reads it all the same
    facts = {};
    EXPECT_FALSE(ReadPdfFacts(path, "pdf", true, true, facts)) << path;
    EXPECT_EQ(facts.Version, "") << path;
    EXPECT_EQ(facts.PageCount, 0) << path;
  }

  // The builder's step probes only when one of the two options is on, from empty facts.
  const std::string file = dir.WriteFile("b.pdf", pdf);
  facts = {"9.9", 99};
  EXPECT_FALSE(ReadPdfFacts(file, "pdf", false, false, facts));
  EXPECT_EQ(facts.Version, "");
  EXPECT_EQ(facts.PageCount, 0);
  EXPECT_TRUE(ReadPdfFacts(file, "pdf", true, false, facts));
  EXPECT_EQ(facts.Version, "1.7");
  EXPECT_EQ(facts.PageCount, 0);
  EXPECT_TRUE(ReadPdfFacts(file, "Pdf", false, true, facts));
  EXPECT_EQ(facts.PageCount, 8);
}

TEST(PdfProbeTest, PageTreeInsideObjectStreams) {
  const std::vector<std::string> objects = {"<</Type/Catalog/Pages 11 0 R>>", "<</Type/Pages/Kids[12 0 R]/Count 21>>",
                                            "<</Type/Pages/Parent 11 0 R/Kids[13 0 R]/Count 4>>"};
  const std::string compact = kHeader17 + ObjectStream(5, objects, "/Type/ObjStm/Filter/FlateDecode");
  EXPECT_EQ(Probe(compact).PageCount, 21);
  EXPECT_EQ(Probe(compact, false).PageCount, 0);
  EXPECT_EQ(Probe(kHeader17 + ObjectStream(5, objects, " /Type\n/ObjStm /Filter [ /FlateDecode ] ")).PageCount, 21);
  // Without a direct /Length the stream still ends where zlib says it does.
  EXPECT_EQ(Probe(kHeader17 + ObjectStream(5, objects, "/Type /ObjStm /Filter /FlateDecode", false)).PageCount, 21);
  // The root last in the stream.
  EXPECT_EQ(Probe(kHeader17 + ObjectStream(5, {objects[0], objects[1]}, "/Type/ObjStm/Filter/FlateDecode")).PageCount,
            21);

  // Only FlateDecode object streams, only in a file with a header, and only when the
  // byte scan found no count.
  EXPECT_EQ(Probe(kHeader17 + ObjectStream(5, objects, "/Type/ObjStm/Filter/LZWDecode")).PageCount, 0);
  EXPECT_EQ(Probe(kHeader17 + ObjectStream(5, objects, "/Type/XRef/Filter/FlateDecode")).PageCount, 0);
  EXPECT_EQ(Probe("%PDX\n" + ObjectStream(5, objects, "/Type/ObjStm/Filter/FlateDecode")).PageCount, 0);
  EXPECT_EQ(Probe(compact + Obj(2, "<< /Type /Pages /Count 3 >>")).PageCount, 3);

  // A damaged stream: bytes zlib rejects, a cut-off stream, offsets out of order.
  std::string corrupt = compact;
  const std::size_t body = corrupt.find("stream\n") + 7;
  for (std::size_t i = body + 2; i < body + 12; ++i) corrupt[i] = static_cast<char>(corrupt[i] ^ 0x5A);
  EXPECT_EQ(Probe(corrupt).PageCount, 0);
  EXPECT_EQ(Probe(compact.substr(0, body + 10)).PageCount, 0);
  const std::string table = "10 40 11 0 ";
  const std::string disordered = kHeader17 + "5 0 obj\n<</Type/ObjStm/Filter/FlateDecode/N 2/First " +
                                 std::to_string(table.size()) + ">>\nstream\n" +
                                 Deflate(table + std::string(40, ' ') + "<</Type/Pages/Count 21>>") + "\nendstream";
  EXPECT_EQ(Probe(disordered).PageCount, 0);
}

TEST(PdfProbeTest, TruncatedFilesNeverFault) {
  // Every prefix of two files: the sanitizers watch for reads past the data, and a count
  // is one the file holds or, for a root cut inside its number, that number's first digit.
  const std::string plain =
      kHeader17 + Obj(1, "<< /Linearized 1 /N 7 >>") + Obj(2, "<< /Type /Pages /Count 12 >>");
  for (std::size_t size = 0; size <= plain.size(); ++size) {
    const int count = Probe(plain.substr(0, size)).PageCount;
    EXPECT_TRUE(count == 0 || count == 7 || count == 1 || count == 12) << size << ": " << count;
  }
  EXPECT_EQ(Probe(plain).PageCount, 12);
  // A stream cut short gives nothing for its last object, never a cut-off count.
  const std::string packed =
      kHeader17 + ObjectStream(5, {"<</Type/Pages/Count 21>>"}, "/Type/ObjStm/Filter/FlateDecode", false);
  for (std::size_t size = 0; size <= packed.size(); ++size) {
    const int count = Probe(packed.substr(0, size)).PageCount;
    EXPECT_TRUE(count == 0 || count == 21) << size << ": " << count;
  }
  EXPECT_EQ(Probe(packed).PageCount, 21);
}

}  // namespace
}  // namespace orv
