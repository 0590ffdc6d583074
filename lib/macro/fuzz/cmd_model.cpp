#include "cmd_model.h"

namespace tovn::model {

namespace {

// "%%" gives "%"; any other "%" would expand a variable or an argument.
std::optional<std::wstring> ExpandPercents(const std::wstring& line) {
    std::wstring out;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] != L'%') {
            out += line[i];
        } else if (i + 1 < line.size() && line[i + 1] == L'%') {
            out += L'%';
            ++i;
        } else {
            return std::nullopt;
        }
    }
    return out;
}

// Outside quotes a caret takes the next character as it is, and "& | < > ( )" end or
// start something else. Quotes stay for the program to read.
std::optional<std::wstring> ReadSpecials(const std::wstring& line) {
    std::wstring out;
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const wchar_t c = line[i];
        if (c == L'"') quoted = !quoted;
        if (!quoted && c == L'^') {
            if (++i == line.size()) return std::nullopt;
            out += line[i];
            continue;
        }
        if (!quoted && std::wstring(L"&|<>()").find(c) != std::wstring::npos) return std::nullopt;
        out += c;
    }
    return out;
}

std::optional<std::wstring> Read(const std::wstring& line) {
    auto expanded = ExpandPercents(line);
    return expanded ? ReadSpecials(*expanded) : std::nullopt;
}

std::vector<std::wstring> Split(const std::wstring& line) {
    std::vector<std::wstring> args;
    std::wstring arg;
    bool quoted = false, any = false;
    for (wchar_t c : line) {
        if (c == L'"') {
            quoted = !quoted;
            any = true;
        } else if (!quoted && (c == L' ' || c == L'\t')) {
            if (any) args.push_back(arg);
            arg.clear();
            any = false;
        } else {
            arg += c;
            any = true;
        }
    }
    if (any) args.push_back(arg);
    return args;
}

} // namespace

std::optional<std::vector<std::wstring>> Arguments(const std::wstring& line, Interpreter how) {
    std::wstring text = !line.empty() && line[0] == L'@' ? line.substr(1) : line;
    auto read = Read(text);
    if (!read) return std::nullopt;
    const std::wstring call = L"CALL ";
    if (read->compare(0, call.size(), call) == 0) {
        read->erase(0, call.size());
        if (how == Interpreter::Windows) {
            std::wstring doubled;
            for (wchar_t c : *read) doubled += c == L'^' ? L"^^" : std::wstring(1, c);
            read = Read(doubled);
            if (!read) return std::nullopt;
        }
    }
    return Split(*read);
}

} // namespace tovn::model
