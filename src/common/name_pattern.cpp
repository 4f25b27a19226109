// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/name_pattern.h"

#include <algorithm>

namespace ampvane {

namespace {

constexpr std::size_t kSetBytes = 32;
constexpr std::size_t kNoElement = static_cast<std::size_t>(-1);

std::uint8_t Code(PatternOp op) { return static_cast<std::uint8_t>(op); }

void AddToSet(std::uint8_t* bits, unsigned char c) { bits[c >> 3] |= static_cast<std::uint8_t>(1u << (c & 7)); }
bool InSet(const std::uint8_t* bits, unsigned char c) { return (bits[c >> 3] >> (c & 7)) & 1u; }

} // namespace

bool IsPatternWordChar(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool NamePattern::Compile(std::string_view pattern) {
    program_.clear();
    valid_ = false;
    error_.clear();
    matched_ = false;

    auto fail = [this](std::string message) {
        program_.assign(1, Code(PatternOp::End));
        error_ = std::move(message);
        return false;
    };

    std::vector<int> openGroups;
    int groups = 0;
    std::size_t lastElement = kNoElement; // start of the last element that may be repeated
    bool lastWasRepeat = false;
    const std::size_t n = pattern.size();
    std::size_t i = 0;

    while (i < n) {
        const unsigned char c = static_cast<unsigned char>(pattern[i]);
        const std::size_t here = program_.size();
        if (c == '^' && i == 0) {
            program_.push_back(Code(PatternOp::TextStart));
            lastElement = kNoElement;
            lastWasRepeat = false;
            ++i;
        } else if (c == '$' && i == n - 1) {
            program_.push_back(Code(PatternOp::TextEnd));
            lastElement = kNoElement;
            lastWasRepeat = false;
            ++i;
        } else if (c == '.') {
            program_.push_back(Code(PatternOp::Any));
            lastElement = here;
            lastWasRepeat = false;
            ++i;
        } else if (c == '[') {
            ++i;
            bool negated = false;
            if (i < n && pattern[i] == '^') {
                negated = true;
                ++i;
            }
            std::uint8_t bits[kSetBytes] = {};
            bool first = true;
            int previous = -1; // the last plain member, the start of a possible range
            for (;;) {
                if (i >= n)
                    return fail("A set has no closing \"]\".");
                const unsigned char m = static_cast<unsigned char>(pattern[i]);
                if (m == ']' && !first) {
                    ++i;
                    break;
                }
                if (m == '\\') {
                    if (i + 1 >= n)
                        return fail("A set has no closing \"]\".");
                    const auto literal = static_cast<unsigned char>(pattern[i + 1]);
                    AddToSet(bits, literal);
                    previous = literal;
                    i += 2;
                } else if (m == '-' && !first && previous >= 0 && i + 1 < n && pattern[i + 1] != ']') {
                    unsigned char last = static_cast<unsigned char>(pattern[i + 1]);
                    i += 2;
                    if (last == '\\' && i < n) {
                        last = static_cast<unsigned char>(pattern[i]);
                        ++i;
                    }
                    for (int ch = previous + 1; ch <= last; ++ch)
                        AddToSet(bits, static_cast<unsigned char>(ch));
                    previous = -1;
                } else {
                    AddToSet(bits, m);
                    previous = m;
                    ++i;
                }
                first = false;
            }
            program_.push_back(Code(negated ? PatternOp::NegatedSet : PatternOp::Set));
            program_.insert(program_.end(), bits, bits + kSetBytes);
            lastElement = here;
            lastWasRepeat = false;
        } else if (c == '*' || c == '+') {
            if (lastWasRepeat && c == '*') { // "a**" is "a*", "a+*" is "a+"
                ++i;
                continue;
            }
            if (lastElement == kNoElement)
                return fail(lastWasRepeat ? "A repeat cannot be repeated."
                                          : "A repeat must follow a character, \".\" or a set.");
            if (c == '*') {
                program_.insert(program_.begin() + static_cast<std::ptrdiff_t>(lastElement), Code(PatternOp::Repeat));
            } else {
                const std::vector<std::uint8_t> element(program_.begin() + static_cast<std::ptrdiff_t>(lastElement),
                                                        program_.end());
                program_.push_back(Code(PatternOp::Repeat));
                program_.insert(program_.end(), element.begin(), element.end());
            }
            program_.push_back(Code(PatternOp::End));
            lastElement = kNoElement;
            lastWasRepeat = true;
            ++i;
        } else if (c == '\\' && i + 1 < n) {
            const unsigned char d = static_cast<unsigned char>(pattern[i + 1]);
            i += 2;
            lastElement = kNoElement;
            lastWasRepeat = false;
            if (d == '(') {
                if (groups == 9)
                    return fail("A pattern can have at most 9 groups.");
                openGroups.push_back(++groups);
                program_.push_back(Code(PatternOp::GroupOpen));
                program_.push_back(static_cast<std::uint8_t>(groups));
            } else if (d == ')') {
                if (openGroups.empty())
                    return fail("A group is closed that is not open.");
                const int group = openGroups.back();
                if (here >= 2 && program_[here - 2] == Code(PatternOp::GroupOpen) && program_[here - 1] == group)
                    return fail("A group is empty.");
                openGroups.pop_back();
                program_.push_back(Code(PatternOp::GroupClose));
                program_.push_back(static_cast<std::uint8_t>(group));
            } else if (d == '<') {
                program_.push_back(Code(PatternOp::WordStart));
            } else if (d == '>') {
                program_.push_back(Code(PatternOp::WordEnd));
            } else if (d >= '1' && d <= '9') {
                const int group = d - '0';
                // A group still open has no end yet; referring to it would read an unfinished match.
                if (group > groups || std::find(openGroups.begin(), openGroups.end(), group) != openGroups.end())
                    return fail("A back-reference names a group that is not closed before it.");
                program_.push_back(Code(PatternOp::BackReference));
                program_.push_back(static_cast<std::uint8_t>(group));
            } else {
                program_.push_back(Code(PatternOp::Char));
                program_.push_back(d);
                lastElement = here;
            }
        } else {
            program_.push_back(Code(PatternOp::Char));
            program_.push_back(c);
            lastElement = here;
            lastWasRepeat = false;
            ++i;
        }
    }
    if (!openGroups.empty())
        return fail("A group is not closed.");
    program_.push_back(Code(PatternOp::End));
    valid_ = true;
    return true;
}

std::size_t NamePattern::ElementSize(std::size_t pc) const {
    switch (static_cast<PatternOp>(program_[pc])) {
    case PatternOp::Char:
    case PatternOp::GroupOpen:
    case PatternOp::GroupClose:
    case PatternOp::BackReference: return 2;
    case PatternOp::Set:
    case PatternOp::NegatedSet: return 1 + kSetBytes;
    case PatternOp::Repeat: return 1 + ElementSize(pc + 1) + 1;
    default: return 1;
    }
}

bool NamePattern::MatchOne(std::size_t pc, std::size_t pos) const {
    if (pos >= text_.size())
        return false;
    const auto c = static_cast<unsigned char>(text_[pos]);
    switch (static_cast<PatternOp>(program_[pc])) {
    case PatternOp::Char: return program_[pc + 1] == c;
    case PatternOp::Any: return true;
    case PatternOp::Set: return InSet(&program_[pc + 1], c);
    case PatternOp::NegatedSet: return !InSet(&program_[pc + 1], c);
    default: return false;
    }
}

bool NamePattern::MatchAt(std::size_t pc, std::size_t pos) {
    const std::size_t length = text_.size();
    for (;;) {
        if (++steps_ > kStepBudget) {
            budgetExceeded_ = true;
            return false;
        }
        switch (static_cast<PatternOp>(program_[pc])) {
        case PatternOp::End: end_[0] = static_cast<long>(pos); return true;
        case PatternOp::Char:
        case PatternOp::Any:
        case PatternOp::Set:
        case PatternOp::NegatedSet:
            if (!MatchOne(pc, pos))
                return false;
            ++pos;
            pc += ElementSize(pc);
            break;
        case PatternOp::TextStart:
            if (pos != 0)
                return false;
            ++pc;
            break;
        case PatternOp::TextEnd:
            if (pos != length)
                return false;
            ++pc;
            break;
        case PatternOp::GroupOpen:
            start_[program_[pc + 1]] = static_cast<long>(pos);
            pc += 2;
            break;
        case PatternOp::GroupClose:
            end_[program_[pc + 1]] = static_cast<long>(pos);
            pc += 2;
            break;
        case PatternOp::WordStart:
            if (pos > 0 && pos < length && IsPatternWordChar(static_cast<unsigned char>(text_[pos - 1])) &&
                IsPatternWordChar(static_cast<unsigned char>(text_[pos])))
                return false;
            ++pc;
            break;
        case PatternOp::WordEnd:
            if (pos == 0 || !IsPatternWordChar(static_cast<unsigned char>(text_[pos - 1])) ||
                (pos < length && IsPatternWordChar(static_cast<unsigned char>(text_[pos]))))
                return false;
            ++pc;
            break;
        case PatternOp::BackReference: {
            const int group = program_[pc + 1];
            const auto from = static_cast<std::size_t>(start_[group]);
            const auto size = static_cast<std::size_t>(end_[group] - start_[group]);
            if (pos + size > length || std::string_view(text_).substr(pos, size) != std::string_view(text_).substr(from, size))
                return false;
            pos += size;
            pc += 2;
            break;
        }
        case PatternOp::Repeat: {
            const std::size_t element = pc + 1;
            const std::size_t next = pc + ElementSize(pc);
            std::size_t most = pos;
            if (static_cast<PatternOp>(program_[element]) == PatternOp::Any)
                most = length;
            else
                while (most < length && MatchOne(element, most))
                    ++most;
            for (std::size_t k = most + 1; k-- > pos;) {
                if (MatchAt(next, k))
                    return true;
                if (budgetExceeded_)
                    return false;
            }
            return false;
        }
        }
    }
}

bool NamePattern::Search(std::string_view text) {
    text_.assign(text);
    matched_ = false;
    budgetExceeded_ = false;
    steps_ = 0;
    start_.fill(-1);
    end_.fill(-1);
    if (!valid_ || program_.empty() || program_[0] == Code(PatternOp::End))
        return false;

    auto tryAt = [this](std::size_t pos) {
        start_[0] = static_cast<long>(pos);
        if (MatchAt(0, pos)) {
            matched_ = true;
            return true;
        }
        return false;
    };
    const std::size_t length = text_.size();
    switch (static_cast<PatternOp>(program_[0])) {
    case PatternOp::TextStart: return tryAt(0);
    case PatternOp::TextEnd: return tryAt(length);
    case PatternOp::Char: {
        const char c = static_cast<char>(program_[1]);
        for (std::size_t pos = text_.find(c); pos != std::string::npos && !budgetExceeded_;
             pos = text_.find(c, pos + 1))
            if (tryAt(pos))
                return true;
        break;
    }
    default:
        for (std::size_t pos = 0; pos < length && !budgetExceeded_; ++pos)
            if (tryAt(pos))
                return true;
        break;
    }
    start_.fill(-1);
    end_.fill(-1);
    return false;
}

std::string NamePattern::Match() const {
    return matched_ ? text_.substr(MatchStart(), MatchLength()) : std::string();
}

std::optional<std::string> NamePattern::Group(int n) const {
    if (!matched_ || n < 0 || n >= kPatternGroups || start_[n] < 0 || end_[n] < start_[n])
        return std::nullopt;
    return text_.substr(static_cast<std::size_t>(start_[n]), static_cast<std::size_t>(end_[n] - start_[n]));
}

std::optional<std::string> NamePattern::Substitute(std::string_view templateText) const {
    if (!matched_)
        return std::nullopt;
    std::string out;
    for (std::size_t i = 0; i < templateText.size(); ++i) {
        const char c = templateText[i];
        if (c == '&') {
            out += Match();
        } else if (c == '\\' && i + 1 < templateText.size()) {
            const char d = templateText[++i];
            if (d >= '0' && d <= '9') {
                if (auto group = Group(d - '0'))
                    out += *group;
            } else {
                out += d;
            }
        } else {
            out += c;
        }
    }
    return out;
}

bool PatternMatches(std::string_view text, std::string_view pattern) {
    NamePattern compiled(pattern);
    return compiled.Search(text);
}

std::optional<std::string> PatternExtract(std::string_view text, std::string_view pattern) {
    NamePattern compiled(pattern);
    if (!compiled.Search(text))
        return std::nullopt;
    return compiled.Match();
}

std::optional<std::string> PatternSubstitute(const NamePattern& pattern, std::string_view templateText) {
    return pattern.Substitute(templateText);
}

} // namespace ampvane
