// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tools/motor_designer.h"
#include "tools/motor_from_catalog.h"
#include "tools/motor_from_tests.h"
#include "tools/ui/tool_form.h"

class QGroupBox;
class QRadioButton;

namespace ampvane {

// "Test Data Input": motor constants from two measured points.
class TTestDataInputForm : public TToolForm {
    Q_OBJECT
public:
    explicit TTestDataInputForm(const ToolEnvironment& environment, QWidget* parent = nullptr);
    void ApplyButtonClick() override;
    void InputParameterChange();
    void FreeRunningRadioButtonClick(bool recompute);
    TestDataInput Input() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QGroupBox *freeRunningGroup_, *underLoadGroup_;
    QRadioButton *freeRunningRadio_, *bestEfficiencyRadio_;
    QLineEdit* inputs_[6];
    QLineEdit *motorConstant_, *idleCurrent_, *armatureResistance_;
    QLabel *poorData_, *badData_;
};

// "Catalog Data Input": motor constants from catalogue figures.
class TCatalogDataInputForm : public TToolForm {
    Q_OBJECT
public:
    explicit TCatalogDataInputForm(const ToolEnvironment& environment, QWidget* parent = nullptr);
    void ApplyButtonClick() override;
    void CatalogDataEditChange();
    void CurrentEditChange(CatalogCurrent sender);

protected:
    void showEvent(QShowEvent* event) override;

private:
    CatalogDataInput Input() const;
    void ShowCurrentStates();

    CatalogCurrent computed_ = CatalogCurrent::None;
    QLineEdit *voltage_, *rpm_, *maxEfficiency_, *stall_, *idle_;
    QLineEdit *motorConstant_, *armatureResistance_;
    QLabel* inconsistent_;
};

// "Motor Designer": the constants of a rewound motor.
class TBuildMotorInputForm : public TToolForm {
    Q_OBJECT
public:
    explicit TBuildMotorInputForm(const ToolEnvironment& environment, QWidget* parent = nullptr);
    void ApplyButtonClick() override;
    void MotorDataEditChange();
    void SetComponentData(TCompDataModule* data) override;
    // "Open...": the baseline motor chosen in the component browser, its winding read from its name.
    void LoadMotorButtonClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    MotorDesignInput Input() const;
    void ShowBaseline(const MotorDesignInput& input);
    void ShowNamePopup(const QPoint& position);

    MotorDesignResult result_;
    QLineEdit *name_, *kv_, *io_, *rm_, *weight_, *windings_, *gauge_;
    QLineEdit *newWindings_, *newGauge_, *newName_;
    QLineEdit *newKv_, *newIo_, *newRm_, *newWeight_;
    QLabel *gaugeLabel_, *warning_;
    QLabel* weightUnits_[2];
    QPushButton* openButton_;
};

} // namespace ampvane
