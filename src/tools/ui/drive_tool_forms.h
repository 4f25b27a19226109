#pragma once

#include "tools/drive_estimators.h"
#include "tools/ui/tool_form.h"

class QComboBox;
class QRadioButton;
class QVBoxLayout;

namespace ampvane {

// The bench-test part the propeller and fan estimators share: the test motor, the speed field with
// its measured or estimated state, and the assumed test conditions.
class TBenchTestForm : public TToolForm {
    Q_OBJECT
public:
    TBenchTestForm(TParameterInputForm& workbench, const QString& title, int helpTopic, QWidget* parent);
    void EstimateRPMButtonClick();
    void SetComponentData(TCompDataModule* data) override;
    // "Select...": the test motor chosen in the component browser.
    void LoadMotorButtonClick();
    virtual void ParameterChanged(bool fromRpmEdit = false) = 0;
    const BenchTest& Bench() const { return bench_; }

protected:
    // Builds the motor row, the condition group and the note into the layout.
    void BuildBenchTest(QVBoxLayout* layout);
    // The motor from the workbench (when no motor is named here) and the conditions from the options.
    void TakeBenchTest();
    void RefreshConditions();
    QRadioButton* UnitButton(const QString& caption, const QString& name);
    virtual std::optional<std::string> EstimatedRpm() = 0;
    void ShowRpmState(bool estimated);
    // Reads the named motor's constants from the motor table; nothing changes when it is not there.
    void LookUpMotor(const std::string& name);

    BenchTest bench_;
    QLineEdit* motorName_ = nullptr;
    QPushButton* selectButton_ = nullptr;
    QLineEdit* rpm_ = nullptr;
    QLabel* rpmLabel_ = nullptr;
    QPushButton* estimateButton_ = nullptr;
    QLabel* conditions_[3] = {};
    bool rpmEstimated_ = false;
};

// "Propeller Constant Estimator".
class TPropConstantForm : public TBenchTestForm {
    Q_OBJECT
public:
    explicit TPropConstantForm(TParameterInputForm& workbench, QWidget* parent = nullptr);
    void ApplyButtonClick() override;
    void ParameterChanged(bool fromRpmEdit = false) override;
    void AddToListButtonClick();
    PropConstantInput Input() const;

protected:
    void showEvent(QShowEvent* event) override;
    std::optional<std::string> EstimatedRpm() override;

private:
    void FillGearboxList();
    void FillNameList();

    PropConstantResult result_;
    QLineEdit *voltage_, *current_, *diameter_, *pitch_, *thrust_, *gearRatio_;
    QComboBox *efficiency_, *propellerName_;
    QRadioButton *inButton1_, *cmButton1_, *inButton2_, *cmButton2_, *ozButton_, *gButton_, *nButton_;
    QLineEdit *powerConst_, *thrustConst_;
    QLabel* warning_;
    QPushButton* addToList_;
    std::vector<std::pair<std::string, double>> gearboxEntries_;
};

// "Fan Coefficient Estimator".
class TFanCoefficientForm : public TBenchTestForm {
    Q_OBJECT
public:
    explicit TFanCoefficientForm(TParameterInputForm& workbench, QWidget* parent = nullptr);
    void ApplyButtonClick() override;
    void ParameterChanged(bool fromRpmEdit = false) override;
    FanCoefficientInput Input() const;

protected:
    void showEvent(QShowEvent* event) override;
    std::optional<std::string> EstimatedRpm() override;

private:
    FanCoefficientResult result_;
    QLineEdit *voltage_, *current_, *fanDiameter_, *hubDiameter_, *thrust_, *efflux_;
    QRadioButton *inButton1_, *cmButton1_, *inButton2_, *cmButton2_, *ozButton_, *gButton_, *nButton_, *mphButton_,
        *msButton_;
    QLineEdit *fanPitch_, *thrustCoeff_, *powerCoeff_;
    QLabel* pitchUnit_;
};

// "Fan Pitch Calculator".
class TFanPitchMeasurementsForm : public TToolForm {
    Q_OBJECT
public:
    explicit TFanPitchMeasurementsForm(TParameterInputForm& workbench, QWidget* parent = nullptr);
    void ApplyButtonClick() override;
    void RotorMeasurementChange();
    // OK and Apply: false (after the error box) when there is no pitch to write.
    bool OKApplyButtonClick(bool close);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit *diameter_, *angle_, *width_, *height_, *pitch_;
};

} // namespace ampvane
