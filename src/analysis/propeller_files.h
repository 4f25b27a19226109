// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/measured_propeller.h"

// Measured propeller files: our own text format, and the importers for the formats people have
// (wind-tunnel static and per-rpm files, makers' per-rpm performance tables, a plain CSV).
//
// Our own format, one propeller a file ("#" starts a comment line, numbers always with "."):
//
//     Begin Ampvane Propeller
//     Name=APC 10x5
//     Diameter=10
//     Pitch=5
//     Blades=2
//     Data=measured            (or computed: a maker's blade-element tables)
//     Source=free text
//     Static
//     RPM CT CP rows, rpm ascending
//     Run 5986
//     J CT CP rows, J ascending
//     ...                      (more Run blocks, rpm ascending)
//     End Ampvane Propeller
//
// Every failure names the file and the line; an import either gives a whole propeller or nothing.

namespace ampvane {

struct PropellerFile {
    std::string Path; // as given: messages name it, and the wind-tunnel layout reads rpm and size from it
    std::string Text;
};

// What the user gives on import; each overrides what the files say.
struct PropellerImportGiven {
    std::optional<std::string> Name;
    std::optional<double> Diameter, Pitch; // in
    std::optional<int> Blades;
    std::optional<double> Rpm; // of a single per-rpm wind-tunnel file whose rpm is written nowhere
    // Sizes for files that give none (Diameter and Pitch above override the files instead), and what the
    // message for a size still missing asks the user to do.
    std::optional<double> FallbackDiameter{}, FallbackPitch{};
    std::string DiameterHint = "give it with --diameter (inches)", PitchHint = "give it with --pitch (inches)";
};

struct PropellerImport {
    std::optional<MeasuredPropeller> Propeller; // empty on failure
    std::string Error;                          // the one message of a failure
    std::vector<std::string> Notes;             // repairs made (rows skipped, duplicates dropped, ...)
};

// Limits that keep a stored propeller small enough to evaluate in every cell of a sweep.
inline constexpr std::size_t kMaxPropellerRows = 100000;
inline constexpr std::size_t kMaxPropellerRuns = 1000;

// Reads the files (one of our own, or wind-tunnel files, or one maker's table, or one CSV).
PropellerImport ImportPropellerFiles(std::span<const PropellerFile> files, const PropellerImportGiven& given);

// Our own format.
std::string WritePropellerText(const MeasuredPropeller& propeller);
PropellerImport ReadPropellerText(const PropellerFile& file);

// A name the Propellers folder can keep as a file name: not empty, at most 64 characters, no "/",
// "\", control character or leading ".". Empty when acceptable, else why not.
std::string PropellerNameProblem(std::string_view name);

} // namespace ampvane
