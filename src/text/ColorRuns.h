#pragma once

#include "text/RichImage.h"

#include <QList>
#include <optional>

// The colours of a text as runs sorted by start, never overlapping; a character without a run
// has the default colour. Like Cp932::followEdit for the byte forms, the runs follow edits of
// the text.
namespace ColorRuns {

using Runs = QList<ColorRun>;

// The first run that ends after position.
Runs::const_iterator after(const Runs &runs, int position);

// The colour of the character at position; none for the default colour.
std::optional<quint32> colorAt(const Runs &runs, int position);

// The parts of the runs over [from, to), their starts counted from from.
Runs within(const Runs &runs, int from, int to);

// Colours [from, to) in color, or in the default colour (no run) when none. Neighbours of one
// colour become one run, so that images stay canonical.
void paint(Runs &runs, int from, int to, std::optional<quint32> color);

// Appends a run given in order, cut to a text of size characters; one that is empty there or
// overlaps the last run is passed over.
void append(Runs &runs, const ColorRun &run, int size);

// The runs follow an edit of the text: removed characters take their colour with them, inserted
// ones take the colour of the character before them (typing inside a run, or right behind it,
// continues it).
void followEdit(Runs &runs, int position, int removed, int added);

} // namespace ColorRuns
