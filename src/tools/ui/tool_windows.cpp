// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/ui/tool_windows.h"

#include "common/ui/window_geometry.h"
#include "tools/ui/airfoil_forms.h"
#include "tools/ui/drive_tool_forms.h"
#include "tools/ui/motor_tool_forms.h"
#include "tools/ui/wiring_wizard_form.h"

namespace ampvane {

namespace {

template <class Form>
Form& Once(Form*& form, const ToolEnvironment& environment, QWidget* owner, TCompDataModule* data) {
    if (!form) {
        form = new Form(environment, owner);
        form->SetComponentData(data);
        // Near the workbench, not wherever the window manager would put a new window.
        PlaceNearOwner(*form, *owner);
    }
    return *form;
}

void Raise(QWidget& window) {
    window.show();
    window.raise();
    window.activateWindow();
}

} // namespace

TToolWindows::TToolWindows(const ToolEnvironment& environment, QWidget& owner, TCompDataModule* data)
    : QObject(&owner), owner_(owner), env_(environment), data_(data) {}

TTestDataInputForm& TToolWindows::TestData() { return Once(testData_, env_, &owner_, data_); }
TCatalogDataInputForm& TToolWindows::CatalogData() { return Once(catalogData_, env_, &owner_, data_); }
TBuildMotorInputForm& TToolWindows::MotorDesigner() { return Once(designer_, env_, &owner_, data_); }
TPropConstantForm& TToolWindows::PropConstant() { return Once(propConstant_, env_, &owner_, data_); }
TFanCoefficientForm& TToolWindows::FanCoefficient() { return Once(fanCoefficient_, env_, &owner_, data_); }
TFanPitchMeasurementsForm& TToolWindows::FanPitch() { return Once(fanPitch_, env_, &owner_, data_); }
TLiftCoefficientForm& TToolWindows::LiftCoefficient() { return Once(liftCoefficient_, env_, &owner_, data_); }
TWiringWizardForm& TToolWindows::WiringWizard() { return Once(wiring_, env_, &owner_, data_); }

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
