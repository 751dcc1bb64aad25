#pragma once

// Flags shared by the whole program for the length of a run.
namespace MDI_Module {
// True while content changes of a document count as the user's edits.
extern bool TrackEdits;
// Whether the pictograph list could be opened at start-up.
extern bool PictographListFound;
// The settings as read at start-up; not updated while the program runs.
extern bool OptTagColor;
extern bool OptRealtimePreview;
extern bool OptWidth8;
} // namespace MDI_Module
