// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include "tools/ui/tool_form.h"

namespace ampvane {

class TCompDataModule;
class TTestDataInputForm;
class TCatalogDataInputForm;
class TBuildMotorInputForm;
class TPropConstantForm;
class TFanCoefficientForm;
class TFanPitchMeasurementsForm;
class TLiftCoefficientForm;
class TWiringWizardForm;

// The estimator windows and the wiring wizard of one workbench session: each is created once, on its
// first opening, and keeps its values while hidden. The program connects the workbench's openers to
// the Click members.
class TToolWindows : public QObject {
    Q_OBJECT
public:
    // `owner`: the window the tool windows belong to and open near; `data`: the component tables the
    // motor browsers look through, null leaves them off.
    TToolWindows(const ToolEnvironment& environment, QWidget& owner, TCompDataModule* data = nullptr);

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
    QWidget& owner_;
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
