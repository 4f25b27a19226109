// SPDX-License-Identifier: GPL-3.0-or-later
// Each estimator's Apply through the workbench session: the fields it writes and no others, and one
// "changed" signal for the windows to show them.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

#include "project/project_text.h"
#include "support/recording_messages.h"
#include "tools/airfoil_estimator.h"
#include "tools/drive_estimators.h"
#include "tools/motor_designer.h"
#include "tools/motor_from_tests.h"
#include "tools/wiring.h"
#include "workbench/workbench_session.h"

namespace ampvane {
namespace {

using C = WorkbenchControl;
using testing::RecordingMessages;

struct ToolCase {
    const char* tool;
    std::function<void(WorkbenchSession&, MessageSink&)> apply;
    std::set<C> changes; // every control whose text or box the Apply changes
};

// Control names, so that a failure says which fields differ.
std::set<std::string> Names(const std::set<C>& controls) {
    std::set<std::string> names;
    for (const C id : controls) names.insert(std::string(ControlInfo(id).name));
    return names;
}

std::set<std::string> Differences(const WorkbenchFields& before, const WorkbenchFields& after) {
    std::set<C> changed;
    for (const WorkbenchControlInfo& info : WorkbenchControls())
        if (before.Text(info.id) != after.Text(info.id) || before.Checked(info.id) != after.Checked(info.id))
            changed.insert(info.id);
    return Names(changed);
}

TEST(WorkbenchSessionTools, EachEstimatorWritesItsFieldsThroughTheSession) {
    const ToolCase cases[] = {
        {"motor from test data",
         [](WorkbenchSession& s, MessageSink&) {
             s.ApplyToolResult([](WorkbenchFields& f) { ApplyMotorConstants("2267", "1.4", "0.096", f); });
         },
         {C::MotorConstantEdit, C::IdleCurrentEdit, C::ArmatureResistanceEdit}},
        {"motor designer",
         [](WorkbenchSession& s, MessageSink& m) {
             MotorDesignInput input;
             input.motorConstant = "1000";
             input.idleCurrent = "1.5";
             input.armatureResistance = "0.1";
             input.motorWeight = "5.5";
             input.windings = "10";
             input.wireGauge = "20";
             input.newWindings = "8";
             input.newName = "Rewound Motor";
             const auto r = ComputeMotorDesign(input, {}, {}, m);
             s.ApplyToolResult([&](WorkbenchFields& f) { ApplyMotorDesign(input, r, f); });
         },
         {C::MotorNameEdit, C::MotorConstantEdit, C::IdleCurrentEdit, C::ArmatureResistanceEdit, C::MotorWeightEdit}},
        {"propeller constants",
         [](WorkbenchSession& s, MessageSink& m) {
             PropConstantInput input;
             input.bench.motor = {1000, 1, 0.1};
             input.terminalVoltage = "10";
             input.motorCurrent = "10";
             input.diameter = "10";
             input.pitch = "6";
             input.rpm = "8000";
             input.thrust = "15";
             const auto r = ComputePropConstants(input, {}, m);
             s.ApplyToolResult([&](WorkbenchFields& f) { ApplyPropConstants(input, r, s.Units(), f, s.Locale(), m); });
         },
         {C::PropellerDiameterFromEdit, C::PropellerPitchFromEdit, C::PropellerDiameterToEdit,
          C::PropellerPitchToEdit, C::PropConstantEdit, C::ThrustConstantEdit}},
        {"fan coefficients",
         [](WorkbenchSession& s, MessageSink& m) {
             FanCoefficientInput input;
             input.bench.motor = {3000, 3, 0.05};
             input.fanDiameter = "3.5";
             input.hubDiameter = "1.5";
             input.rpm = "30000";
             input.effluxVelocity = "100";
             input.thrust = "32";
             input.motorCurrent = "30";
             const auto r = ComputeFanCoefficients(input, {}, m);
             s.ApplyToolResult([&](WorkbenchFields& f) { ApplyFanCoefficients(input, r, s.Units(), f, s.Locale(), m); });
         },
         {C::FanDiameterEdit, C::HubDiameterEdit, C::FanPitchEdit, C::FanThrustCoeffEdit, C::FanPowerCoeffEdit}},
        {"lift and drag codes",
         [](WorkbenchSession& s, MessageSink&) {
             AirframeDesc airframe = WorkbenchAirframe(s.Fields(), false, s.Locale());
             AirfoilControls controls = ControlsFromAirframe(airframe);
             controls.thickness = 30;
             ApplyControls(controls, airframe);
             s.ApplyToolResult([&](WorkbenchFields& f) { ApplyAirframeCodes(airframe, f); });
         },
         {C::AirfoilInfoEdit, C::DragInfoEdit}},
        {"wiring",
         [](WorkbenchSession& s, MessageSink&) {
             WiringState state = WiringFromWorkbench(s.Fields());
             state.motorRows = 2;
             s.ApplyToolResult([&](WorkbenchFields& f) { ASSERT_TRUE(ApplyWiring(state, f)); });
         },
         {C::SeriesMotorsEdit, C::WireWizInfoEdit}},
    };
    for (const ToolCase& c : cases) {
        RecordingMessages messages;
        messages.AllowAny();
        WorkbenchSession session(nullptr, nullptr, {}, messages, messages);
        ASSERT_TRUE(session.TakeProjectText(
            "Begin Ampvane Project\nSample\nMotorConstantEdit=1100\nIdleCurrentEdit=1\nArmatureResistanceEdit=0.2\n"
            "MotorNameEdit=Old Motor\nMotorWeightEdit=4\nPropellerDiameterFromEdit=9\nPropellerDiameterToEdit=11\n"
            "PropellerPitchFromEdit=5\nPropellerPitchToEdit=7\nNumberOfCellsFromEdit=8\n"
            "End Ampvane Project\n")) << c.tool;
        int signals = 0;
        session.changed = [&signals] { ++signals; };
        const WorkbenchFields before = session.Fields();
        c.apply(session, messages);
        EXPECT_EQ(signals, 1) << c.tool;
        EXPECT_EQ(Differences(before, session.Fields()), Names(c.changes)) << c.tool;
    }
}

} // namespace
} // namespace ampvane
