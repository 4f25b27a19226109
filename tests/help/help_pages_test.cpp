// SPDX-License-Identifier: GPL-3.0-or-later
// Every help topic the program can ask for has its page, and every link between pages leads somewhere.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "help/help_topics.h"

namespace ampvane {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const fs::path kSource = AMPVANE_SOURCE_DIR;
const fs::path kPages = kSource / "src/help/pages";

// Topic numbers as the code writes them: named topic constants, a message's topic, a control's F1 topic,
// a direct help request, and the topic prefix of a tip.
std::map<int, std::string> TopicsUsedInCode() {
    static const std::regex patterns[] = {
        std::regex(R"(HelpTopic\w*\s*=\s*(\d+))"),
        std::regex(R"(helpTopic\s*=\s*(\d+))"),
        std::regex(R"(SetHelpTopic\([^;]*?,\s*(\d+)\s*\))"),
        std::regex(R"(ShowHelpTopic\(\s*(\d+)\s*\))"),
        std::regex(R"(HelpContext\w*\s*=\s*(\d+))"),
    };
    // {"page caption", "title", topic} of the wizard's pages; {"control", topic} of the workbench's fields.
    static const std::regex pageTable(R"(\{\s*"[^"]*"\s*,\s*"[^"]*"\s*,\s*(\d+)\s*\})");
    static const std::regex fieldTable(R"(\{\s*"\w+"\s*,\s*(\d+)\s*\})");
    std::map<int, std::string> topics;
    for (const char* folder : {"src", "app"})
        for (const auto& entry : fs::recursive_directory_iterator(kSource / folder)) {
            const auto ext = entry.path().extension();
            if (ext != ".h" && ext != ".cpp") continue;
            const std::string text = ReadAll(entry.path());
            const std::string file = entry.path().filename().string();
            std::vector<const std::regex*> used;
            for (const std::regex& pattern : patterns) used.push_back(&pattern);
            if (file.find("wizard_form") != std::string::npos) used.push_back(&pageTable);
            if (file.find("help") != std::string::npos) used.push_back(&fieldTable);
            for (const std::regex* pattern : used)
                for (std::sregex_iterator it(text.begin(), text.end(), *pattern), end; it != end; ++it)
                    if (const int topic = std::stoi((*it)[1]); topic > 0) topics.emplace(topic, file);
        }
    const std::string tips = ReadAll(kSource / "data/initial/lists/Tips.lst");
    static const std::regex tipTopic(R"((?:^|\n)(\d+)\|)");
    for (std::sregex_iterator it(tips.begin(), tips.end(), tipTopic), end; it != end; ++it)
        topics.emplace(std::stoi((*it)[1]), "Tips.lst");
    return topics;
}

TEST(HelpPages, EveryTopicUsedInTheCodeHasItsPage) {
    const auto topics = TopicsUsedInCode();
    // The scan must see the program's own topics, or it proves nothing.
    for (const int known : {kContentsHelpTopic, kTipOfDayHelpTopic, 20, 605, 412, 9071}) EXPECT_TRUE(topics.contains(known)) << known;
    for (const auto& [topic, where] : topics)
        EXPECT_TRUE(fs::exists(kPages / HelpPageName(topic))) << "no page for help topic " << topic << " (" << where << ")";
}

TEST(HelpPages, EveryLinkResolvesAndEveryPageHasATitleAndIsIndexed) {
    static const std::regex href(R"(href="([^"#]*)(#[^"]*)?")");
    const std::string index = ReadAll(kPages / "index.htm");
    int pages = 0;
    for (const auto& entry : fs::directory_iterator(kPages)) {
        const std::string name = entry.path().filename().string();
        const std::string text = ReadAll(entry.path());
        ++pages;
        EXPECT_NE(text.find("<title>"), std::string::npos) << name;
        EXPECT_NE(text.find("charset=\"utf-8\""), std::string::npos) << name;
        if (name != "index.htm") {
            EXPECT_NE(index.find("\"" + name + "\""), std::string::npos) << name << " not in the index";
        }
        for (std::sregex_iterator it(text.begin(), text.end(), href), end; it != end; ++it) {
            const std::string target = (*it)[1];
            if (target.starts_with("http:") || target.starts_with("https:") || target.empty()) continue;
            EXPECT_TRUE(fs::exists(kPages / target)) << name << " links to missing " << target;
        }
    }
    EXPECT_GT(pages, 40);
}

} // namespace
} // namespace ampvane
