// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstring>
#include <functional>
#include <string>
#include <string_view>

namespace ampvane {

// Where a streamed report export goes: called with each finished piece of the file, in order. It
// returns false when the piece could not be taken (a failed write); the export then stops.
using ReportOutput = std::function<bool(std::string_view)>;

// Collects an export's text and hands it on in pieces of a bounded size, so that a report of
// millions of rows is never held whole.
class ChunkedOutput {
public:
    explicit ChunkedOutput(const ReportOutput& output) : output_(output) { buffer_.reserve(kPiece + 4096); }
    ChunkedOutput(const ChunkedOutput&) = delete;
    ChunkedOutput& operator=(const ChunkedOutput&) = delete;

    ChunkedOutput& operator+=(std::string_view text) {
        if (text.size() >= kPiece) {
            // A large piece goes on as it is, after what was collected before it.
            if (Flush()) ok_ = output_(text);
            return *this;
        }
        buffer_ += text;
        if (buffer_.size() >= kPiece) Flush();
        return *this;
    }
    ChunkedOutput& operator+=(char c) {
        buffer_ += c;
        if (buffer_.size() >= kPiece) Flush();
        return *this;
    }
    // Hands on what is collected; true while every piece was taken.
    bool Flush() {
        if (ok_ && !buffer_.empty()) ok_ = output_(buffer_);
        buffer_.clear();
        return ok_;
    }
    bool ok() const { return ok_; }

private:
    static constexpr std::size_t kPiece = 1 << 18;
    const ReportOutput& output_;
    std::string buffer_;
    bool ok_ = true;
};

// Collects the many short pieces of report rows in a fixed buffer and appends them to a text a few
// kilobytes at a time: a copy each instead of a string append each.
class LineText {
public:
    explicit LineText(std::string& out) : out_(out) {}
    LineText(const LineText&) = delete;
    LineText& operator=(const LineText&) = delete;
    ~LineText() { Flush(); }

    void Put(char c) {
        if (at_ == chars_ + sizeof chars_) Flush();
        *at_++ = c;
    }
    void Put(std::string_view text) {
        if (text.size() > static_cast<std::size_t>(chars_ + sizeof chars_ - at_)) {
            Flush();
            if (text.size() > sizeof chars_) {
                out_ += text;
                return;
            }
        }
        std::memcpy(at_, text.data(), text.size());
        at_ += text.size();
    }
    // Room for `size` characters written straight into the buffer; Advance then says how many were.
    char* Room(std::size_t size) {
        if (size > static_cast<std::size_t>(chars_ + sizeof chars_ - at_)) Flush();
        return at_;
    }
    void Advance(std::size_t size) { at_ += size; }
    void Flush() {
        out_.append(chars_, static_cast<std::size_t>(at_ - chars_));
        at_ = chars_;
    }

private:
    std::string& out_;
    char chars_[8192];
    char* at_ = chars_;
};

// Appends the text of data rows [begin, end) of a report.
using RowText = std::function<void(std::string& text, std::size_t begin, std::size_t end)>;

// Hands rows [0, count) to `out` in order. A large report's rows are made a block at a time, each
// block on every core, while the block before it is handed on; false once `out` stops taking pieces.
bool WriteRowsOnEveryCore(ChunkedOutput& out, std::size_t count, const RowText& rowText);

// An output that appends to a text, for the exports that return the whole file.
inline ReportOutput AppendTo(std::string& text) {
    return [&text](std::string_view piece) {
        text += piece;
        return true;
    };
}

} // namespace ampvane
