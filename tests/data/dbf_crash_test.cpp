// SPDX-License-Identifier: GPL-3.0-or-later
// A table must open with every record posted before a writer died or a write failed half-way.

#include <csignal>
#include <cstdio>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "data/dbf_table.h"
#include "support/test_paths.h"
#include "table_test_support.h"

namespace ampvane {
namespace {

using testing::MakeNamedTable;
using testing::TempDir;

std::string RecordName(int i) { return "Motor " + std::to_string(100000 + i); }

// In the child: appends records forever, telling the parent each one that Post confirmed.
[[noreturn]] void AppendForever(const std::string& path, int confirmations) {
    auto opened = DbfTable::Open(path);
    if (!opened.table) _exit(3);
    DbfTable& table = *opened.table;
    for (int i = 0;; ++i) {
        if (!table.Insert().empty() || !table.SetText(0, RecordName(i)).empty() ||
            !table.SetNumber(1, 1000 + i).empty() || !table.Post().empty())
            _exit(4);
        char byte = 1;
        if (::write(confirmations, &byte, 1) != 1) _exit(5);
    }
}

void CheckRecords(const std::string& path, int atLeast) {
    auto opened = DbfTable::Open(path);
    ASSERT_TRUE(opened.table) << opened.error;
    EXPECT_TRUE(opened.warnings.empty()) << opened.warnings.front();
    DbfTable& table = *opened.table;
    EXPECT_FALSE(table.readOnly());
    ASSERT_GE(static_cast<int>(table.size()), atLeast);
    // Stored order is append order: every record is whole and in its place.
    int i = 0;
    for (table.First(); !table.Eof(); table.Next(), ++i) {
        ASSERT_EQ(table.Name(), RecordName(i));
        ASSERT_EQ(table.Number(1), 1000 + i);
    }
    // And the table takes new records after the survivor.
    ASSERT_EQ(table.Insert(), "");
    ASSERT_EQ(table.SetText(0, "After"), "");
    ASSERT_EQ(table.Post(), "");
}

TEST(DbfCrashSafety, AppenderKilledMidWriteLeavesEveryPostedRecord) {
    for (int round = 0; round < 12; ++round) {
        TempDir dir;
        const std::string path = MakeNamedTable(dir.file("MOTOR8.DBF"), ComponentTableKind::Motor, {});
        int pipeEnds[2];
        ASSERT_EQ(::pipe(pipeEnds), 0);
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(pipeEnds[0]);
            AppendForever(path, pipeEnds[1]);
        }
        ::close(pipeEnds[1]);
        // Wait for a number of confirmed posts that differs per round, then kill without warning.
        const int wanted = 20 + 23 * round;
        int confirmed = 0;
        char byte;
        while (confirmed < wanted && ::read(pipeEnds[0], &byte, 1) == 1) ++confirmed;
        ::kill(child, SIGKILL);
        // Posts confirmed between our last read and the kill count too.
        while (::read(pipeEnds[0], &byte, 1) == 1) ++confirmed;
        ::close(pipeEnds[0]);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the child stopped by itself with " << WEXITSTATUS(status);
        CheckRecords(path, confirmed);
    }
}

TEST(DbfCrashSafety, WriteFailingHalfWayLeavesTheTableAsItWas) {
    TempDir dir;
    const std::string path = MakeNamedTable(dir.file("MOTOR8.DBF"), ComponentTableKind::Motor, {});
    {
        auto opened = DbfTable::Open(path);
        for (int i = 0; i < 3; ++i) {
            ASSERT_EQ(opened.table->Insert(), "");
            ASSERT_EQ(opened.table->SetText(0, RecordName(i)), "");
            ASSERT_EQ(opened.table->SetNumber(1, 1000 + i), "");
            ASSERT_EQ(opened.table->Post(), "");
        }
    }
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The file may grow by a few bytes only: the next record is written half-way and then fails.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{static_cast<rlim_t>(info.st_size + 20), static_cast<rlim_t>(info.st_size + 20)};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(2);
        auto opened = DbfTable::Open(path);
        if (!opened.table) _exit(3);
        DbfTable& table = *opened.table;
        if (!table.Insert().empty() || !table.SetText(0, RecordName(3)).empty()) _exit(4);
        std::string error = table.Post();
        if (error.find("could not be written") == std::string::npos) _exit(5);
        if (table.size() != 3) _exit(6);
        table.Cancel();
        _exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_GT(after.st_size, info.st_size); // part of the record did reach the file
    CheckRecords(path, 3);
}

} // namespace
} // namespace ampvane
