// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/ui/tool_windows.h"

#include <QAction>
#include <QPushButton>

#include "tools/ui/airfoil_forms.h"
#include "tools/ui/drive_tool_forms.h"
#include "tools/ui/motor_tool_forms.h"
#include "tools/ui/wiring_wizard_form.h"
#include "workbench/ui/parameter_input_form.h"

namespace ampvane {

namespace {

template <class Form>
Form& Once(Form*& form, const ToolEnvironment& environment, QWidget* owner, TCompDataModule* data) {
    if (!form) {
        form = new Form(environment, owner);
        form->SetComponentData(data);
    }
    return *form;
}

void Raise(QWidget& window) {
    window.show();
    window.raise();
    window.activateWindow();
}

} // namespace

TToolWindows::TToolWindows(TParameterInputForm& workbench, TCompDataModule* data)
    : QObject(&workbench), workbench_(workbench), data_(data) {
    env_.session = &workbench.Session();
    env_.dataFolder = workbench.Environment().dataFolder;
    env_.showOptions = workbench.Environment().showOptions;
    env_.moreThan256Colours = workbench.Environment().moreThan256Colours;
    Wire("TestDataInputButton", &TToolWindows::TestDataInputButtonClick);
    Wire("TestDataToolButton", &TToolWindows::TestDataInputButtonClick);
    Wire("EnterTestDataItem", &TToolWindows::TestDataInputButtonClick);
    Wire("CatalogDataButton", &TToolWindows::CatalogDataInputButtonClick);
    Wire("CatalogDataToolButton", &TToolWindows::CatalogDataInputButtonClick);
    Wire("EnterCatalogDataItem", &TToolWindows::CatalogDataInputButtonClick);
    Wire("BuildMotorButton", &TToolWindows::BuildMotorInputButtonClick);
    Wire("MotorDesignerToolButton", &TToolWindows::BuildMotorInputButtonClick);
    Wire("MotorDesignerItem", &TToolWindows::BuildMotorInputButtonClick);
    Wire("PropConstButton", &TToolWindows::PropConstButtonClick);
    Wire("ConstantEstimatorItem", &TToolWindows::PropConstButtonClick);
    Wire("FanCoeffButton", &TToolWindows::FanCoeffButtonClick);
    Wire("FanCoefficientEstimatorItem", &TToolWindows::FanCoeffButtonClick);
    Wire("PitchButton", &TToolWindows::PitchButtonClick);
    Wire("PitchCalculatorItem", &TToolWindows::PitchButtonClick);
    Wire("CLButton", &TToolWindows::CLButtonClick);
    Wire("CoefficientCalculatorItem", &TToolWindows::CLButtonClick);
    Wire("WiringWizardToolButton", &TToolWindows::WiringWizard1Click);
    Wire("WiringWizardItem", &TToolWindows::WiringWizard1Click);
}

void TToolWindows::Wire(const char* name, void (TToolWindows::*open)()) {
    const QString objectName = QString::fromLatin1(name);
    if (auto* button = workbench_.findChild<QPushButton*>(objectName)) {
        button->setEnabled(true);
        connect(button, &QPushButton::clicked, this, open);
    }
    if (auto* action = workbench_.findChild<QAction*>(objectName)) {
        action->setEnabled(true);
        connect(action, &QAction::triggered, this, open);
    }
}

TTestDataInputForm& TToolWindows::TestData() { return Once(testData_, env_, &workbench_, data_); }
TCatalogDataInputForm& TToolWindows::CatalogData() { return Once(catalogData_, env_, &workbench_, data_); }
TBuildMotorInputForm& TToolWindows::MotorDesigner() { return Once(designer_, env_, &workbench_, data_); }
TPropConstantForm& TToolWindows::PropConstant() { return Once(propConstant_, env_, &workbench_, data_); }
TFanCoefficientForm& TToolWindows::FanCoefficient() { return Once(fanCoefficient_, env_, &workbench_, data_); }
TFanPitchMeasurementsForm& TToolWindows::FanPitch() { return Once(fanPitch_, env_, &workbench_, data_); }
TLiftCoefficientForm& TToolWindows::LiftCoefficient() { return Once(liftCoefficient_, env_, &workbench_, data_); }
TWiringWizardForm& TToolWindows::WiringWizard() { return Once(wiring_, env_, &workbench_, data_); }

void TToolWindows::TestDataInputButtonClick() { Raise(TestData()); }
void TToolWindows::CatalogDataInputButtonClick() { Raise(CatalogData()); }
void TToolWindows::BuildMotorInputButtonClick() { Raise(MotorDesigner()); }
void TToolWindows::PropConstButtonClick() { Raise(PropConstant()); }
void TToolWindows::FanCoeffButtonClick() { Raise(FanCoefficient()); }
void TToolWindows::PitchButtonClick() { Raise(FanPitch()); }
void TToolWindows::WiringWizard1Click() { Raise(WiringWizard()); }

void TToolWindows::CLButtonClick() {
    TLiftCoefficientForm& form = LiftCoefficient();
    const WorkbenchSession& session = *env_.session;
    form.LoadWorkingAirframe(WorkbenchAirframe(session.Fields(), session.Units().metric, session.Locale()));
    Raise(form);
}

} // namespace ampvane
