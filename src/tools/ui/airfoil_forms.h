// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include "tools/airfoil_estimator.h"
#include "tools/ui/tool_form.h"

class QButtonGroup;
class QCheckBox;
class QListWidget;
class QSlider;

namespace ampvane {

class TAirfoilListForm;
class TWingMeasurementsForm;

// "Lift and Drag Coefficient Estimator": the editor of the airfoil and drag codes.
class TLiftCoefficientForm : public TToolForm {
    Q_OBJECT
public:
    explicit TLiftCoefficientForm(const ToolEnvironment& environment, QWidget* parent = nullptr);
    void ApplyButtonClick() override;
    void LoadWorkingAirframe(const AirframeDesc& airframe);
    void TakeWingGeometry(const AirframeDesc& airframe);
    void TakeMeasurements(double angleDegrees, double camberPercent, double thicknessPercent);
    void TakeListEntry(bool flatPlate, double camberPercent, double thicknessPercent);
    const AirframeDesc& WorkingAirframe() const { return airframe_; }
    TAirfoilListForm& AirfoilList() { return *list_; }
    TWingMeasurementsForm& Measurements() { return *measurements_; }
    // The section and coefficients as drawn.
    QImage AirfoilPicture() const;

protected:
    void changeEvent(QEvent* event) override;

private:
    void ControlChanged(bool redrawSection);
    void Refresh(); // the controls from the record
    void Redraw();

    AirframeDesc airframe_;
    bool refreshing_ = false;
    QSlider *thickness_, *camber_, *angle_;
    QLabel *thicknessIndicator_, *camberIndicator_, *angleIndicator_;
    QCheckBox* flatPlate_;
    QButtonGroup* groups_[4];
    QLabel* image_;
    TAirfoilListForm* list_;
    TWingMeasurementsForm* measurements_;
};

// "Common Airfoils": named sections from "Airfoil.lst".
class TAirfoilListForm : public QDialog {
    Q_OBJECT
public:
    TAirfoilListForm(TLiftCoefficientForm& estimator, const std::filesystem::path& dataFolder,
                     const NumberLocale& locale, QWidget* parent);
    void Reload();
    void AirfoilListBoxClick();
    void OKButtonClick();
    QListWidget* List() const { return list_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    TLiftCoefficientForm& estimator_;
    std::filesystem::path dataFolder_;
    NumberLocale locale_;
    std::vector<AirfoilListEntry> entries_;
    int index_ = 0;
    bool flatPlate_ = false;
    ShownAirfoilEntry shown_; // the entry the fields show
    QListWidget* list_;
    QLineEdit *thickness_, *camber_;
};

// "Wing Airfoil Measurements".
class TWingMeasurementsForm : public QDialog {
    Q_OBJECT
public:
    TWingMeasurementsForm(TLiftCoefficientForm& estimator, MessageSink& messages, const NumberLocale& locale,
                          QWidget* parent);
    void WingMeasurementChange();
    void OKButtonClick();
    // The unit shown beside the six lengths: the workbench's.
    void SetLengthUnit(const QString& unit);

private:
    TLiftCoefficientForm& estimator_;
    MessageSink& messages_;
    NumberLocale locale_;
    TypingMessages* typing_;
    WingMeasurementResult result_;
    QLineEdit* inputs_[6];
    QLabel* lengthUnits_[6];
    QLineEdit *thickness_, *camber_, *angle_;
};

} // namespace ampvane
