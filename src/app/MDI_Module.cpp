#include "app/MDI_Module.h"

namespace MDI_Module {
bool PictographListFound = false;
bool OptTagColor = true;
bool OptRealtimePreview = true;
bool OptWidth8 = false;
} // namespace MDI_Module
