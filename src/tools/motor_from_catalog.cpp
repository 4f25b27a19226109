// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/motor_from_catalog.h"

#include <cmath>

#include "tools/tool_fields.h"

namespace ampvane {

void CompleteCatalogCurrents(CatalogDataInput& input, CatalogCurrent sender, const NumberLocale& locale,
                             MessageSink&) {
    // The recomputation that follows reads the same texts again and reports what is wrong with them.
    NullMessageSink quiet;
    const double Ie = LenientReal(input.maxEfficiencyCurrent, locale, quiet);
    const double Is = LenientReal(input.stallCurrent, locale, quiet);
    const double Io = LenientReal(input.idleCurrent, locale, quiet);
    const auto fill = [&](std::string& field, CatalogCurrent which, double value) {
        const std::string text = ResultText(value, 2, locale);
        if (text.empty()) return false;
        field = text;
        input.computed = which;
        return true;
    };
    using enum CatalogCurrent;
    if (Ie > 0 && Is > 0 && (Io == 0 || input.computed == Idle) && sender != Idle &&
        fill(input.idleCurrent, Idle, Ie * Ie / Is))
        return;
    if (Ie > 0 && Io > 0 && (Is == 0 || input.computed == Stall) && sender != Stall &&
        fill(input.stallCurrent, Stall, Ie * Ie / Io))
        return;
    if (Is > 0 && Io > 0 && (Ie == 0 || input.computed == MaxEfficiency) && sender != MaxEfficiency &&
        fill(input.maxEfficiencyCurrent, MaxEfficiency, std::sqrt(Is * Io)))
        return;
    for (auto [which, field] : {std::pair{Idle, &input.idleCurrent}, std::pair{Stall, &input.stallCurrent},
                                std::pair{MaxEfficiency, &input.maxEfficiencyCurrent}}) {
        if (input.computed == which && sender != which) {
            field->clear();
            input.computed = None;
            return;
        }
    }
}

CatalogDataResult ComputeMotorFromCatalog(const CatalogDataInput& input, const NumberLocale& locale,
                                          MessageSink& messages) {
    const double V = ReadMeasuredField(input.nominalVoltage, "Nominal Voltage", 0.1, 100, locale, messages);
    const double N0 = ReadMeasuredField(input.freeRunningRpm, "Free Running RPM", 1, 100000, locale, messages);
    ReadMeasuredField(input.maxEfficiencyCurrent, "Current at Max Efficiency", 0.001, 1000, locale, messages);
    const double Is = ReadMeasuredField(input.stallCurrent, "Stall Current", 0.001, 10000, locale, messages);
    const double Io = ReadMeasuredField(input.idleCurrent, "No-load Current", 0.001, 1000, locale, messages);

    CatalogDataResult result;
    double Rm = 0;
    if (V > 0 && Is > Io) {
        Rm = V / (Is - Io);
        result.armatureResistance = ResultText(Rm, 3, locale);
    }
    if (V > 0 && N0 > 0) {
        double Kv = N0 / V;
        if (Rm > 0 && Io > 0 && Io < Is) {
            // V − Io·Rm = V·(Is − 2·Io)/(Is − Io): beyond half the stall current there is no motor.
            const double net = V - Io * Rm;
            if (!(net > 0)) {
                result.inconsistent = true;
                result.armatureResistance.clear();
                return result;
            }
            Kv = N0 / net;
        }
        result.motorConstant = ResultText(Kv, 0, locale);
        if (Rm > 0 && Io > 0 && !result.motorConstant.empty()) result.constants = MotorConstants{Kv, Io, Rm};
    }
    return result;
}

bool CatalogApplyEnabled(const CatalogDataInput& input, const CatalogDataResult& result) {
    // A no-load current text that did not read as a valid current must not reach the workbench.
    return !result.motorConstant.empty() && !TrimText(input.idleCurrent).empty() &&
           !result.armatureResistance.empty() && result.constants.has_value();
}

} // namespace ampvane
