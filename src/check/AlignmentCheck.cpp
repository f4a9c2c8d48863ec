// The continuity checks of imported alignments and the check report.
#include "check/AlignmentCheck.h"

#include "geometry/HzGeometry.h"
#include "geometry/VtGeometry.h"
#include "railtunnel/Superelevation.h"
#include "railtunnel/Tunnel.h"
#include "shell/AppModel.h"
#include "shell/ErrHandler.h"
#include "shell/Error.h"

#include <cmath>

namespace vialto {
namespace {

// The text of a finding of a zero-length transition; the system's own text.
constexpr const char *kInvalidLength = "Invalid element lenght";

// Width of a column of the report text, in characters.
constexpr std::size_t kColumnWidth = 14;

// Runs a check: a failure inside it is logged (not shown: the check's result
// and the report speak to the user) and noted in the current group, so that
// a check that could not finish never counts as passed. False on failure.
template <class Body> bool RunCheck(std::string_view source, Body &&body) {
    try {
        Trace(std::string(">> ") + std::string(source));
        body();
        Trace(std::string("<< ") + std::string(source));
        return true;
    } catch (...) {
        const ErrorInfo error = CurrentErrorInfo(source);
        LogError(error);
        CheckReportState &report = CheckReport();
        if (report.Current >= 0 && report.Current < static_cast<int>(report.Groups.size())) {
            CheckGroup &group = report.Groups[static_cast<std::size_t>(report.Current)];
            group.Entries.push_back({kNullValue, kNullValue, kNullValue, kNullValue, kNullValue,
                                     true, error.Source + ": " + error.Description});
            ++group.ErrorCount;
        }
        return false;
    }
}

CheckGroup &CurrentGroup() {
    CheckReportState &report = CheckReport();
    if (report.Current < 0 || report.Current >= static_cast<int>(report.Groups.size()))
        RaiseRuntime(errSubscript, "no check group is open");
    return report.Groups[static_cast<std::size_t>(report.Current)];
}

// The error count of the current group, or -1 when there is none.
long CurrentErrorCount() {
    const CheckReportState &report = CheckReport();
    if (report.Current < 0 || report.Current >= static_cast<int>(report.Groups.size()))
        return -1;
    return report.Groups[static_cast<std::size_t>(report.Current)].ErrorCount;
}

void AddError(double chainage, const std::string &message) {
    AddCheckEntry(chainage, true, kNullValue, kNullValue, kNullValue, kNullValue, message);
}

// The end of element i (1 <= i < n) as the geometry evaluates it.
HzPoint ElementEnd(const HzAlignment &elements, long i) {
    const HzElement &element = elements.at(static_cast<std::size_t>(i));
    const HzElement &next = elements.at(static_cast<std::size_t>(i) + 1);
    if (element.Radius == 0)
        return GetCoordInLine(element, element.Length);
    if (element.Parameter == 0)
        return GetCoordInArc(element, element.Length);
    // Transitions the writers copy verbatim are not evaluated.
    if (element.Kind == 4 || element.Kind == 5)
        return ElementStartPoint(next);
    if (element.Parameter > 0)
        return GetCoordInClothoid(element, element.Length, std::fabs(next.Radius), next.Azimuth);
    const bool fromLine = i == 1 || elements.at(static_cast<std::size_t>(i) - 1).Radius == 0;
    return GetCoordInCubicParabola(std::fabs(element.Parameter), fromLine, element, next);
}

// Number of characters of a UTF-8 text.
std::size_t CharCount(std::string_view text) {
    std::size_t count = 0;
    for (const char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++count;
    return count;
}

// The text followed by blanks up to the column width; a longer text is kept whole.
std::string Pad(const std::string &text) {
    const std::size_t length = CharCount(text);
    return length >= kColumnWidth ? text : text + std::string(kColumnWidth - length, ' ');
}

std::string NumberCell(double value) {
    return Pad(value == kNullValue ? std::string() : FormatDecimals(value, 4));
}

// Chainage range check of tunnel profiles or cant stations.
bool CheckChainagesInVt(std::string_view source, const VtAlignment &elements,
                        const std::vector<double> &chainages, const char *token) {
    const long n = ElementCount(elements);
    // Without a vertical alignment there is nothing to hold the chainages against.
    if (n == 0)
        return false;
    const bool finished = RunCheck(source, [&] {
        const VtElement &last = elements.at(static_cast<std::size_t>(n));
        const double start = elements.at(1).Chainage;
        // A circular curve carries its length as a negative number.
        const double end = last.Chainage + std::fabs(last.Length);
        const std::string message = AppModel().GetToken(token);
        for (const double chainage : chainages)
            if (chainage < start || chainage > end)
                AddError(chainage, message);
    });
    return !finished || CurrentErrorCount() != 0;
}

} // namespace

CheckReportState &CheckReport() {
    static CheckReportState report;
    return report;
}

void ResetCheckReport() {
    CheckReportState &report = CheckReport();
    report.Current = -1;
    report.Groups.assign(1, CheckGroup{});
}

void BeginCheckGroup(const std::string &name, long kind) {
    CheckReportState &report = CheckReport();
    if (report.Current >= 0 || report.Groups.empty())
        report.Groups.emplace_back();
    report.Current = static_cast<int>(report.Groups.size()) - 1;
    CheckGroup &group = report.Groups.back();
    group.Name = name;
    group.Kind = kind;
    group.Entries.clear();
    group.ErrorCount = 0;
}

void AddCheckEntry(double chainage, bool isError, double x, double y, double z, double distance,
                   const std::string &message) {
    CheckGroup &group = CurrentGroup();
    group.Entries.push_back({chainage, x, y, z, distance, isError, message});
    if (isError)
        ++group.ErrorCount;
}

long CheckHzAlignment(const HzAlignment &elements, double tolerance) {
    // A check that fails part way has noted its failure in the group.
    RunCheck("CheckHzAlignment", [&] {
        CurrentGroup();
        const long n = ElementCount(elements);
        for (long i = 1; i <= n; ++i) {
            const HzElement &element = elements[static_cast<std::size_t>(i)];
            if (element.Length == 0 && element.Parameter != 0)
                AddError(element.Chainage, kInvalidLength);
        }
        for (long i = 1; i < n; ++i) {
            const HzElement &element = elements[static_cast<std::size_t>(i)];
            const HzElement &next = elements[static_cast<std::size_t>(i) + 1];
            const HzPoint end = ElementEnd(elements, i);
            if (element.Radius != 0 && element.Parameter == 0) {
                // An arc whose centre falls on its own start cannot be drawn.
                const HzPoint centre =
                    GetArcCenter(ElementStartPoint(element), ElementStartPoint(next),
                                 element.Radius, element.Length);
                if (std::fabs(centre.X - element.X) < 0.0005 &&
                    std::fabs(centre.Y - element.Y) < 0.0005)
                    AddError(next.Chainage, AppModel().GetToken("E_CREATE_ARC"));
            }
            const double dx = end.X - next.X;
            const double dy = end.Y - next.Y;
            const double distance = std::sqrt(dx * dx + dy * dy);
            if (distance > tolerance)
                AddCheckEntry(next.Chainage, true, dx, dy, kNullValue, distance,
                              AppModel().GetToken("E_TOLE_HZ"));
        }
    });
    return CurrentErrorCount();
}

long CheckVtAlignment(const VtAlignment &elements, double tolerance) {
    // A check that fails part way has noted its failure in the group.
    RunCheck("CheckVtAlignment", [&] {
        CurrentGroup();
        const long n = ElementCount(elements);
        for (long i = 1; i < n; ++i) {
            const VtElement &element = elements[static_cast<std::size_t>(i)];
            if (element.Parameter == 0)
                continue; // a straight grade always meets the next point
            const VtElement &next = elements[static_cast<std::size_t>(i) + 1];
            const double difference =
                std::fabs(GetHeightInVtElement(element, element.Length) - next.Height);
            if (difference > tolerance)
                AddCheckEntry(next.Chainage, true, kNullValue, kNullValue, difference, kNullValue,
                              AppModel().GetToken("E_TOLE_VT"));
        }
    });
    return CurrentErrorCount();
}

bool CheckTunnelChainages(const VtAlignment &elements, const clsTunnel &tunnel) {
    return CheckChainagesInVt("CheckTunnelChainages", elements, tunnel.GetChainages(),
                              "E_TOLE_TUNNEL");
}

bool CheckSuperelevationChainages(const VtAlignment &elements, const clsSuperelevation &table) {
    return CheckChainagesInVt("CheckSuperelevationChainages", elements, table.GetChainages(),
                              "E_TOLE_SUPERELV");
}

const CheckGroup *FindCheckGroup(const std::string &nodeText, const std::string &nodeKey) {
    const std::string kindKey = nodeKey.size() >= 2 ? nodeKey.substr(nodeKey.size() - 2) : "";
    const auto matches = [&](long kind) {
        if (kindKey == "Hz")
            return kind == checkHz;
        if (kindKey == "Vt")
            return kind == checkVt;
        if (kindKey == "Cr")
            return kind == checkTunnel || kind == checkCrossSection || kind == checkCant;
        return false;
    };
    for (const CheckGroup &candidate : CheckReport().Groups)
        if (candidate.Name == nodeText && matches(candidate.Kind))
            return &candidate;
    return nullptr;
}

std::string GetCheckReportText(const std::string &nodeText, const std::string &nodeKey) {
    const CheckGroup *group = FindCheckGroup(nodeText, nodeKey);
    if (!group)
        return {};
    const clsAppModel &app = AppModel();
    if (group->ErrorCount == 0)
        return app.GetToken("E_EMPTYFILE");

    std::vector<std::string> titles;
    std::vector<double CheckEntry::*> columns;
    switch (group->Kind) {
    case checkHz:
        titles = {"E_X", "E_Y"};
        columns = {&CheckEntry::Chainage, &CheckEntry::X, &CheckEntry::Y};
        break;
    case checkVt:
        titles = {"E_Z"};
        columns = {&CheckEntry::Chainage, &CheckEntry::Z};
        break;
    case checkTunnel:
    case checkCant:
        columns = {&CheckEntry::Chainage};
        break;
    default:
        return {};
    }
    std::string text = Pad(app.GetToken("E_CH"));
    for (const std::string &title : titles)
        text += "\t" + Pad(Trim(app.GetToken(title)));
    text += "\t" + Pad(Trim(app.GetToken("E_DESCRIPTION"))) + "\r\n";
    for (const CheckEntry &entry : group->Entries) {
        for (std::size_t c = 0; c < columns.size(); ++c)
            text += (c == 0 ? "" : "\t") + NumberCell(entry.*columns[c]);
        text += "\t" + entry.Message + "\r\n";
    }
    return text;
}

} // namespace vialto
