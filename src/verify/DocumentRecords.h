// The plain records of a LandXML document as the reader found it: alignments
// with their coordinate geometry as written (figure points and attributes, not
// yet evaluated), profiles as PVI lists, cross sections with their points and
// stringline names, and the stringline layers. They hold what the document
// says, so that the proof can compare it with what was imported and the
// preview can draw it.
//
// Units: the document's own linear unit throughout. Points are plane
// coordinates with X the easting and Y the northing (the document writes
// "northing easting"). Offsets across a cross section are positive to the
// right; radii are positive (the turn is in Clockwise); 0 stands for an
// infinite radius ("INF").
#pragma once

#include "shell/Text.h" // kNullValue

#include <cstdint>
#include <string>
#include <vector>

namespace vialto {

struct DocPoint {
    double X = 0; // easting
    double Y = 0; // northing
};

enum class DocElementKind : std::uint8_t { Line, Curve, Spiral };
enum class DocSpiralType : std::uint8_t { Clothoid, Cubic };

// One Line, Curve or Spiral of a CoordGeom.
struct DocElement {
    DocElementKind Kind = DocElementKind::Line;
    long SourceLine = 0;          // line of the document where the element starts
    double StaStart = kNullValue; // kNullValue when the attribute is absent
    double Length = kNullValue;   // the length attribute; kNullValue when absent
    DocPoint Start;
    DocPoint End;
    DocPoint Center;        // Curve
    DocPoint PI;            // Spiral
    bool Clockwise = true;  // rot="cw"
    double Radius = 0;      // Curve: the radius attribute
    double RadiusStart = 0; // Spiral: 0 = "INF"
    double RadiusEnd = 0;   // Spiral: 0 = "INF"
    double Constant = 0;    // Spiral: the constant attribute, 0 when absent
    DocSpiralType SpiralType = DocSpiralType::Clothoid;
    std::string Desc;
};

enum class DocVerticalCurve : std::uint8_t { None, Parabola, Circle };

// One vertex of a profile: a PVI, or the PVI of a ParaCurve or CircCurve.
struct DocPvi {
    double Station = 0;
    double Elevation = 0;
    DocVerticalCurve Curve = DocVerticalCurve::None;
    double CurveLength = 0; // the length attribute of the curve
    double CurveRadius = 0; // CircCurve: the radius attribute as written (signed)
    long SourceLine = 0;
};

struct DocProfAlign {
    std::string Name;
    std::vector<DocPvi> Points; // in document order
};

struct DocSectionPoint {
    double Offset = 0;
    double Height = 0;
};

// One CrossSectSurf: its points and, where written, the stringline names of
// its points ("SD Vertex Name", in the extended flavour from the side part)
// as the document lists them, separated by ","; DocVertexNames splits them.
struct DocSurface {
    std::string Name;
    std::vector<DocSectionPoint> Points;
    std::string VertexNameList;
};

// The stringline name of each point of the surface, in order.
std::vector<std::string> DocVertexNames(const DocSurface &surface);

struct DocCrossSect {
    double Station = 0;
    std::string Name;
    std::vector<DocSurface> Surfaces;
    long SourceLine = 0;
};

struct DocStaEquation {
    double Ahead = 0;
    double Back = 0;
    double Internal = 0;
};

struct DocAlignment {
    std::string Name;
    double Length = kNullValue;
    double StaStart = kNullValue;
    long SourceLine = 0;
    std::vector<DocElement> Elements;
    std::vector<DocStaEquation> StaEquations;
    std::vector<DocProfAlign> Profile;
    std::vector<DocCrossSect> CrossSects;
    std::vector<double> TunnelProfileStations; // the sta of each TunnelProfile, in file order
};

// One stringline layer ("SD Stringline Layer" or SDStringLineLayer).
struct DocStringlineLayer {
    std::string Name;
    std::vector<std::string> Stringlines; // the inclusion list
    std::string CentreLine;
    bool Sorted = false;
    std::vector<std::string> Excluded;
};

struct ReadBackDocument {
    std::string LinearUnit; // linearUnit of the Units block, "" when absent
    bool Extended = false;  // the document carries the extended root
    std::vector<DocAlignment> Alignments;
    std::vector<DocStringlineLayer> StringlineLayers;
};

} // namespace vialto
