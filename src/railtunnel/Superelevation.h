// The cant (superelevation) table of a railway track, as written by the cant
// editor: for stations along the track the applied cant, how it runs on to
// the next station, and the point of the track about which the rails turn.
// clsSuperelevation reads such a file and answers questions about it; the
// rail computation (the members marked below, in the Rail*.cpp files) builds
// the two rails from it.
//
// Units: the file gives lengths in metres and cant values in millimetres;
// Import converts both to the job's linear unit, so every length kept here is
// in that unit. Slopes are radians: in the left/right form positive when the
// left rail is the higher; in the single-cant form the cant's own sign (the
// turn of the curve decides which rail is raised).
#pragma once

#include "model/AlignmentStore.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vialto {

class HzAlignmentIndex;

// Linear unit codes: 1 mm, 2 cm, 3 m, 4 km, 5 international foot, 6 US survey
// foot, 7 inch, 8 mile.
enum LinearUnit : int {
    unitMillimetre = 1,
    unitCentimetre = 2,
    unitMetre = 3,
    unitKilometre = 4,
    unitFoot = 5,
    unitUsSurveyFoot = 6,
    unitInch = 7,
    unitMile = 8,
};

// The number of `to` units in one `from` unit; 1 when the two are equal or
// either is 0. A code outside 0..8 raises run-time error 9.
double LinearUnitFactor(int from, int to);

// About which point of the track the rails are turned ("rotationPoint").
// 0 is the left/right form, where each rail has its own cant.
enum CantRotation : std::int32_t {
    rotLeftRightForm = 0,
    rotInsideRail = 1,
    rotOutsideRail = 2,
    rotCenter = 3,
    rotLeftRail = 4,
    rotRightRail = 5,
};

// What the stations' chainages are measured along ("stationType").
enum CantStationType : std::int32_t {
    stationCentreline = 0,         // the track's own alignment
    stationChainageCentreline = 1, // the centre line: move them onto the track
};

// How the cant runs from a station to the next ("cantInterpolation").
enum CantInterpolationKind : std::int32_t {
    interpLinear = 0,
    interpCubic = 1,        // zero slope at both stations
    interpReverseCurve = 2, // two equal arcs, level at both stations
};

// Which rail takes the gauge widening ("widthExcessType").
enum CantWidthExcessType : std::int32_t {
    widthHighestRail = 0,
    widthLowestRail = 1,
    widthHalfToBothRails = 2,
};

// What the centre line's profile of a co-planar double track gives the height
// of (the rails page's vertical option).
enum RailVtOption : int {
    railVtAxis = 0, // the track axis on the platform, between the tracks
    railVtLow = 1,  // the lower rail of the shared plane
    railVtHigh = 2, // the higher rail of the shared plane
};

// Which rail is held at the profile height.
enum LowerRailCode : std::int32_t {
    lowerRailNone = 1, // level track
    lowerRailLeft = 2,
    lowerRailRight = 3,
};

// The attribute texts, compared exactly; any other text gives the first value.
CantRotation ParseRotationPoint(std::string_view text);
CantStationType ParseStationType(std::string_view text);
CantInterpolationKind ParseCantInterpolation(std::string_view text);
CantWidthExcessType ParseWidthExcessType(std::string_view text);

// One station of the table. Lengths in the job's unit.
struct CantStation {
    double Station = 0;          // chainage
    double AppliedCant = 0;      // single-cant form
    double AppliedCantLeft = 0;  // left/right form: height of the left rail over the profile
    double AppliedCantRight = 0; // left/right form: height of the right rail
    double WidthExcess = 0;      // gauge widening; 0 when absent
    CantRotation RotationPoint = rotLeftRightForm;
    CantInterpolationKind CantInterpolation = interpLinear; // towards the next station
};

// Everything a table holds, in the job's unit.
struct CantTableData {
    double Gauge = 0;
    double SuperelevationBase = 0; // the distance over which cant is measured
    CantRotation RotationPoint = rotLeftRightForm;
    bool IsCoplaneTrack = false;
    CantStationType StationType = stationCentreline;
    CantWidthExcessType WidthExcessType = widthHighestRail;
    std::string Version;
    std::vector<CantStation> Stations; // 0-based, in file order
};

class clsSuperelevation {
  public:
    clsSuperelevation() = default;
    explicit clsSuperelevation(CantTableData data)
        : data_(std::move(data)), stationsAscend_(StationsAscend(data_.Stations)) {}

    // Reads the cant table file, converting its lengths to linearUnit. On a
    // failure (reported through the error handler with the source
    // "ImportSuperelevationTable": 10003 a file that cannot be read or is not
    // well-formed XML, 20001 no version comment as the second node, 20002 a
    // version the reader does not know, 10011 not a cant table or a required
    // attribute missing, 10002 no stations) returns false and leaves the
    // table as it was; the error's description says what is wrong and
    // where. A document type declaration is refused: as the second node
    // with 20001, anywhere else as not well-formed (10003); entities are
    // never expanded.
    bool Import(const std::string &fileName, int linearUnit);

    // First and last station; run-time error 9 when the table is empty.
    double GetChainageStart() const;
    double GetChainageEnd() const;
    // The stations' chainages, in table order.
    std::vector<double> GetChainages() const;

    bool IsCoplaneTrack() const { return data_.IsCoplaneTrack; }
    void IsCoplaneTrack(bool value) { data_.IsCoplaneTrack = value; }
    CantStationType StationType() const { return data_.StationType; }
    const std::string &Version() const { return data_.Version; }
    double Gauge() const { return data_.Gauge; }
    double SuperelevationBase() const { return data_.SuperelevationBase; }
    CantWidthExcessType WidthExcessType() const { return data_.WidthExcessType; }
    const std::vector<CantStation> &Stations() const { return data_.Stations; }

    // The cross slope at the chainage, radians: 0 before the first station, the
    // last station's beyond the last. A cant larger than the superelevation
    // base raises run-time error 5; a base of 0 raises 11.
    double GetSlopeInChainage(double chainage) const;

    // The index of the station at or before the chainage: -1 before the
    // first station, the last index at or beyond the last station.
    long FindStation(double chainage) const;

    // The cant at x between (x0, y0) and (x1, y1) by the interpolation kind.
    static double InterpolateCant(double x, double x0, double x1, double y0, double y1,
                                  CantInterpolationKind kind);

    // --- The rail computation (implemented in the Rail*.cpp files). ---

    // The lower rail (LowerRailCode) at the chainage of alignment slot n, from
    // the table and the turn of the horizontal element there.
    std::int32_t GetLowerRailFromCanTable(SlotNumber nAligment, double dCh) const;
    // As above; on a level station it asks the nearer neighbouring station.
    std::int32_t GetLowerRailSmart(SlotNumber nAligment, double dCh) const;
    // Re-expresses every station on another alignment; stations that cannot
    // be projected are dropped. False on failure.
    bool ProjectChainagesFromAlgimentToAligment(SlotNumber nAligmentFrom, SlotNumber nAligmentTo);
    // Height correction of a track (2 left, 3 right) of a co-planar double
    // track; with the mode flag on (the profile is the centre line's),
    // verticalOption (RailVtOption) says which height that profile gives.
    // The lower and higher rail options project the track onto the other one:
    // a walk that corrects many samples passes both tracks' alignments
    // prepared (the track's, the other's); without them the store's are used.
    bool CalcHeightVtAligmentCoplane(std::uint8_t track, double chainage, double offset,
                                     double &height, bool modeFlag, int verticalOption,
                                     const HzAlignmentIndex *trackAlignment = nullptr,
                                     const HzAlignmentIndex *otherAlignment = nullptr) const;
    // The left and right rail at a chainage: offsets (left negative) and heights.
    // The heights stand on the slot's profile; a slot without one takes them
    // from its stringline of that name (the one chosen for the track), and
    // from height 0 when it has none.
    bool ComputeRails(SlotNumber slot, double chainage, double &leftOffset, double &rightOffset,
                      double &leftHeight, double &rightHeight, const std::string &stringline) const;
    // Writes the rails as cross sections; trackSelector 1 single, 2 left, 3
    // right track; from/to may be kNullValue (no limit); stringline as for
    // ComputeRails.
    bool ExportToLandXml(double &firstChainage, double &lastChainage, const std::string &name,
                         std::uint8_t trackSelector, double from, double to,
                         const std::string &stringline) const;

  private:
    // True when no station is NaN and none lies before the one above it: then
    // FindStation may bisect. Found again whenever the stations change.
    static bool StationsAscend(const std::vector<CantStation> &stations);

    CantTableData data_;
    bool stationsAscend_ = true;
};

// The cant table of an alignment slot, shared with the store (error 20000
// "There are not Sup aligment to return" when the slot has none).
std::shared_ptr<clsSuperelevation> GetAligmentSup(SlotNumber slot);
void SetAligmentSup(SlotNumber slot, std::shared_ptr<clsSuperelevation> table);

} // namespace vialto
