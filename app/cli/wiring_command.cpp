// SPDX-License-Identifier: GPL-3.0-or-later
// wiring: the wiring wizard's diagram drawn headless from a WIREINFO text and the counts.
#include "cli_command.h"
#include "picture/picture.h"
#include "tools/wiring.h"

namespace ampvane::cli {

void RegisterWiringCommand(CliRegistry& registry) {
    static struct {
        std::optional<std::string> wireInfo, output;
        std::optional<int> batteries, speedControls, parallelMotors, motorRows;
        bool brushless = false;
    } a;
    CLI::App& app = registry.Add(
        "wiring",
        "  wiring -o FILE [--batteries 1-6] [--speed-controls 1-6] [--parallel-motors 1-4]\n"
        "               [--motor-rows 1-6] [--brushless] -- WIREINFO\n"
        "               the wiring diagram as a PNG, JPEG or Windows bitmap by the file's ending;\n"
        "               WIREINFO is the options text stored with a project, such as -1;3;2; (after\n"
        "               \"--\" because it may start with \"-\")\n",
        [] {
            if (!a.wireInfo) throw UsageFailure("wiring needs a WIREINFO text");
            if (!a.output || a.output->empty()) throw UsageFailure("wiring needs -o FILE");
            WiringState state;
            RestoreWireInfo(state, *a.wireInfo);
            const auto count = [](const std::optional<int>& value, int high, const char* option, int& target) {
                if (!value) return;
                if (*value < 1 || *value > high)
                    throw UsageFailure(std::string(option) + " must be 1 to " + std::to_string(high));
                target = *value;
            };
            count(a.batteries, kMaxBatteries, "--batteries", state.batteries);
            count(a.speedControls, kMaxSpeedControls, "--speed-controls", state.speedControls);
            count(a.parallelMotors, kMaxParallelMotors, "--parallel-motors", state.parallelMotors);
            count(a.motorRows, kMaxMotorRows, "--motor-rows", state.motorRows);
            state.brushless = a.brushless;
            if (!WiringViewOf(state).possible) return Rejected(std::string(kNotPossibleText));
            const WiringDrawing drawing = DrawWiring(state);
            const std::vector<std::uint8_t> rgb = RasterizeWiring(drawing);
            RgbImage image(drawing.width, drawing.height);
            for (int y = 0; y < drawing.height; ++y)
                std::copy_n(rgb.begin() + static_cast<std::ptrdiff_t>(y) * drawing.width * 3, drawing.width * 3,
                            image.Row(y));
            std::string error;
            switch (PictureFormatForFileName(*a.output)) {
            case PictureFormat::Jpeg: error = WriteJpeg(*a.output, image); break;
            case PictureFormat::Png: error = WritePng(*a.output, image); break;
            default: error = WriteBmp(*a.output, image); break;
            }
            return error.empty() ? kSuccess : Rejected(error);
        });
    app.add_option("wireinfo", a.wireInfo);
    app.add_option("-o,--output", a.output);
    app.add_option("--batteries", a.batteries);
    app.add_option("--speed-controls", a.speedControls);
    app.add_option("--parallel-motors", a.parallelMotors);
    app.add_option("--motor-rows", a.motorRows);
    app.add_flag("--brushless", a.brushless);
}

} // namespace ampvane::cli
