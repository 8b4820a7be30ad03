#pragma once

#include <string>
#include <utility>

namespace kx::text {

// What an operation that can fail reports: success, or failure with the reason, worded for
// the log ("cannot write /home/ute/Kalmotex.ini"). A failure always carries a reason.
class [[nodiscard]] Result
{
public:
    Result() = default; // success
    static Result success() { return Result(); }
    static Result failure(std::string reason)
    {
        Result result;
        result.m_failed = true;
        result.m_error = reason.empty() ? "failed" : std::move(reason);
        return result;
    }

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    // Empty on success.
    const std::string& error() const { return m_error; }

    // For a series of steps that are all attempted: the first failure is kept.
    Result& operator&=(const Result& next)
    {
        if (ok() && !next.ok())
            *this = next;
        return *this;
    }

private:
    bool m_failed = false;
    std::string m_error;
};

} // namespace kx::text
