#pragma once

#include "documents/TrackEdits.h"

// Flags shared by the whole program for the length of a run.
namespace MDI_Module {
// Whether the pictograph list could be opened at start-up.
extern bool PictographListFound;
// The settings as read at start-up; not updated while the program runs.
extern bool OptTagColor;
extern bool OptRealtimePreview;
extern bool OptWidth8;
} // namespace MDI_Module
