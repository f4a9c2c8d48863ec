// The cant editor's kind of file: a <Cant> root with the track's gauge and
// superelevation base (metres) and how the rails turn, and <CantStation>
// elements with the chainage (metres) and the applied cant (millimetres),
// either one cant with its rotation point or a cant for each rail; the form is
// the one of the file's first station. Saving writes the current format
// version, in the version comment and the root's "version".
#pragma once

#include "editors/EditorKind.h"

namespace vialto::editors {

// The format version written on every save.
inline constexpr const char *kCantFormatVersion = "1.2.0";

// The header fields and columns, in order.
enum CantHeaderField : std::size_t {
    cantName = 0,
    cantGauge,
    cantBase,
    cantRotation,
    cantCoPlane,
    cantStationType,
    cantWidthExcessType,
    cantVersion,
};
enum CantColumn : std::size_t {
    cantStation = 0,
    cantApplied = 1,     // the cant, or the left rail's in the two-rail form
    cantRotationOrRight, // the station's rotation point, or the right rail's cant
    cantInterpolation,
    cantWidthExcess,
};

// doubleTrack: the table of one track of a double track, which may share its
// plane with the other track (the co-planar flag is editable only then).
EditorKind CantKind(bool doubleTrack);

} // namespace vialto::editors
