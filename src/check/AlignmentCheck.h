// The alignment checks run after each import: horizontal elements that end
// where the next starts, vertical curves that reach the next point's height,
// tunnel profile and cant station chainages that lie on the vertical
// alignment. Findings go to the check report, one group per checked item,
// which the importing page shows.
//
// Distances and tolerances are in the listings' unit.
#pragma once

#include "model/Records.h"
#include "shell/Text.h"

#include <string>
#include <vector>

namespace vialto {

class clsSuperelevation;
class clsTunnel;

// What a check group is about.
enum CheckKind : long {
    checkHz = 1,
    checkVt = 2,
    checkTunnel = 3,
    checkCrossSection = 4,
    checkCant = 5,
};

// One finding. A number that does not apply holds kNullValue.
struct CheckEntry {
    double Chainage = kNullValue;
    double X = kNullValue;
    double Y = kNullValue;
    double Z = kNullValue;
    double Distance = kNullValue;
    bool IsError = false;
    std::string Message; // looked up in the language file when the entry is made
};

struct CheckGroup {
    long Kind = 0;
    std::string Name; // the item under test
    std::vector<CheckEntry> Entries;
    long ErrorCount = 0;
};

// The process-wide check report: its groups and the current group's index
// (-1 when no group has been begun).
struct CheckReportState {
    std::vector<CheckGroup> Groups;
    int Current = -1;
};
CheckReportState &CheckReport();

// Empties the report.
void ResetCheckReport();
// Opens a new group that the following checks fill.
void BeginCheckGroup(const std::string &name, long kind);
// Adds an entry to the current group (run-time error 9 when none is open);
// an error entry raises the group's error count.
void AddCheckEntry(double chainage, bool isError, double x, double y, double z, double distance,
                   const std::string &message);

// Each element's end against the next element's start, within the tolerance
// (a gap equal to the tolerance passes). Returns the current group's error
// count: 0 passed. A check that fails part way (an element the geometry cannot
// evaluate) logs the error and adds it to the group as an entry, so it never
// returns 0; with no group open it returns -1.
long CheckHzAlignment(const HzAlignment &elements, double tolerance);
// Each vertical curve's end height against the next point's height.
// Returns as CheckHzAlignment.
long CheckVtAlignment(const VtAlignment &elements, double tolerance);
// Every profile / station chainage within the vertical alignment's range
// (both ends included). True when the current group has errors or the check
// could not be made; false, with nothing checked, when the vertical
// alignment has no elements.
bool CheckTunnelChainages(const VtAlignment &elements, const clsTunnel &tunnel);
bool CheckSuperelevationChainages(const VtAlignment &elements, const clsSuperelevation &table);

// The group of a node of the importing page's tree: the first whose Name is
// nodeText and whose kind matches the key's last two characters ("Hz", "Vt",
// "Cr"); nullptr when there is none.
const CheckGroup *FindCheckGroup(const std::string &nodeText, const std::string &nodeKey);

// The text the importing page shows for a node of its tree: the group whose
// Name is nodeText and whose kind matches the key's last two characters ("Hz",
// "Vt", "Cr"); "" when there is none. Columns padded to 14 characters,
// separated by tabs, lines ending in CR LF.
std::string GetCheckReportText(const std::string &nodeText, const std::string &nodeKey);

} // namespace vialto
