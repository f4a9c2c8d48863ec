// The tunnel profile editor's kind of file: a <TunnelProfiles> root whose
// <TunnelProfile> elements carry their chainage in "sta" (metres, as given)
// and an optional name; the layers and points inside each profile are kept as
// they are and copied with a profile that is added after it.
#pragma once

#include "editors/EditorKind.h"

namespace vialto::editors {

EditorKind TunnelKind();

// The columns of the profile table.
enum TunnelColumn : std::size_t { tunnelChainage = 0, tunnelName = 1, tunnelContent = 2 };

} // namespace vialto::editors
