// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/propeller_files.h"
#include "analysis/propeller_store.h"

#include <gtest/gtest.h>

#include <charconv>
#include <filesystem>
#include <fstream>

#include "common/file_write.h"
#include "support/test_paths.h"

namespace ampvane {
namespace {

std::string Num(double value) {
    char buffer[32];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

// A small data set in every layout: the two-constant model at three rpm, J from 0 to 0.9.
MeasuredPropeller Sample() {
    const double rpms[] = {4000, 6000, 8000};
    std::vector<double> js;
    for (int k = 0; k <= 9; ++k) js.push_back(0.1 * k);
    return TabulateTwoConstantModel(10, 6, 2, 1.0, 0.95, rpms, js);
}

std::string Csv(const MeasuredPropeller& p) {
    std::string text = "CT,rpm,CP,J\n";
    for (const PropellerRun& run : p.Runs)
        for (const AdvancePoint& a : run.Points) text += Num(a.CT) + "," + Num(run.Rpm) + "," + Num(a.CP) + "," + Num(a.J) + "\n";
    return text;
}

// Wind-tunnel files: the static file and one file a run (J > 0 only), the rpm on a heading line.
std::vector<PropellerFile> WindTunnel(const MeasuredPropeller& p) {
    std::vector<PropellerFile> files;
    std::string still = "RPM CT CP\n";
    for (const StaticPoint& s : p.Static) still += Num(s.Rpm) + "  " + Num(s.CT) + "  " + Num(s.CP) + "\n";
    files.push_back({"data/prop_10x6_static.txt", still});
    for (const PropellerRun& run : p.Runs) {
        std::string text = "RPM = " + Num(run.Rpm) + "\nJ CT CP eta\n";
        for (const AdvancePoint& a : run.Points)
            if (a.J > 0) text += Num(a.J) + " " + Num(a.CT) + " " + Num(a.CP) + " " + Num(a.J * a.CT / a.CP) + "\n";
        files.push_back({"data/prop_10x6_run" + std::to_string(files.size()) + ".txt", text});
    }
    return files;
}

std::string MakerTables(const MeasuredPropeller& p, bool withNaN) {
    std::string text = "         10x6E.dat\n\n PERFORMANCE DATA (versus advance ratio and MPH)\n\n";
    for (const PropellerRun& run : p.Runs) {
        text += "         PROP RPM =     " + Num(run.Rpm) + "\n\n";
        text += "   V          J           Pe          Ct          Cp         PWR        Torque     Thrust\n";
        text += "  (mph)      (Adv_Ratio)  -           -           -          (Hp)       (In-Lbf)   (Lbf)\n";
        for (const AdvancePoint& a : run.Points)
            text += "   1.0   " + Num(a.J) + "   0.5   " + Num(a.CT) + "   " + Num(a.CP) + "   0.1   1.0   1.0\n";
        if (withNaN) text += "   9.9   1.2   -NaN   -NaN   -NaN   -NaN   -NaN   -NaN\n";
        text += "\n";
    }
    return text;
}

void ExpectSameData(const MeasuredPropeller& a, const MeasuredPropeller& b, const std::string& what) {
    EXPECT_EQ(a.Diameter, b.Diameter) << what;
    EXPECT_EQ(a.Pitch, b.Pitch) << what;
    EXPECT_EQ(a.Blades, b.Blades) << what;
    ASSERT_EQ(a.Static.size(), b.Static.size()) << what;
    for (std::size_t i = 0; i < a.Static.size(); ++i) {
        EXPECT_EQ(a.Static[i].Rpm, b.Static[i].Rpm) << what;
        EXPECT_EQ(a.Static[i].CT, b.Static[i].CT) << what;
        EXPECT_EQ(a.Static[i].CP, b.Static[i].CP) << what;
    }
    ASSERT_EQ(a.Runs.size(), b.Runs.size()) << what;
    for (std::size_t r = 0; r < a.Runs.size(); ++r) {
        EXPECT_EQ(a.Runs[r].Rpm, b.Runs[r].Rpm) << what;
        ASSERT_EQ(a.Runs[r].Points.size(), b.Runs[r].Points.size()) << what;
        for (std::size_t k = 0; k < a.Runs[r].Points.size(); ++k) {
            EXPECT_EQ(a.Runs[r].Points[k].J, b.Runs[r].Points[k].J) << what;
            EXPECT_EQ(a.Runs[r].Points[k].CT, b.Runs[r].Points[k].CT) << what;
            EXPECT_EQ(a.Runs[r].Points[k].CP, b.Runs[r].Points[k].CP) << what;
        }
    }
}

// Each layout: write, import, export in our own format, import that: the same propeller every time.
TEST(PropellerFiles, EveryLayoutRoundTripsThroughOurOwnFormat) {
    const MeasuredPropeller sample = Sample();
    MeasuredPropeller windTunnelData = sample; // its runs carry no J = 0 point
    for (PropellerRun& run : windTunnelData.Runs) run.Points.erase(run.Points.begin());
    struct Case {
        const char* layout;
        std::vector<PropellerFile> files;
        PropellerImportGiven given;
        const MeasuredPropeller& expected;
        PropellerDataKind kind;
    };
    const Case cases[] = {
        {"csv", {{"sample.csv", Csv(sample)}}, {std::nullopt, 10.0, 6.0, std::nullopt, std::nullopt}, sample,
         PropellerDataKind::Measured},
        {"wind tunnel", WindTunnel(sample), {}, windTunnelData, PropellerDataKind::Measured},
        {"maker", {{"10x6E.dat", MakerTables(sample, false)}}, {}, sample, PropellerDataKind::Computed},
        {"ours", {{"own.avprop", WritePropellerText(sample)}}, {}, sample, PropellerDataKind::Computed},
    };
    for (const Case& c : cases) {
        const PropellerImport first = ImportPropellerFiles(c.files, c.given);
        ASSERT_TRUE(first.Propeller) << c.layout << ": " << first.Error;
        EXPECT_EQ(first.Propeller->Kind, c.kind) << c.layout;
        ExpectSameData(*first.Propeller, c.expected, c.layout);
        const std::string exported = WritePropellerText(*first.Propeller);
        const PropellerImport again = ReadPropellerText({"exported.avprop", exported});
        ASSERT_TRUE(again.Propeller) << c.layout << ": " << again.Error;
        ExpectSameData(*again.Propeller, *first.Propeller, c.layout);
        EXPECT_EQ(again.Propeller->Name, first.Propeller->Name);
        EXPECT_EQ(again.Propeller->Source, first.Propeller->Source);
        EXPECT_EQ(WritePropellerText(*again.Propeller), exported) << c.layout;
    }
}

// Hostile and awkward files: a message naming the file and the line, or a documented repair.
TEST(PropellerFiles, HostileFilesGiveAMessageOrADocumentedRepair) {
    const PropellerImportGiven sized{std::nullopt, 10.0, 6.0, std::nullopt, std::nullopt};
    PropellerImportGiven badName = sized;
    badName.Name = "a/b";
    std::string million = "rpm,J,CT,CP\n";
    million.reserve(25'000'000);
    for (int i = 0; i < 1'000'000; ++i) million += std::to_string(1000 + i % 900) + "," + std::to_string(i / 900 % 5) + ".1,0.1,0.05\n";
    struct Case {
        const char* what;
        std::vector<PropellerFile> files;
        PropellerImportGiven given;
        std::string error; // empty: must import
        std::string note;  // a repair that must be reported
    };
    const Case cases[] = {
        {"missing value", {{"a.csv", "rpm,J,CT,CP\n4000,0.1,,0.05\n"}}, sized, "a.csv, line 2: the CT value is missing.", ""},
        {"no number", {{"r_4000.txt", "J CT CP eta\n0.1 0.1 abc 0.3\n"}}, sized, "r_4000.txt, line 2: \"abc\" is not a number.", ""},
        {"hole in a row", {{"r_4000.txt", "J CT CP eta\n0.1 0.1 0.05 0.2\n0.2 0.09\n"}}, sized,
         "r_4000.txt, line 3: 3 numbers expected (J CT CP eta), found 2.", ""},
        {"conflicting rows", {{"a.csv", "rpm,J,CT,CP\n4000,0.1,0.1,0.05\n4000,0.2,0.09,0.05\n4000,0.1,0.11,0.05\n"}}, sized,
         "a.csv, line 2 and a.csv, line 4: two rows at 4000 rpm and J 0.1 give different values.", ""},
        {"exact duplicates", {{"a.csv", "rpm,J,CT,CP\n4000,0.1,0.1,0.05\n4000,0.1,0.1,0.05\n"}}, sized, "", "1 duplicate row(s) dropped."},
        {"J out of order", {{"a.csv", "rpm,J,CT,CP\n4000,0.3,0.08,0.04\n4000,0.1,0.1,0.05\n"}}, sized, "", "rows sorted by J"},
        {"a single rpm", {{"a.csv", "rpm,J,CT,CP\n4000,0,0.1,0.05\n4000,0.4,0.06,0.04\n"}}, sized, "", ""},
        {"negative CP with thrust", {{"a.csv", "rpm,J,CT,CP\n4000,0.1,0.1,-0.05\n"}}, sized,
         "a.csv, line 2: a negative power coefficient (-0.05) with positive thrust.", ""},
        {"windmilling with negative CP", {{"a.csv", "rpm,J,CT,CP\n4000,0.1,0.1,0.05\n4000,0.9,-0.02,-0.01\n"}}, sized, "",
         "1 row(s) past the windmill point with negative power dropped."},
        {"negative CT past windmill", {{"a.csv", "rpm,J,CT,CP\n4000,0.1,0.1,0.05\n4000,0.9,-0.02,0.01\n"}}, sized, "", ""},
        {"airspeed for J", {{"a.csv", "rpm,J,CT,CP\n4000,25,0.1,0.05\n"}}, sized,
         "a.csv, line 2: the advance ratio J 25 is above 5 (an airspeed rather than J?).", ""},
        {"watts for CP", {{"a.csv", "rpm,J,CT,CP\n4000,0.2,0.1,150\n"}}, sized,
         "a.csv, line 2: CP 150 is no power coefficient (a power in watts?).", ""},
        {"revolutions per second", {{"s.txt", "RPM CT CP\n60 0.1 0.05\n"}}, sized,
         "s.txt, line 2: a speed of 60 rpm is below 100 rpm (revolutions per second rather than per minute?).", ""},
        {"a million rows", {{"big.csv", million}}, sized,
         "big.csv, line 100002: more than 100,000 data rows; a measured propeller holds at most 100,000.", ""},
        {"rpm nowhere", {{"run.txt", "J CT CP eta\n0.1 0.1 0.05 0.2\n"}}, sized,
         "run.txt: the rpm of this run is written neither in the file nor in its name; give it with --rpm.", ""},
        {"rpm given", {{"run.txt", "J CT CP eta\n0.1 0.1 0.05 0.2\n"}}, {std::nullopt, 10.0, 6.0, std::nullopt, 5000.0}, "", ""},
        {"no diameter", {{"a.csv", "rpm,J,CT,CP\n4000,0.1,0.1,0.05\n"}}, {},
         "a.csv: the diameter is written nowhere; give it with --diameter (inches).", ""},
        {"nearly the same rpm over different J ranges",
         {{"p_5986.txt", "J CT CP eta\n0.1 0.1 0.05 0.2\n0.585 0.05 0.04 0.7\n"},
          {"p_6009.txt", "J CT CP eta\n0.491 0.06 0.042 0.7\n0.817 0.01 0.02 0.4\n"}},
         sized, "", ""},
        {"-NaN rows", {{"10x6.dat", MakerTables(Sample(), true)}}, {}, "", "3 row(s) holding -NaN skipped."},
        {"no CP column", {{"a.csv", "rpm,J,CT,power\n4000,0.1,0.1,0.05\n"}}, sized,
         "a.csv, line 1: the header names no CP column (rpm, J, CT and CP are needed, in any order).", ""},
        {"mixed layouts", {{"a.csv", "rpm,J,CT,CP\n"}, {"b_4000.txt", "J CT CP eta\n"}}, sized,
         "a.csv, b_4000.txt: only wind-tunnel files come several at once; import a maker's table, a CSV or a propeller file alone.", ""},
        {"empty", {{"a.txt", ""}}, sized, "a.txt: no data rows.", ""},
        {"own format cut short", {{"p.avprop", "Begin Ampvane Propeller\nName=P\nDiameter=10\nPitch=6\nStatic\n4000 0.1 0.05\n"}}, {},
         "p.avprop: the file ends without its \"End Ampvane Propeller\" line.", ""},
        {"bad name", {{"a.csv", "rpm,J,CT,CP\n4000,0.1,0.1,0.05\n"}}, badName,
         "The name \"a/b\" may not hold \"/\", \"\\\" or control characters.", ""},
    };
    for (const Case& c : cases) {
        const PropellerImport result = ImportPropellerFiles(c.files, c.given);
        if (c.error.empty()) {
            EXPECT_TRUE(result.Propeller) << c.what << ": " << result.Error;
        } else {
            EXPECT_FALSE(result.Propeller) << c.what;
            EXPECT_EQ(result.Error, c.error) << c.what;
        }
        if (!c.note.empty()) {
            bool found = false;
            for (const std::string& note : result.Notes) found = found || note.find(c.note) != std::string::npos;
            EXPECT_TRUE(found) << c.what;
        }
    }
}

TEST(PropellerStore, ListRenameDeleteExportKeepTheFolderWhole) {
    testing::TempDir dir;
    const PropellerStore store(dir.file("Propellers"));
    EXPECT_TRUE(store.Names().empty());
    MeasuredPropeller prop = Sample();
    prop.Name = "Wood 10x6";
    ASSERT_EQ(store.Save(prop, false), "");
    prop.Name = "APC 10x6";
    ASSERT_EQ(store.Save(prop, false), "");
    EXPECT_EQ(store.Names(), (std::vector<std::string>{"APC 10x6", "Wood 10x6"}));

    const std::string before = WritePropellerText(*store.Load("APC 10x6").Propeller);
    EXPECT_NE(store.Save(prop, false), "");                        // no silent replace
    EXPECT_NE(store.Rename("Wood 10x6", "APC 10x6"), "");           // nor by renaming onto it
    EXPECT_EQ(store.Names().size(), 2u);
    EXPECT_EQ(store.Rename("Wood 10x6", "Birch 10x6"), "");
    EXPECT_EQ(store.Names(), (std::vector<std::string>{"APC 10x6", "Birch 10x6"}));
    EXPECT_EQ(store.Load("Birch 10x6").Propeller->Name, "Birch 10x6");

    const std::string exported = dir.file("out.avprop");
    EXPECT_EQ(store.Export("APC 10x6", exported), "");
    std::string text;
    ASSERT_TRUE(ReadWholeFile(exported, text));
    EXPECT_EQ(text, before);

    EXPECT_EQ(store.Delete("APC 10x6"), "");
    EXPECT_EQ(store.Delete("APC 10x6"), UnknownPropellerMessage("APC 10x6"));
    EXPECT_EQ(store.Names(), (std::vector<std::string>{"Birch 10x6"}));

    // A damaged file is reported with its line, not taken half.
    std::ofstream(store.PathOf("Broken")) << "Begin Ampvane Propeller\nName=Broken\nDiameter=ten\n";
    const PropellerImport broken = store.Load("Broken");
    EXPECT_FALSE(broken.Propeller);
    EXPECT_EQ(broken.Error, store.PathOf("Broken") + ", line 3: the Diameter \"ten\" is not a number.");
}

} // namespace
} // namespace ampvane
