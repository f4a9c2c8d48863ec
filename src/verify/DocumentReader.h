// The reader of the LandXML documents this program writes, in both flavours:
// the plain one, and the extended one whose stringline names and layers stand
// in the extended root at the end of the document. It reads what the proof
// and the preview need into the plain records of DocumentRecords.h and
// evaluates nothing (see DocumentGeometry.h for that). The cross sections
// and the profiles, the bulk of a road's or a track's document, are cut out
// of the text as it is read and parsed on all cores, a block at a time.
//
// Like pugixml's own parse result, a failure is a value: the reader says what
// is wrong and where (the line of the document), and never throws.
#pragma once

#include "shell/WorkSplit.h"
#include "verify/DocumentRecords.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace vialto {

// Documents larger than this are refused before they are read (a 100 km road
// with 10,000 cross sections is about 26 MB).
inline constexpr std::uintmax_t kMaxReadBackBytes = 1024u * 1024u * 1024u;

// The document is read a block at a time; the cross sections read from a
// block are handed over before the next is read, so memory grows with the
// block and the largest cross section, not with the document.
inline constexpr std::size_t kReadBackBlockBytes = 256u * 1024u;

// The threads worth reading and proving a document of `documentBytes` with:
// one for a document of two blocks or less, where a thread would cost more
// than it saves; else the cores.
inline std::size_t ReadBackParts(std::uintmax_t documentBytes, std::size_t blockBytes) {
    return documentBytes <= 2 * std::uintmax_t{blockBytes} ? 1 : WorkParts();
}

// Takes the cross sections of the document's alignments as they are read.
class CrossSectReceiver {
  public:
    virtual ~CrossSectReceiver() = default;
    // Consecutive cross sections of alignment `alignment` (0-based, in
    // document order), sects[0] being its cross section number `first`
    // (0-based). Called on the reading thread, in document order; the records
    // are lent for the call and may be moved from.
    virtual void Receive(std::size_t alignment, std::size_t first,
                         std::span<DocCrossSect> sects) = 0;
};

// How the cross sections are read.
struct CrossSectReading {
    std::size_t BlockBytes = kReadBackBlockBytes;
    // Read each cross section's name and its surfaces' stringline names (the
    // preview draws them; the proof compares none).
    bool Names = true;
};

// Reads the document at path. False, with `failure` saying what and where,
// when the file cannot be read, is larger than kMaxReadBackBytes, is not
// well-formed XML, has no LandXML root, or misses or misspells what the
// elements this program writes always carry (a figure point, a number, rot,
// spiType).
bool ReadLandXmlDocument(const std::filesystem::path &path, ReadBackDocument &document,
                         std::string &failure, std::size_t blockBytes = kReadBackBlockBytes);

// The same from the document's text (used up by the reading).
bool ParseLandXmlDocument(std::string &text, ReadBackDocument &document, std::string &failure,
                          std::size_t blockBytes = kReadBackBlockBytes);

// Reads the document at path as ReadLandXmlDocument does, but hands the
// cross sections of its alignments to `receiver` instead of keeping them:
// `document` holds everything else. The receiver may have been given cross
// sections of a document that fails later on.
bool ReadLandXmlDocumentParts(const std::filesystem::path &path, ReadBackDocument &document,
                              CrossSectReceiver &receiver, const CrossSectReading &how,
                              std::string &failure);

} // namespace vialto
