// The outcome of an operation that can fail, and how the user is told of it. Services only
// return a Result; the command that started the operation reports it (app/report.h), which
// is the one place a failure beeps or shows a box. Every Fail is written to the diagnostic
// log when it is made.
#pragma once
#include <cstdint>
#include <string>

namespace tovn {

// How a failure is shown: not at all, a beep, a beep then a box, a box then a beep, a box
// alone, the error box (stop icon, no beep), or the archive vanished (back to the folder).
enum class Say : uint8_t { Nothing, Beep, BeepBox, BoxBeep, Box, ErrorBox, ArchiveGone };

class [[nodiscard]] Result {
public:
    static Result Ok() { return Result(); }
    // A command refused: a beep.
    static Result Refused();
    // A failure the user reads: text under caption.
    static Result Error(std::wstring text, std::wstring caption, Say = Say::BeepBox);
    // A failed step of the system or an outside library, logged at once; reported as a beep
    // and the general failure box naming what failed and the code.
    static Result Fail(std::wstring what, unsigned long code);
    // The application's standard error box: the text under the program's title.
    static Result Standard(std::wstring text);
    // The archive being browsed is gone.
    static Result ArchiveGone();
    // The same failure shown another way.
    Result As(Say say) const;

    bool ok() const { return ok_; }
    explicit operator bool() const { return ok(); }
    const std::wstring& what() const { return what_; }
    unsigned long code() const { return code_; }
    Say say() const { return say_; }
    const std::wstring& text() const { return text_; }
    const std::wstring& caption() const { return caption_; }

private:
    bool ok_ = true;
    Say say_ = Say::Nothing;
    std::wstring what_, text_, caption_;
    unsigned long code_ = 0;
};

// The diagnostic log: off unless the environment variable TOVN32_LOG names a file, to which
// each failure is appended as one line (time, code, what failed).
void LogFailure(const std::wstring& what, unsigned long code);

} // namespace tovn
