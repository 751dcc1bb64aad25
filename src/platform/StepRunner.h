#pragma once

#include "platform/ZError.h"

#include <exception>
#include <optional>
#include <utility>

// Runs the steps of a handler so that a failing step is skipped and the next one runs,
// keeping the last failure for a report at the end of the handler.
class StepRunner
{
public:
    // Runs one step; returns whether it succeeded.
    template <typename F> bool run(F &&step)
    {
        try {
            std::forward<F>(step)();
            return true;
        } catch (const ZError &e) {
            m_last = e.info();
        } catch (const std::exception &e) {
            m_last = ZErrorInfo{ZErr::InvalidCall, QString::fromLocal8Bit(e.what())};
        }
        return false;
    }

    bool failed() const { return m_last.has_value(); }
    const std::optional<ZErrorInfo> &lastError() const { return m_last; }
    void clear() { m_last.reset(); }

private:
    std::optional<ZErrorInfo> m_last;
};
