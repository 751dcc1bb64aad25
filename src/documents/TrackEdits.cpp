#include "documents/TrackEdits.h"

namespace MDI_Module {
bool TrackEdits = true;
} // namespace MDI_Module
