#pragma once

namespace MDI_Module {
// True while content changes of a document count as the user's edits.
extern bool TrackEdits;
} // namespace MDI_Module

// Stops edit tracking while a routine changes a document itself; what was there comes back
// when the guard ends, also when a step throws.
class EditTrackingPause
{
public:
    EditTrackingPause() : m_was(MDI_Module::TrackEdits) { MDI_Module::TrackEdits = false; }
    ~EditTrackingPause() { MDI_Module::TrackEdits = m_was; }
    EditTrackingPause(const EditTrackingPause &) = delete;
    EditTrackingPause &operator=(const EditTrackingPause &) = delete;

private:
    bool m_was;
};
