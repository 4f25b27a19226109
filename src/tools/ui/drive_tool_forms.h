// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tools/drive_estimators.h"
#include "tools/ui/tool_form.h"

class QComboBox;
class QGridLayout;
class QRadioButton;
class QVBoxLayout;

namespace ampvane {

// The bench-test part the propeller and fan estimators share: the test motor, the speed field with
// its measured or estimated state, and the assumed test conditions.
class TBenchTestForm : public TToolForm {
    Q_OBJECT
public:
    TBenchTestForm(const ToolEnvironment& environment, const QString& title, int helpTopic, QWidget* parent);
    void EstimateRPMButtonClick();
    // "C&hange...": the workbench's options command, then the conditions shown again and a recomputation.
    void OptionsButtonClick();
    void SetComponentData(TCompDataModule* data) override;
    // "Select...": the test motor chosen in the component browser.
    void LoadMotorButtonClick();
    virtual void ParameterChanged(bool fromRpmEdit = false) = 0;
    const BenchTest& Bench() const { return bench_; }

protected:
    // Builds the motor row, the condition group and the note into the layout.
    void BuildBenchTest(QVBoxLayout* layout);
    // The measurements both estimators take, rows 0 to 5 of the grid: voltage, current, two sizes in
    // inches or centimetres, the speed with its Estimate button, the thrust in oz, g or N. Every
    // change recomputes.
    void BuildMeasurements(QGridLayout* grid, const QString& size1Label, const QString& size1Name,
                           const QString& size2Label, const QString& size2Name);
    LengthUnit SizeUnit(int size) const; // 0 or 1
    ForceUnit ThrustUnit() const;
    // The shared part of either estimator's input: the bench test and its measurements.
    BenchMeasurements Measurements() const;
    // The motor from the workbench (when no motor is named here) and the conditions from the options.
    void TakeBenchTest();
    void RefreshConditions();
    QRadioButton* UnitButton(const QString& caption, const QString& name);
    virtual std::optional<std::string> EstimatedRpm() = 0;
    void ShowRpmState(bool estimated);
    // After a recomputation: the speed the estimator filled in (left alone while the user types one)
    // and whether it can estimate one.
    void ShowSpeed(const std::string& rpm, bool estimated, bool estimateEnabled, bool fromRpmEdit);
    // Reads the named motor's constants from the motor table; nothing changes when it is not there.
    void LookUpMotor(const std::string& name);

    BenchTest bench_;
    QLineEdit* motorName_ = nullptr;
    QPushButton* selectButton_ = nullptr;
    QLineEdit *voltage_ = nullptr, *current_ = nullptr, *thrust_ = nullptr;
    QLineEdit* sizes_[2] = {};
    QRadioButton* inButtons_[2] = {};
    QRadioButton* cmButtons_[2] = {};
    QRadioButton *ozButton_ = nullptr, *gButton_ = nullptr, *nButton_ = nullptr;
    QLineEdit* rpm_ = nullptr;
    QLabel* rpmLabel_ = nullptr;
    QPushButton* estimateButton_ = nullptr;
    QPushButton* optionsButton_ = nullptr;
    QLabel* conditions_[3] = {};
    bool rpmEstimated_ = false;
};

// "Propeller Constant Estimator".
class TPropConstantForm : public TBenchTestForm {
    Q_OBJECT
public:
    explicit TPropConstantForm(const ToolEnvironment& environment, QWidget* parent = nullptr);
    void ApplyButtonClick() override;
    void ParameterChanged(bool fromRpmEdit = false) override;
    void AddToListButtonClick();
    PropConstantInput Input() const;
    // "From measured data": the constants fitted to the static points of data files, or of a stored
    // measured propeller, shown with the propeller's diameter and pitch; a failure only shows its message.
    void DataFilesButtonClick();
    void FromDataFiles(const std::vector<std::string>& paths);
    void FromStoredPropeller(const std::string& name);

protected:
    void showEvent(QShowEvent* event) override;
    std::optional<std::string> EstimatedRpm() override;

private:
    void FillGearboxList();
    void FillNameList();
    void FillStoredPropellers();
    void ShowFit(const std::optional<PropConstantFit>& fit);

    PropConstantResult result_;
    QLineEdit *diameter_, *pitch_, *gearRatio_;
    QComboBox *efficiency_, *propellerName_;
    QLineEdit *powerConst_, *thrustConst_;
    QLabel* warning_;
    QPushButton* addToList_;
    std::vector<std::pair<std::string, double>> gearboxEntries_;
    QComboBox* storedPropeller_ = nullptr;
    QLabel* fitNote_ = nullptr;
};

// "Fan Coefficient Estimator".
class TFanCoefficientForm : public TBenchTestForm {
    Q_OBJECT
public:
    explicit TFanCoefficientForm(const ToolEnvironment& environment, QWidget* parent = nullptr);
    void ApplyButtonClick() override;
    void ParameterChanged(bool fromRpmEdit = false) override;
    FanCoefficientInput Input() const;

protected:
    void showEvent(QShowEvent* event) override;
    std::optional<std::string> EstimatedRpm() override;

private:
    FanCoefficientResult result_;
    QLineEdit *fanDiameter_, *hubDiameter_, *efflux_;
    QRadioButton *mphButton_, *msButton_;
    QLineEdit *fanPitch_, *thrustCoeff_, *powerCoeff_;
    QLabel* pitchUnit_;
};

// "Fan Pitch Calculator".
class TFanPitchMeasurementsForm : public TToolForm {
    Q_OBJECT
public:
    explicit TFanPitchMeasurementsForm(const ToolEnvironment& environment, QWidget* parent = nullptr);
    void ApplyButtonClick() override;
    void RotorMeasurementChange();
    // OK and Apply: false (after the error box) when there is no pitch to write.
    bool OKApplyButtonClick(bool close);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit *diameter_, *angle_, *width_, *height_, *pitch_;
    QLabel* lengthUnits_[4]; // diameter, width, height, pitch
};

} // namespace ampvane
