// Every record a read-back document holds, as text, for comparing two
// readings, and the block sizes a document is read in for them.
#pragma once

#include "verify/DocumentReader.h"
#include "verify/DocumentRecords.h"

#include <sstream>
#include <string>
#include <vector>

namespace vialto::test {

// Blocks of one byte (every tag and number split between blocks), of a prime
// size that lands anywhere, and the default.
inline const std::vector<std::size_t> kBlocks = {1, 97, kReadBackBlockBytes};

inline std::string Dump(const ReadBackDocument &doc) {
    std::ostringstream out;
    out.precision(17);
    out << doc.LinearUnit << " " << doc.Extended << "\n";
    for (const DocAlignment &a : doc.Alignments) {
        out << "A " << a.Name << " " << a.Length << " " << a.StaStart << " " << a.SourceLine
            << "\n";
        for (const DocElement &e : a.Elements)
            out << " E " << int(e.Kind) << " " << e.SourceLine << " " << e.StaStart << " "
                << e.Length << " " << e.Start.X << " " << e.Start.Y << " " << e.End.X << " "
                << e.End.Y << " " << e.Center.X << " " << e.PI.Y << " " << e.Clockwise << " "
                << e.Radius << " " << e.RadiusStart << " " << e.RadiusEnd << " " << e.Constant
                << " " << int(e.SpiralType) << " " << e.Desc << "\n";
        for (const DocStaEquation &q : a.StaEquations)
            out << " Q " << q.Ahead << " " << q.Back << " " << q.Internal << "\n";
        for (const DocProfAlign &p : a.Profile) {
            out << " P " << p.Name << "\n";
            for (const DocPvi &v : p.Points)
                out << "  V " << v.Station << " " << v.Elevation << " " << int(v.Curve) << " "
                    << v.CurveLength << " " << v.CurveRadius << " " << v.SourceLine << "\n";
        }
        for (const DocCrossSect &c : a.CrossSects) {
            out << " C " << c.Station << " " << c.Name << " " << c.SourceLine << "\n";
            for (const DocSurface &s : c.Surfaces) {
                out << "  S " << s.Name << " [" << s.VertexNameList << "]";
                for (const DocSectionPoint &p : s.Points)
                    out << " " << p.Offset << " " << p.Height;
                out << "\n";
            }
        }
        for (const double t : a.TunnelProfileStations)
            out << " T " << t << "\n";
    }
    for (const DocStringlineLayer &l : doc.StringlineLayers) {
        out << "L " << l.Name << " " << l.CentreLine << " " << l.Sorted;
        for (const std::string &s : l.Stringlines)
            out << " " << s;
        out << " /";
        for (const std::string &s : l.Excluded)
            out << " " << s;
        out << "\n";
    }
    return out.str();
}

} // namespace vialto::test
