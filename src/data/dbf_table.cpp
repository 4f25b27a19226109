// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/dbf_table.h"
#include "data/dbf_number.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <iterator>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/file_write.h"
#include "data/windows1252.h"

namespace ampvane {

namespace {

constexpr char kDeletedMark = '*';
constexpr char kLiveMark = ' ';
constexpr char kEndOfFile = 0x1A;
constexpr char kHeaderEnd = 0x0D;
constexpr std::size_t kDescriptorSize = 32;
// The header stores the record length in 16 bits.
constexpr std::uint64_t kMaxRecordLength = 65535;

std::uint16_t Read16(const char* p) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(p[0]) |
                                      (static_cast<unsigned char>(p[1]) << 8));
}
std::uint32_t Read32(const char* p) {
    return static_cast<std::uint32_t>(Read16(p)) | (static_cast<std::uint32_t>(Read16(p + 2)) << 16);
}
void Write16(char* p, std::uint32_t v) {
    p[0] = static_cast<char>(v & 0xFF);
    p[1] = static_cast<char>((v >> 8) & 0xFF);
}
void Write32(char* p, std::uint32_t v) {
    Write16(p, v & 0xFFFF);
    Write16(p + 2, v >> 16);
}

// Year, month and day of today in the three header bytes.
void StampDate(char* p) {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    p[0] = static_cast<char>(std::clamp(local.tm_year, 0, 255));
    p[1] = static_cast<char>(local.tm_mon + 1);
    p[2] = static_cast<char>(local.tm_mday);
}

std::string_view TrimTrailing(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.remove_suffix(1);
    return s;
}
std::string_view TrimBlanks(std::string_view s) {
    s = TrimTrailing(s);
    while (!s.empty() && (s.front() == ' ' || s.front() == '\0')) s.remove_prefix(1);
    return s;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto la = static_cast<unsigned char>(a[i]);
        auto lb = static_cast<unsigned char>(b[i]);
        if (la >= 'a' && la <= 'z') la -= 32;
        if (lb >= 'a' && lb <= 'z') lb -= 32;
        if (la != lb) return false;
    }
    return true;
}

// Locale-independent number reading: optional blanks and sign, digits, '.', exponent.
std::optional<double> ParseNumber(std::string_view text) {
    text = TrimBlanks(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    // from_chars also takes "inf" and "nan"; stored and typed numbers never mean those.
    for (char c : text)
        if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == 'e' || c == 'E' ||
              c == '+'))
            return std::nullopt;
    double value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::string GeneralNumber(double value) {
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    if (ec != std::errc()) return "0";
    return std::string(buffer, end);
}

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

std::string SystemReason() { return std::strerror(errno); }

// Repeats pread/pwrite until the whole range is done; false (with errno set) on failure.
template <typename Buffer, typename Call>
bool TransferAll(Call call, int fd, Buffer* data, size_t size, off_t offset) {
    while (size > 0) {
        ssize_t n = call(fd, data, size, offset);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) {
            errno = EIO;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
        offset += n;
    }
    return true;
}

bool WriteAll(int fd, const char* data, size_t size, off_t offset) { return TransferAll(::pwrite, fd, data, size, offset); }
bool ReadAll(int fd, char* data, size_t size, off_t offset) { return TransferAll(::pread, fd, data, size, offset); }

// Whole-file write lock between instances sharing a table (open file description locks, so that
// they do not disturb the flock that marks shared or exclusive use).
class WriteLock {
public:
    explicit WriteLock(int fd) : fd_(fd) {
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        while ((ok_ = ::fcntl(fd_, F_OFD_SETLKW, &lock) == 0) == false && errno == EINTR) {
        }
    }
    ~WriteLock() {
        if (!ok_) return;
        struct flock lock {};
        lock.l_type = F_UNLCK;
        lock.l_whence = SEEK_SET;
        ::fcntl(fd_, F_OFD_SETLK, &lock);
    }
    WriteLock(const WriteLock&) = delete;
    WriteLock& operator=(const WriteLock&) = delete;
    bool ok() const { return ok_; }

private:
    int fd_;
    bool ok_ = false;
};

std::string ColumnLabel(const DbfColumn& column) { return column.label.empty() ? column.name : column.label; }

// With another separator than '.', a '.' is not part of a number.
std::optional<double> ParseTypedNumber(std::string_view text, char decimal) {
    if (decimal != '.' && text.find('.') != std::string_view::npos) return std::nullopt;
    std::string normal(text);
    std::replace(normal.begin(), normal.end(), decimal, '.');
    return ParseNumber(normal);
}

// The right-aligned field text of a number, with as many of the column's decimals as fit.
std::string FixedNumberField(const DbfColumn& column, double value, std::string& out) {
    if (value == 0) value = 0; // no "-0.00"
    char buffer[400];
    for (int decimals = column.decimals; decimals >= 0; --decimals) {
        auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
        if (ec != std::errc()) break;
        std::string_view text(buffer, static_cast<size_t>(end - buffer));
        if (text == "-0" || text.find_first_not_of("-0.") == std::string_view::npos) text = text.substr(text[0] == '-');
        if (text.size() <= static_cast<size_t>(column.width)) {
            out.assign(static_cast<size_t>(column.width) - text.size(), ' ');
            out += text;
            return {};
        }
    }
    return GeneralNumber(value) + " does not fit into field '" + ColumnLabel(column) + "'";
}

} // namespace

std::string NumberField(const DbfColumn& column, double value, std::string& field) {
    if (!std::isfinite(value))
        return "'" + GeneralNumber(value) + "' is not a valid floating point value for field '" + ColumnLabel(column) +
               "'";
    if ((column.minimum && value < *column.minimum) || (column.maximum && value > *column.maximum))
        return GeneralNumber(value) + " is not a valid value for field '" + ColumnLabel(column) +
               "'. The allowed range is " + GeneralNumber(column.minimum.value_or(-1e308)) + " to " +
               GeneralNumber(column.maximum.value_or(1e308));
    return FixedNumberField(column, value, field);
}

std::string NumberTextError(const DbfColumn& column, std::string_view text, char decimal) {
    if (TrimBlanks(text).empty()) return {};
    const std::optional<double> value = ParseTypedNumber(text, decimal);
    if (!value)
        return "'" + std::string(text) + "' is not a valid floating point value for field '" + ColumnLabel(column) + "'";
    std::string field;
    return NumberField(column, *value, field);
}

int CompareStoredNames(std::string_view a, std::string_view b) {
    a = TrimTrailing(a);
    b = TrimTrailing(b);
    size_t n = std::min(a.size(), b.size());
    int c = n ? std::memcmp(a.data(), b.data(), n) : 0;
    if (c != 0) return c < 0 ? -1 : 1;
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

// --- Opening and creating ---

DbfTable::OpenResult DbfTable::Open(const std::string& path, Access access) {
    OpenResult result;
    auto fail = [&](const std::string& reason) {
        result.table.reset();
        result.error = "The table " + Quoted(path) + " cannot be opened: " + reason + ".";
        return std::move(result);
    };

    std::unique_ptr<DbfTable> table(new DbfTable());
    table->path_ = path;
    table->access_ = access;
    int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd >= 0) {
            table->readOnly_ = true;
            result.warnings.push_back("The table " + Quoted(path) +
                                      " may not be changed (no write permission); it was opened read-only.");
        }
    }
    if (fd < 0) return fail(SystemReason());
    table->fd_ = fd;
    int lockMode = (access == Access::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
    if (::flock(fd, lockMode) != 0) return fail("it is in use by another program");

    struct stat info {};
    if (::fstat(fd, &info) != 0) return fail(SystemReason());
    if (!S_ISREG(info.st_mode)) return fail("it is not a file");
    const auto size = static_cast<std::uint64_t>(info.st_size);
    if (size < kDescriptorSize + 1) return fail("the file is too short to be a table");
    // Read once into what becomes the record store: a big table is held once, not copied.
    std::vector<char> file(size);
    if (!ReadAll(fd, file.data(), file.size(), 0)) return fail(SystemReason());

    const auto version = static_cast<std::uint8_t>(file[0]);
    const bool visualFox = version >= 0x30 && version <= 0x32;
    if ((version & 0x07) != 0x03 && !visualFox) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "0x%02X", version);
        return fail(std::string("it is not a dBase table (its first byte is ") + hex + ")");
    }
    table->version_ = version;
    const std::uint32_t count = Read32(&file[4]);
    table->headerLength_ = Read16(&file[8]);
    table->recordLength_ = Read16(&file[10]);
    table->codePage_ = static_cast<std::uint8_t>(file[29]);

    size_t pos = kDescriptorSize;
    // Wide, so that a header listing more column bytes than a record can hold is refused, not wrapped.
    std::uint64_t dataOffset = 0;
    while (pos < size && file[pos] != kHeaderEnd) {
        if (pos + kDescriptorSize > size) return fail("its column list is cut off");
        const char* d = &file[pos];
        DbfColumn column;
        column.name = std::string(TrimBlanks(std::string_view(d, strnlen(d, 11))));
        column.storedType = d[11];
        column.width = static_cast<unsigned char>(d[16]);
        column.decimals = static_cast<unsigned char>(d[17]);
        const int number = static_cast<int>(table->columns_.size()) + 1;
        const std::string which = "column " + std::to_string(number) + " (" + column.name + ")";
        switch (column.storedType) {
        case 'C':
            column.type = DbfType::Character;
            // Long character columns keep the high byte of their width in the decimals byte.
            column.width += column.decimals * 256;
            column.decimals = 0;
            break;
        case 'N':
        case 'F': column.type = DbfType::Numeric; break;
        case 'L': column.type = DbfType::Logical; break;
        case 'D': column.type = DbfType::Date; break;
        default: column.type = DbfType::Other; break;
        }
        if (column.name.empty()) return fail("column " + std::to_string(number) + " has no name");
        if (column.width == 0) return fail(which + " has a zero width");
        if (column.type == DbfType::Numeric && column.decimals >= column.width)
            return fail(which + " has more decimals than its width");
        dataOffset += static_cast<std::uint64_t>(column.width);
        if (dataOffset + 1 > kMaxRecordLength)
            return fail("its columns need more than " + std::to_string(kMaxRecordLength) +
                        " bytes a record, the most a table can hold");
        column.offset = static_cast<int>(dataOffset - static_cast<std::uint64_t>(column.width)) + 1;
        table->columns_.push_back(std::move(column));
        pos += kDescriptorSize;
    }
    if (pos >= size) return fail("the end of its column list is missing");
    if (table->columns_.empty()) return fail("it has no columns");
    if (table->headerLength_ < pos + 1)
        return fail("its header length (" + std::to_string(table->headerLength_) +
                    ") is shorter than its column list (" + std::to_string(pos + 1) + " bytes)");
    if (table->headerLength_ > size)
        return fail("its header length (" + std::to_string(table->headerLength_) + ") is beyond the end of the file");
    if (table->recordLength_ < dataOffset + 1)
        return fail("its record length (" + std::to_string(table->recordLength_) +
                    ") is shorter than its columns (" + std::to_string(dataOffset + 1) + " bytes)");

    const std::uint64_t available = size - table->headerLength_;
    const std::uint64_t complete = available / table->recordLength_;
    std::uint32_t readable = count;
    if (count > complete) {
        readable = static_cast<std::uint32_t>(complete);
        table->readOnly_ = true;
        result.warnings.push_back("The table " + Quoted(path) + " is damaged: its header counts " +
                                  std::to_string(count) + " records, but the file holds only " +
                                  std::to_string(readable) +
                                  " complete ones. These were read; the table was opened read-only so "
                                  "that nothing more is lost.");
    }
    table->count_ = readable;
    table->header_.assign(file.data(), table->headerLength_);
    file.erase(file.begin(), file.begin() + table->headerLength_);
    file.resize(std::uint64_t{readable} * table->recordLength_);
    file.shrink_to_fit();
    table->data_ = std::move(file);

    std::uint32_t unknownMarks = 0;
    for (std::uint32_t r = 0; r < readable; ++r) {
        char mark = table->data_[std::size_t{r} * table->recordLength_];
        if (mark != kLiveMark && mark != kDeletedMark) ++unknownMarks;
    }
    if (unknownMarks > 0) {
        table->readOnly_ = true;
        result.warnings.push_back("The table " + Quoted(path) + " is damaged: " + std::to_string(unknownMarks) +
                                  " of its records carry no valid deletion mark. The records were read; the "
                                  "table was opened read-only so that nothing more is lost.");
    }
    const bool knownCodePage = table->codePage_ == 0x00 || table->codePage_ == 0x03 ||
                               table->codePage_ == 0x57 || table->codePage_ == 0x58 || table->codePage_ == 0x59;
    if (!knownCodePage) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "0x%02X", table->codePage_);
        result.warnings.push_back("The table " + Quoted(path) + " names the code page " + hex +
                                  "; its text is read as Windows-1252, so letters beyond plain ASCII may show "
                                  "wrongly.");
    }

    table->order_ = &table->customOrder_;
    table->storedOrderImplicit_ = true;
    if (table->deletedCount() > 0) table->SpellOutStoredOrder();
    table->RebuildNameIndex();
    table->First();
    result.table = std::move(table);
    return result;
}

std::string DbfTable::Create(const std::string& path, std::span<const DbfColumnSpec> columns,
                             std::uint8_t codePage) {
    if (columns.empty() || columns.size() > 255) return "A table needs 1 to 255 columns.";
    std::string header(kDescriptorSize, '\0');
    std::uint32_t recordLength = 1;
    for (const auto& column : columns) {
        const bool character = column.type == DbfType::Character;
        if (column.name.empty() || column.name.size() > 10) return "The column name \"" + column.name + "\" is invalid.";
        if (column.width < 1 || column.width > (character ? 65535 : 255) ||
            (column.type == DbfType::Numeric && column.decimals >= column.width) || column.type == DbfType::Other)
            return "The column \"" + column.name + "\" has an invalid type or width.";
        std::string d(kDescriptorSize, '\0');
        std::memcpy(d.data(), column.name.data(), column.name.size());
        d[11] = static_cast<char>(column.type);
        d[16] = static_cast<char>(column.width & 0xFF);
        d[17] = static_cast<char>(character ? column.width >> 8 : column.decimals);
        header += d;
        recordLength += static_cast<std::uint32_t>(column.width);
    }
    if (recordLength > 65535) return "The columns are too wide for one record.";
    header += kHeaderEnd;
    header[0] = 0x03;
    StampDate(&header[1]);
    Write32(&header[4], 0);
    Write16(&header[8], static_cast<std::uint32_t>(header.size()));
    Write16(&header[10], recordLength);
    header[29] = static_cast<char>(codePage);
    header += kEndOfFile;
    return WriteFileAtomically(path, header);
}

DbfTable::~DbfTable() {
    if (fd_ < 0) return;
    if (written_) ::fdatasync(fd_);
    ::close(fd_);
}

int DbfTable::ColumnIndex(std::string_view name) const {
    for (size_t i = 0; i < columns_.size(); ++i)
        if (EqualsIgnoringAsciiCase(columns_[i].name, name)) return static_cast<int>(i);
    return -1;
}

const DbfColumn* DbfTable::ColumnAt(int index) const {
    return index >= 0 && static_cast<size_t>(index) < columns_.size() ? &columns_[static_cast<size_t>(index)]
                                                                       : nullptr;
}

std::string DbfTable::MissingColumn(int index) const {
    return "The table " + Quoted(path_) + " has no column " + std::to_string(index + 1) + ".";
}

// --- Orders and navigation ---

std::string_view DbfTable::StoredName(std::uint32_t record) const {
    const DbfColumn& name = columns_.front();
    return std::string_view(&data_[std::size_t{record} * recordLength_ + name.offset],
                            static_cast<size_t>(name.width));
}

void DbfTable::UseNameIndex() {
    order_ = &nameOrder_;
    nameIndexActive_ = true;
    First();
}

void DbfTable::RebuildNameIndex() {
    // Built a block of records at a time and merged into the index so far, so that the memory it takes
    // follows the number of distinct names rather than the number of records. Ties keep file order
    // (unique: the first record wins, and earlier blocks hold earlier records).
    constexpr std::uint32_t kBlock = 1u << 22;
    const auto less = [this](std::uint32_t a, std::uint32_t b) {
        return CompareStoredNames(StoredName(a), StoredName(b)) < 0;
    };
    const auto same = [this](std::uint32_t a, std::uint32_t b) {
        return CompareStoredNames(StoredName(a), StoredName(b)) == 0;
    };
    nameOrder_.clear();
    std::vector<std::uint32_t> block;
    std::vector<std::uint32_t> merged;
    for (std::uint32_t start = 0; start < count_; start += std::min(kBlock, count_ - start)) {
        const std::uint32_t end = start + std::min(kBlock, count_ - start);
        block.clear();
        for (std::uint32_t r = start; r < end; ++r)
            if (data_[std::size_t{r} * recordLength_] != kDeletedMark &&
                !std::binary_search(nameOrder_.begin(), nameOrder_.end(), r, less))
                block.push_back(r);
        std::stable_sort(block.begin(), block.end(), less);
        block.erase(std::unique(block.begin(), block.end(), same), block.end());
        if (block.empty()) continue;
        merged.clear();
        merged.reserve(nameOrder_.size() + block.size());
        std::merge(nameOrder_.begin(), nameOrder_.end(), block.begin(), block.end(), std::back_inserter(merged),
                   less);
        nameOrder_.swap(merged);
    }
    nameOrder_.shrink_to_fit();
}

void DbfTable::UseOrder(std::vector<std::uint32_t> records) {
    std::erase_if(records, [this](std::uint32_t r) {
        return r >= count_ || data_[std::size_t{r} * recordLength_] == kDeletedMark;
    });
    customOrder_ = std::move(records);
    storedOrderImplicit_ = false;
    order_ = &customOrder_;
    nameIndexActive_ = false;
    First();
}

void DbfTable::First() {
    cursor_ = 0;
    bof_ = true;
    eof_ = empty();
}

void DbfTable::Last() {
    cursor_ = empty() ? 0 : size() - 1;
    bof_ = empty();
    eof_ = true;
}

void DbfTable::Next() {
    if (cursor_ + 1 < size()) {
        ++cursor_;
        bof_ = false;
        eof_ = false;
    } else {
        eof_ = true;
    }
}

void DbfTable::Prior() {
    if (cursor_ > 0 && !empty()) {
        --cursor_;
        bof_ = false;
        eof_ = false;
    } else {
        bof_ = true;
    }
}

void DbfTable::MoveTo(std::size_t position) {
    if (empty()) {
        First();
        return;
    }
    cursor_ = std::min(position, size() - 1);
    bof_ = false;
    eof_ = false;
}

void DbfTable::ClampCursor() {
    if (empty()) {
        First();
    } else if (cursor_ >= size()) {
        cursor_ = size() - 1;
        eof_ = true;
    }
}

std::size_t DbfTable::size() const { return OrderImplicit() ? count_ : order_->size(); }

std::uint32_t DbfTable::OrderAt(std::size_t position) const {
    return OrderImplicit() ? static_cast<std::uint32_t>(position) : (*order_)[position];
}

void DbfTable::SpellOutStoredOrder() {
    if (!storedOrderImplicit_) return;
    storedOrderImplicit_ = false;
    customOrder_.clear();
    customOrder_.reserve(count_);
    for (std::uint32_t r = 0; r < count_; ++r)
        if (data_[std::size_t{r} * recordLength_] != kDeletedMark) customOrder_.push_back(r);
}

std::optional<std::uint32_t> DbfTable::RecordNumber() const {
    if (empty()) return std::nullopt;
    return OrderAt(cursor_);
}

bool DbfTable::GoToRecord(std::uint32_t record) {
    if (OrderImplicit()) {
        if (record >= count_) return false;
        MoveTo(record);
        return true;
    }
    auto it = std::find(order_->begin(), order_->end(), record);
    if (it == order_->end()) return false;
    MoveTo(static_cast<std::size_t>(it - order_->begin()));
    return true;
}

bool DbfTable::SeekName(std::string_view name) {
    const std::string key = Windows1252FromUtf8(name);
    auto it = std::lower_bound(nameOrder_.begin(), nameOrder_.end(), key, [this](std::uint32_t r, const std::string& k) {
        return CompareStoredNames(StoredName(r), k) < 0;
    });
    if (it == nameOrder_.end()) {
        Last();
        return false;
    }
    // Under a browser order the record found by the name index is looked up in that order.
    if (nameIndexActive_) {
        MoveTo(static_cast<std::size_t>(it - nameOrder_.begin()));
    } else if (!GoToRecord(*it)) {
        Last();
        return false;
    }
    return TrimTrailing(StoredName(*it)).starts_with(TrimTrailing(key));
}

int DbfTable::CompareCurrentName(std::string_view name) const {
    const char* record = CurrentRecord();
    if (!record) return -1;
    const DbfColumn& column = columns_.front();
    return CompareStoredNames(std::string_view(record + column.offset, static_cast<size_t>(column.width)),
                              Windows1252FromUtf8(name));
}

// --- Reading ---

const char* DbfTable::CurrentRecord() const {
    if (state_ != State::Browse) return buffer_.data();
    if (empty()) return nullptr;
    return &data_[std::size_t{OrderAt(cursor_)} * recordLength_];
}

std::string DbfTable::Text(int index) const {
    const char* record = CurrentRecord();
    const DbfColumn* found = ColumnAt(index);
    if (!record || !found) return {};
    const DbfColumn& column = *found;
    std::string_view raw(record + column.offset, static_cast<size_t>(column.width));
    switch (column.type) {
    case DbfType::Numeric: {
        if (TrimBlanks(raw).empty()) return {};
        auto value = ParseNumber(raw);
        return value ? GeneralNumber(*value == 0 ? 0.0 : *value) : Utf8FromWindows1252(TrimBlanks(raw));
    }
    case DbfType::Logical: return Logical(index) ? "Yes" : "";
    case DbfType::Date: return std::string(TrimBlanks(raw));
    default: return Utf8FromWindows1252(TrimTrailing(raw));
    }
}

double DbfTable::Number(int index) const {
    const char* record = CurrentRecord();
    const DbfColumn* column = ColumnAt(index);
    if (!record || !column || column->type != DbfType::Numeric) return 0;
    return ParseNumber(std::string_view(record + column->offset, static_cast<size_t>(column->width))).value_or(0);
}

bool DbfTable::Logical(int index) const {
    const char* record = CurrentRecord();
    const DbfColumn* column = ColumnAt(index);
    if (!record || !column || column->type != DbfType::Logical) return false;
    char c = record[column->offset];
    return c == 'T' || c == 't' || c == 'Y' || c == 'y';
}

// --- Changing ---

std::string DbfTable::WriteError(const std::string& what) const {
    return "The table " + Quoted(path_) + " could not be " + what + ": " + SystemReason() + ".";
}

std::string DbfTable::WriteFailure() const {
    return "The table " + Quoted(path_) +
           " was opened read-only (it is damaged or may not be written); the change was not saved.";
}

std::string DbfTable::Insert() {
    if (readOnly_) return WriteFailure();
    buffer_.assign(recordLength_, ' ');
    for (const DbfColumn& column : columns_)
        if (column.type == DbfType::Logical) buffer_[static_cast<size_t>(column.offset)] = 'F';
    state_ = State::Insert;
    return {};
}

std::string DbfTable::Edit() {
    if (readOnly_) return WriteFailure();
    if (state_ != State::Browse) return {};
    if (empty()) return "The table " + Quoted(path_) + " has no current record to edit.";
    editRecord_ = OrderAt(cursor_);
    buffer_.assign(CurrentRecord(), recordLength_);
    state_ = State::Edit;
    return {};
}

void DbfTable::Cancel() {
    state_ = State::Browse;
    buffer_.clear();
}

std::string DbfTable::SetField(int index, std::string_view bytes) {
    const DbfColumn& column = columns_.at(static_cast<size_t>(index));
    std::string padded(bytes.substr(0, static_cast<size_t>(column.width)));
    padded.resize(static_cast<size_t>(column.width), ' ');
    std::memcpy(&buffer_[static_cast<size_t>(column.offset)], padded.data(), padded.size());
    return {};
}

std::string DbfTable::FormatNumberField(const DbfColumn& column, double value, std::string& out) const {
    return FixedNumberField(column, value, out);
}

std::string DbfTable::SetNumber(int index, double value) {
    if (state_ == State::Browse) return "The table " + Quoted(path_) + " is not being edited.";
    if (!ColumnAt(index)) return MissingColumn(index);
    const DbfColumn& column = columns_[static_cast<size_t>(index)];
    if (column.type != DbfType::Numeric) return SetText(index, GeneralNumber(value));
    std::string text;
    if (std::string error = NumberField(column, value, text); !error.empty()) return error;
    return SetField(index, text);
}

std::string DbfTable::SetLogical(int index, bool value) {
    if (state_ == State::Browse) return "The table " + Quoted(path_) + " is not being edited.";
    if (!ColumnAt(index)) return MissingColumn(index);
    const DbfColumn& column = columns_[static_cast<size_t>(index)];
    if (column.type != DbfType::Logical) return SetText(index, value ? "Yes" : "");
    return SetField(index, value ? "T" : "F");
}

std::string DbfTable::SetText(int index, std::string_view text, char decimal) {
    if (state_ == State::Browse) return "The table " + Quoted(path_) + " is not being edited.";
    if (!ColumnAt(index)) return MissingColumn(index);
    const DbfColumn& column = columns_[static_cast<size_t>(index)];
    switch (column.type) {
    case DbfType::Character: return SetField(index, Windows1252FromUtf8(text));
    case DbfType::Numeric: {
        if (TrimBlanks(text).empty()) return SetField(index, "");
        const std::optional<double> value = ParseTypedNumber(text, decimal);
        if (!value)
            return "'" + std::string(text) + "' is not a valid floating point value for field '" +
                   ColumnLabel(column) + "'";
        return SetNumber(index, *value);
    }
    case DbfType::Logical:
        if (text == "Yes") return SetField(index, "T");
        if (text.empty()) return SetField(index, "F");
        return "'" + std::string(text) + "' is not a valid boolean value for field '" + ColumnLabel(column) + "'";
    case DbfType::Date: {
        std::string_view date = TrimBlanks(text);
        auto digits = [&](size_t at, size_t n) { return std::stoi(std::string(date.substr(at, n))); };
        bool valid = date.empty() ||
                     (date.size() == 8 && date.find_first_not_of("0123456789") == std::string_view::npos &&
                      digits(4, 2) >= 1 && digits(4, 2) <= 12 && digits(6, 2) >= 1 && digits(6, 2) <= 31);
        if (!valid)
            return "'" + std::string(text) + "' is not a valid date for field '" + ColumnLabel(column) + "'";
        return SetField(index, date);
    }
    default: return "The field '" + ColumnLabel(column) + "' cannot be changed by this program";
    }
}

std::string DbfTable::SetText(std::string_view column, std::string_view text, char decimal) {
    int index = ColumnIndex(column);
    return index < 0 ? NoSuchColumn(column) : SetText(index, text, decimal);
}
std::string DbfTable::SetNumber(std::string_view column, double value) {
    int index = ColumnIndex(column);
    return index < 0 ? NoSuchColumn(column) : SetNumber(index, value);
}
std::string DbfTable::SetLogical(std::string_view column, bool value) {
    int index = ColumnIndex(column);
    return index < 0 ? NoSuchColumn(column) : SetLogical(index, value);
}
std::string DbfTable::NoSuchColumn(std::string_view column) const {
    return "The table " + Quoted(path_) + " has no column " + std::string(column) + ".";
}

void DbfTable::IndexRecord(std::uint32_t record) {
    auto it = std::lower_bound(nameOrder_.begin(), nameOrder_.end(), record, [this](std::uint32_t a, std::uint32_t b) {
        return CompareStoredNames(StoredName(a), StoredName(b)) < 0;
    });
    // Unique index: a name enters once, for the first record that carries it.
    if (it != nameOrder_.end() && CompareStoredNames(StoredName(*it), StoredName(record)) == 0) {
        if (*it < record) return;
        *it = record;
        return;
    }
    nameOrder_.insert(it, record);
}

void DbfTable::UnindexRecord(std::uint32_t record) {
    std::string_view name = StoredName(record);
    auto it = std::lower_bound(nameOrder_.begin(), nameOrder_.end(), name, [this](std::uint32_t a, std::string_view k) {
        return CompareStoredNames(StoredName(a), k) < 0;
    });
    if (it == nameOrder_.end() || *it != record) return; // a duplicate name, never indexed
    // A later live record of the same name takes the freed place, so it does not stay hidden.
    for (std::uint32_t r = 0; r < count_; ++r) {
        if (r != record && data_[std::size_t{r} * recordLength_] != kDeletedMark &&
            CompareStoredNames(StoredName(r), name) == 0) {
            *it = r;
            return;
        }
    }
    nameOrder_.erase(it);
}

std::string DbfTable::LoadAppendedRecords() {
    char counter[4];
    if (!ReadAll(fd_, counter, sizeof counter, 4)) return WriteError("read");
    const std::uint32_t fileCount = Read32(counter);
    if (fileCount <= count_) return {};
    const std::size_t extra = std::size_t{fileCount - count_} * recordLength_;
    std::vector<char> records(extra);
    if (!ReadAll(fd_, records.data(), extra, headerLength_ + off_t{count_} * recordLength_)) return WriteError("read");
    data_.insert(data_.end(), records.begin(), records.end());
    for (std::uint32_t r = count_; r < fileCount; ++r) {
        if (data_[std::size_t{r} * recordLength_] == kDeletedMark) {
            SpellOutStoredOrder();
            ++count_;
            continue;
        }
        ++count_;
        IndexRecord(r);
        if (!nameIndexActive_ && !storedOrderImplicit_) customOrder_.push_back(r);
    }
    return {};
}

std::string DbfTable::Post() {
    if (state_ == State::Browse) return {};
    if (readOnly_) return WriteFailure();
    WriteLock lock(fd_);
    if (!lock.ok()) return WriteError("locked for writing");
    written_ = true;
    buffer_[0] = kLiveMark;
    std::string stamp(3, '\0');
    StampDate(stamp.data());

    if (state_ == State::Insert) {
        // Another instance may have appended since we read the table; take its records first.
        if (std::string error = LoadAppendedRecords(); !error.empty()) return error;
        const std::uint32_t record = count_;
        std::string bytes = buffer_ + kEndOfFile;
        if (!WriteAll(fd_, bytes.data(), bytes.size(), headerLength_ + off_t{record} * recordLength_))
            return WriteError("written");
        // Only now does the header count the record: a failure before this point leaves the old table.
        char header[7];
        std::memcpy(header, stamp.data(), 3);
        Write32(header + 3, record + 1);
        if (!WriteAll(fd_, header, sizeof header, 1)) return WriteError("written");
        std::memcpy(&header_[1], header, sizeof header);
        data_.insert(data_.end(), buffer_.begin(), buffer_.end());
        count_ = record + 1;
        IndexRecord(record);
        if (!nameIndexActive_ && !storedOrderImplicit_) customOrder_.push_back(record);
        state_ = State::Browse;
        buffer_.clear();
        if (!GoToRecord(record)) ClampCursor();
        return {};
    }

    const std::uint32_t record = editRecord_;
    if (!WriteAll(fd_, buffer_.data(), buffer_.size(), headerLength_ + off_t{record} * recordLength_))
        return WriteError("written");
    if (WriteAll(fd_, stamp.data(), 3, 1)) std::memcpy(&header_[1], stamp.data(), 3);
    char* stored = &data_[std::size_t{record} * recordLength_];
    const DbfColumn& name = columns_.front();
    const bool renamed = std::memcmp(stored + name.offset, buffer_.data() + name.offset,
                                     static_cast<size_t>(name.width)) != 0;
    if (renamed) UnindexRecord(record);
    std::memcpy(stored, buffer_.data(), recordLength_);
    if (renamed) IndexRecord(record);
    state_ = State::Browse;
    buffer_.clear();
    if (!GoToRecord(record)) ClampCursor();
    return {};
}

std::string DbfTable::MarkDeleted() {
    if (readOnly_) return WriteFailure();
    Cancel();
    if (empty()) return {};
    const std::uint32_t record = OrderAt(cursor_);
    WriteLock lock(fd_);
    if (!lock.ok()) return WriteError("locked for writing");
    written_ = true;
    if (!WriteAll(fd_, &kDeletedMark, 1, headerLength_ + off_t{record} * recordLength_)) return WriteError("written");
    UnindexRecord(record);
    SpellOutStoredOrder();
    data_[std::size_t{record} * recordLength_] = kDeletedMark;
    std::erase(customOrder_, record);
    ClampCursor();
    return {};
}

std::size_t DbfTable::MemoryBytes() const {
    return data_.capacity() + header_.capacity() + buffer_.capacity() +
           sizeof(std::uint32_t) * (nameOrder_.capacity() + customOrder_.capacity());
}

std::size_t DbfTable::deletedCount() const {
    std::size_t n = 0;
    for (std::uint32_t r = 0; r < count_; ++r) n += data_[std::size_t{r} * recordLength_] == kDeletedMark;
    return n;
}

std::string DbfTable::Pack() {
    if (readOnly_) return WriteFailure();
    if (access_ != Access::Exclusive) return "The table " + Quoted(path_) + " must be opened exclusively to be packed.";
    Cancel();
    if (deletedCount() == 0) return {};
    std::vector<char> kept;
    kept.reserve(data_.size());
    for (std::uint32_t r = 0; r < count_; ++r) {
        const char* record = &data_[std::size_t{r} * recordLength_];
        if (record[0] != kDeletedMark) kept.insert(kept.end(), record, record + recordLength_);
    }
    const auto keptCount = static_cast<std::uint32_t>(kept.size() / recordLength_);
    std::string header = header_;
    StampDate(&header[1]);
    Write32(&header[4], keptCount);
    std::string contents = header;
    contents.append(kept.data(), kept.size());
    contents += kEndOfFile;
    // A new file renamed over the old one: a failure at any point leaves the old table whole.
    if (std::string error = WriteFileAtomically(path_, contents); !error.empty()) return error;

    int fd = ::open(path_.c_str(), O_RDWR | O_CLOEXEC);
    if (fd >= 0) {
        ::flock(fd, LOCK_EX | LOCK_NB);
        ::close(fd_);
        fd_ = fd;
    } else {
        readOnly_ = true; // the packed file is in place, but this object can no longer write to it
    }
    header_ = std::move(header);
    data_ = std::move(kept);
    count_ = keptCount;
    customOrder_.clear();
    customOrder_.shrink_to_fit();
    storedOrderImplicit_ = true;
    RebuildNameIndex();
    First();
    return {};
}

} // namespace ampvane
