// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include "tools/ui/tool_form.h"

namespace ampvane {

class TParameterInputForm;
class TCompDataModule;
class TTestDataInputForm;
class TCatalogDataInputForm;
class TBuildMotorInputForm;
class TPropConstantForm;
class TFanCoefficientForm;
class TFanPitchMeasurementsForm;
class TLiftCoefficientForm;
class TWiringWizardForm;

// The estimator windows and the wiring wizard of one workbench: each is created once, on its first
// opening, and keeps its values while hidden. Installing them enables and wires the workbench's
// buttons, menu items and tool buttons that open them.
class TToolWindows : public QObject {
    Q_OBJECT
public:
    // `data`: the component tables the motor browsers look through; null leaves them off.
    explicit TToolWindows(TParameterInputForm& workbench, TCompDataModule* data = nullptr);

    TTestDataInputForm& TestData();
    TCatalogDataInputForm& CatalogData();
    TBuildMotorInputForm& MotorDesigner();
    TPropConstantForm& PropConstant();
    TFanCoefficientForm& FanCoefficient();
    TFanPitchMeasurementsForm& FanPitch();
    TLiftCoefficientForm& LiftCoefficient();
    TWiringWizardForm& WiringWizard();

    void TestDataInputButtonClick();
    void CatalogDataInputButtonClick();
    void BuildMotorInputButtonClick();
    void PropConstButtonClick();
    void FanCoeffButtonClick();
    void PitchButtonClick();
    void CLButtonClick();
    void WiringWizard1Click();

private:
    void Wire(const char* name, void (TToolWindows::*open)());

    TParameterInputForm& workbench_;
    ToolEnvironment env_;
    TCompDataModule* data_ = nullptr;
    TTestDataInputForm* testData_ = nullptr;
    TCatalogDataInputForm* catalogData_ = nullptr;
    TBuildMotorInputForm* designer_ = nullptr;
    TPropConstantForm* propConstant_ = nullptr;
    TFanCoefficientForm* fanCoefficient_ = nullptr;
    TFanPitchMeasurementsForm* fanPitch_ = nullptr;
    TLiftCoefficientForm* liftCoefficient_ = nullptr;
    TWiringWizardForm* wiring_ = nullptr;
};

} // namespace ampvane
