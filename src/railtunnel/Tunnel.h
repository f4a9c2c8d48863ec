// The tunnel profile set written by the tunnel profile editor. clsTunnel loads
// the file, checks that it is one, keeps the chainages at which profiles are
// defined, and writes the file's root element, as one line, into the output
// document. Chainages are taken as the file gives them (no unit conversion).
#pragma once

#include "model/AlignmentStore.h"
#include "shell/Text.h"

#include <memory>
#include <string>
#include <vector>

namespace vialto {

class clsTunnel {
  public:
    // Reads and checks the file. On a failure (reported through the error
    // handler with the source "clsTunnel.Load": 10011 not a tunnel profile
    // file, malformed XML, a document type or an entity reference, too
    // large, or a profile without "sta"; 10002 no profiles; 53 file not found)
    // returns false and leaves the set as it was; the error's description
    // names the file and what is wrong where.
    bool Load(const std::string &fileName);

    // Lowest and highest profile chainage; run-time error 9 when there are none.
    double GetChainageStart() const;
    double GetChainageEnd() const;
    // The profile chainages, ascending.
    std::vector<double> GetChainages() const { return chainages_; }

    // The root element of the file, and any comment or instruction after it,
    // as one well-formed UTF-8 line without the XML declaration. Only the line
    // breaks and indentation between tags are left out.
    const std::string &Text() const { return text_; }

    // Writes Text into the open document at the current place and gives the
    // first and last profile chainage. The whole set is written; the range
    // arguments are not used.
    bool ExportToLandXml(double &rChainageStart, double &rChainageEnd, double dChStart = kNullValue,
                         double dChEnd = kNullValue) const;

  private:
    std::vector<double> chainages_;
    std::string text_;
};

// The tunnel profile set of an alignment slot, shared with the store (error
// 20000 "There are not tunnel aligment to return" when the slot has none).
std::shared_ptr<clsTunnel> GetAligmentTnl(SlotNumber slot);
void SetAligmentTnl(SlotNumber slot, std::shared_ptr<clsTunnel> tunnel);

} // namespace vialto
