#include "text/ColorRuns.h"

#include <algorithm>

namespace ColorRuns {

Runs::const_iterator after(const Runs &runs, int position)
{
    return std::upper_bound(runs.cbegin(), runs.cend(), position,
                            [](int p, const ColorRun &r) { return p < r.start + r.length; });
}

std::optional<quint32> colorAt(const Runs &runs, int position)
{
    const auto it = after(runs, position);
    if (it != runs.cend() && it->start <= position)
        return it->color;
    return std::nullopt;
}

Runs within(const Runs &runs, int from, int to)
{
    Runs part;
    for (auto it = after(runs, from); it != runs.cend() && it->start < to; ++it) {
        const int start = qMax(from, it->start);
        const int end = qMin(to, it->start + it->length);
        if (end > start)
            part.append({start - from, end - start, it->color});
    }
    return part;
}

void paint(Runs &runs, int from, int to, std::optional<quint32> color)
{
    if (to <= from)
        return;
    const qsizetype first = after(runs, from) - runs.cbegin();
    qsizetype last = first;
    Runs middle;
    if (first < runs.size() && runs.at(first).start < from)
        middle.append({runs.at(first).start, from - runs.at(first).start, runs.at(first).color});
    if (color)
        middle.append({from, to - from, *color});
    for (; last < runs.size() && runs.at(last).start < to; ++last) {
        const ColorRun &r = runs.at(last);
        if (r.start + r.length > to)
            middle.append({to, r.start + r.length - to, r.color});
    }
    qsizetype from_i = first, to_i = last;
    if (from_i > 0)
        middle.prepend(runs.at(--from_i));
    if (to_i < runs.size())
        middle.append(runs.at(to_i++));
    Runs merged;
    for (const ColorRun &r : middle) {
        if (!merged.isEmpty() && merged.last().color == r.color &&
            merged.last().start + merged.last().length == r.start)
            merged.last().length += r.length;
        else
            merged.append(r);
    }
    runs.remove(from_i, to_i - from_i);
    for (qsizetype k = 0; k < merged.size(); ++k)
        runs.insert(from_i + k, merged.at(k));
}

void append(Runs &runs, const ColorRun &run, int size)
{
    const int from = qBound(0, run.start, size);
    const int to = qBound(from, run.start + run.length, size);
    if (to > from && (runs.isEmpty() || from >= runs.last().start + runs.last().length))
        runs.append({from, to - from, run.color});
}

void followEdit(Runs &runs, int position, int removed, int added)
{
    const int end = position + removed;
    const qsizetype firstRun = after(runs, position - 1) - runs.cbegin();
    qsizetype w = firstRun;
    for (qsizetype r = firstRun; r < runs.size(); ++r) {
        ColorRun run = runs.at(r);
        const int runEnd = run.start + run.length;
        if (run.start >= end) {
            run.start += added - removed;
        } else if (run.start < position) {
            run.length = (qMin(runEnd, position) - run.start) + added + qMax(0, runEnd - end);
        } else {
            run.length = qMax(0, runEnd - end);
            run.start = position + added;
        }
        if (run.length > 0)
            runs[w++] = run;
    }
    runs.resize(w);
}

} // namespace ColorRuns
