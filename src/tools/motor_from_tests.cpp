// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/motor_from_tests.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "tools/tool_fields.h"

namespace ampvane {

namespace {

struct Limits {
    const char* quantity;
    double minimum, maximum;
};
constexpr std::array<Limits, 3> kPointLimits{{{"Voltage", 0.1, 100}, {"Current", 0.001, 1000}, {"RPM", 1, 100000}}};

// The message prefix is the group caption without its colon.
std::string Prefix(const std::string& caption) { return caption.substr(0, caption.size() - 1) + " "; }

bool Close(double a, double b) { return std::min(a, b) / std::max(a, b) > 0.9; }

} // namespace

TestDataGroupCaptions TestDataCaptions(bool bestEfficiency) {
    if (bestEfficiency) return {"Best Efficiency:", "Other:"};
    return {"Free Running:", "Under Load:"};
}

TestDataResult ComputeMotorFromTests(const TestDataInput& input, const NumberLocale& locale,
                                     MessageSink& messages) {
    const TestDataGroupCaptions captions = TestDataCaptions(input.bestEfficiency);
    const std::array<const std::string*, 6> texts{&input.freeRunningVoltage, &input.freeRunningCurrent,
                                                  &input.freeRunningRpm,     &input.underLoadVoltage,
                                                  &input.underLoadCurrent,   &input.underLoadRpm};
    std::array<double, 6> v{};
    for (std::size_t i = 0; i < 6; ++i) {
        const Limits& limits = kPointLimits[i % 3];
        const std::string label = Prefix(i < 3 ? captions.point1 : captions.point2) + limits.quantity;
        v[i] = ReadMeasuredField(*texts[i], label, limits.minimum, limits.maximum, locale, messages);
    }
    TestDataResult result;
    if (std::any_of(v.begin(), v.end(), [](double x) { return x == 0; })) return result;

    const double V1 = v[0], I1 = v[1], N1 = v[2], V2 = v[3], I2 = v[4], N2 = v[5];
    const double D = I1 * V2 - I2 * V1;
    const double U = I1 * N2 - N1 * I2;
    if (D == 0 || U == 0) {
        result.poorData = true;
        return result;
    }
    MotorConstants motor;
    motor.Kv = U / D;
    motor.Rm = (V1 * N2 - N1 * V2) / U;
    if (motor.Kv <= 0 || motor.Rm <= 0 || V1 <= 0) {
        result.badData = true;
        return result;
    }
    motor.Io = input.bestEfficiency ? I1 * I1 * motor.Rm / V1 : I1;
    result.motorConstant = ResultText(motor.Kv, 0, locale);
    result.idleCurrent = ResultText(motor.Io, 3, locale);
    result.armatureResistance = ResultText(motor.Rm, 3, locale);
    if (!result.ApplyEnabled()) {
        result = {};
        result.badData = true;
        return result;
    }
    result.constants = motor;
    const int closePairs = Close(V1, V2) + Close(I1, I2) + Close(N1, N2);
    result.poorData = closePairs >= 2;
    return result;
}

void ApplyMotorConstants(const std::string& motorConstant, const std::string& idleCurrent,
                         const std::string& armatureResistance, WorkbenchFields& fields) {
    if (!motorConstant.empty()) fields.SetText(WorkbenchControl::MotorConstantEdit, motorConstant);
    if (!idleCurrent.empty()) fields.SetText(WorkbenchControl::IdleCurrentEdit, idleCurrent);
    if (!armatureResistance.empty()) fields.SetText(WorkbenchControl::ArmatureResistanceEdit, armatureResistance);
}

} // namespace ampvane
