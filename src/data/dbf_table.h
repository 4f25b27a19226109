// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ampvane {

// dBase III table files (.DBF) with character, numeric, logical and date columns.
//
// The whole table is read into memory on open; every change is written through to the file at once,
// record first and header second, so a write that fails or a process killed half-way leaves a file
// whose header counts only complete records. Text is stored as Windows-1252 and handed out as UTF-8.
// The first column is the record's name; the table keeps a unique, case-sensitive, byte-ordered
// index on it in memory (rebuilt on open, kept up to date on every change).
//
// Shared use: several instances may hold a table; writes are serialised by a lock on the file, and an
// append first takes in the records other instances appended. Their edits and deletions are seen at
// the next open. Exclusive use (for Pack) is refused while anyone else holds the table.

enum class DbfType : char { Character = 'C', Numeric = 'N', Logical = 'L', Date = 'D', Other = '?' };

struct DbfColumnSpec {
    std::string name; // at most 10 characters, upper case by convention
    DbfType type = DbfType::Character;
    int width = 10;
    int decimals = 0;
};

struct DbfColumn {
    std::string name;
    DbfType type = DbfType::Character;
    char storedType = 'C'; // the type letter as found in the file
    int width = 0;
    int decimals = 0;
    int offset = 0; // within the record, after the deletion flag
    // Set by the catalogue, not stored in the file: the label used in messages and the allowed range.
    std::string label;
    std::optional<double> minimum;
    std::optional<double> maximum;
};

// The code-page byte written into new tables: Windows ANSI (1252).
inline constexpr std::uint8_t kDbfCodePage1252 = 0x03;

class DbfTable {
public:
    enum class Access { Shared, Exclusive };

    struct OpenResult {
        std::unique_ptr<DbfTable> table; // null on error
        std::string error;                // names the file
        std::vector<std::string> warnings; // the table opened, but read-only, with what could be read
    };

    // Opens a table; the active order is the stored order of the records not marked deleted.
    static OpenResult Open(const std::string& path, Access access = Access::Shared);

    // Writes a new empty table (replacing any file of that name). Returns an error text, empty on success.
    static std::string Create(const std::string& path, std::span<const DbfColumnSpec> columns,
                              std::uint8_t codePage = kDbfCodePage1252);

    ~DbfTable();
    DbfTable(const DbfTable&) = delete;
    DbfTable& operator=(const DbfTable&) = delete;

    const std::string& path() const { return path_; }
    const std::vector<DbfColumn>& columns() const { return columns_; }
    int ColumnIndex(std::string_view name) const; // ASCII case-insensitive; -1 when absent
    // For the catalogue to attach labels and ranges.
    std::vector<DbfColumn>& mutableColumns() { return columns_; }
    std::uint8_t codePage() const { return codePage_; }
    // True when the file was damaged: its readable records are shown and nothing is ever written.
    bool readOnly() const { return readOnly_; }

    // --- Orders ---
    // Makes the unique name index the active order: one entry per distinct name (the first record in
    // file order that carries it), ascending by the stored bytes with trailing blanks ignored. The index
    // is built when the table is opened and kept up to date by every change.
    void UseNameIndex();
    void RebuildNameIndex();
    bool nameIndexActive() const { return nameIndexActive_; }
    // Makes the given records (physical numbers, not deleted) the active order, e.g. a browser sort.
    void UseOrder(std::vector<std::uint32_t> records);

    // --- Navigation in the active order (TDataSet semantics: Next on the last record sets Eof and
    // stays there, Prior on the first sets Bof) ---
    std::size_t size() const;
    bool empty() const { return size() == 0; }
    bool Eof() const { return eof_; }
    bool Bof() const { return bof_; }
    void First();
    void Last();
    void Next();
    void Prior();
    std::size_t position() const { return cursor_; }
    void MoveTo(std::size_t position);
    // Physical record number of the current record; nullopt on an empty table.
    std::optional<std::uint32_t> RecordNumber() const;
    // Positions on the record with this physical number when it is in the active order.
    bool GoToRecord(std::uint32_t record);

    // Positions on the first name (in name order) not less than `name`; true when that name begins
    // with `name` (an index key search). Past the end: on the last record with Eof set, false.
    bool SeekName(std::string_view name);
    // Byte-order comparison of the current record's name with a UTF-8 name (as stored bytes).
    int CompareCurrentName(std::string_view name) const;

    // --- Reading the current record (or the edit buffer while editing) ---
    std::string Name() const { return Text(0); }
    // Character: trailing blanks removed, UTF-8. Numeric: the general number text ("2.38"), empty for
    // a blank field. Logical: "Yes" or empty. Date: YYYYMMDD or empty.
    std::string Text(int column) const;
    double Number(int column) const; // 0 for blank or unreadable fields
    bool Logical(int column) const;
    // By column name; an absent column reads as empty, 0 or false.
    std::string Text(std::string_view column) const { return Text(ColumnIndex(column)); }
    double Number(std::string_view column) const { return Number(ColumnIndex(column)); }
    bool Logical(std::string_view column) const { return Logical(ColumnIndex(column)); }

    // --- Changing records ---
    enum class State { Browse, Edit, Insert };
    State state() const { return state_; }
    // Starts a new blank record (not yet in the table).
    std::string Insert();
    // Starts editing the current record in place; Post writes that record even when the table was moved
    // or reordered in between.
    std::string Edit();
    // Writes a column of the edit buffer from text; numbers use `decimal` as separator. Returns the
    // column's error message (the buffer is then unchanged), empty on success.
    std::string SetText(int column, std::string_view text, char decimal = '.');
    std::string SetNumber(int column, double value);
    std::string SetLogical(int column, bool value);
    std::string SetText(std::string_view column, std::string_view text, char decimal = '.');
    std::string SetNumber(std::string_view column, double value);
    std::string SetLogical(std::string_view column, bool value);
    // Writes the edit buffer to the file. On failure the table and the file keep their old content
    // and the edit stays open so the caller may cancel it.
    std::string Post();
    void Cancel();
    // Marks the current record deleted; it leaves every order and the table moves to the following
    // record. The record stays in the file until Pack.
    std::string MarkDeleted();

    // Physically removes records marked deleted: writes a new file and renames it over the old one.
    // Needs exclusive access. Does nothing when no record is marked.
    std::string Pack();

    // Records marked deleted in the file (visible to Pack only).
    std::size_t deletedCount() const;
    std::size_t storedCount() const { return count_; }
    // Bytes the open table holds for its records, header and orders.
    std::size_t MemoryBytes() const;

private:
    DbfTable() = default;
    const DbfColumn* ColumnAt(int index) const;
    std::string MissingColumn(int index) const;
    std::string NoSuchColumn(std::string_view column) const;
    const char* CurrentRecord() const;
    std::string_view StoredName(std::uint32_t record) const;
    std::string WriteError(const std::string& what) const;
    std::string WriteFailure() const;
    std::string LoadAppendedRecords();
    void IndexRecord(std::uint32_t record);
    void UnindexRecord(std::uint32_t record);
    void ClampCursor();
    // The stored order of a table without deleted records is every record in file order; it is kept
    // implicit so that a big table costs no list of record numbers.
    bool OrderImplicit() const { return storedOrderImplicit_ && order_ == &customOrder_; }
    std::uint32_t OrderAt(std::size_t position) const;
    void SpellOutStoredOrder();
    std::string FormatNumberField(const DbfColumn& column, double value, std::string& out) const;
    std::string SetField(int column, std::string_view bytes);

    std::string path_;
    int fd_ = -1;
    Access access_ = Access::Shared;
    bool readOnly_ = false;
    bool written_ = false;
    std::uint8_t version_ = 0x03;
    std::uint8_t codePage_ = kDbfCodePage1252;
    std::uint32_t headerLength_ = 0;
    std::uint32_t recordLength_ = 0;
    std::uint32_t count_ = 0; // complete records held in data_
    std::vector<DbfColumn> columns_;
    std::string header_; // header bytes as read, kept for Pack
    std::vector<char> data_; // count_ records of recordLength_ bytes

    std::vector<std::uint32_t> nameOrder_; // unique name index
    std::vector<std::uint32_t> customOrder_;
    const std::vector<std::uint32_t>* order_ = &customOrder_;
    bool storedOrderImplicit_ = false;
    bool nameIndexActive_ = false;
    std::size_t cursor_ = 0;
    bool eof_ = true;
    bool bof_ = true;

    State state_ = State::Browse;
    std::string buffer_; // edit buffer while editing or inserting
    std::uint32_t editRecord_ = 0; // the record Edit started on; Post writes there whatever the cursor did since
};

// Compares two stored names (Windows-1252 bytes) as the name index does.
int CompareStoredNames(std::string_view a, std::string_view b);

} // namespace ampvane
