// The outcome of an operation that can fail: what failed and the system's (or the outside
// library's) error code. Failures travel up to the command that started the operation; only
// the command beeps and shows a message. Every failure is written to the diagnostic log.
#pragma once
#include <string>

namespace tovn {

class [[nodiscard]] Result {
public:
    static Result Ok() { return Result(); }
    static Result Fail(std::wstring what, unsigned long code);

    bool ok() const { return what_.empty(); }
    explicit operator bool() const { return ok(); }
    const std::wstring& what() const { return what_; }
    unsigned long code() const { return code_; }

private:
    std::wstring what_;
    unsigned long code_ = 0;
};

// The diagnostic log: off unless the environment variable TOVN32_LOG names a file, to which
// each failure is appended as one line (time, code, what failed).
void LogFailure(const std::wstring& what, unsigned long code);

} // namespace tovn
