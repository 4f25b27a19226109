// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include <QImage>

#include "tools/ui/tool_form.h"
#include "tools/wiring.h"

class QCheckBox;
class QPrinter;
class QRadioButton;
class QSlider;

namespace ampvane {

// "Ampvane Wiring Wizard": packs, speed controls and motors, the check, the diagram and the counts.
class TWiringWizardForm : public TToolForm {
    Q_OBJECT
public:
    explicit TWiringWizardForm(const ToolEnvironment& environment, QWidget* parent = nullptr);
    void ApplyButtonClick() override;
    const WiringState& State() const { return state_; }
    // The three panels side by side, drawn onto one 24-bit picture.
    QImage Diagram() const;
    // Writes the diagram by the name's ending (".jpg"/".jpeg" JPEG, ".png" PNG, anything else a Windows
    // bitmap); an empty text on success, else what went wrong.
    std::string SaveDiagram(const std::string& fileName) const;
    void SaveButtonClick();
    void PrintDiagram(QPrinter& printer) const;
    void PrintButtonClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void ControlChanged();
    void UpdateWindow();

    WiringState state_;
    QSlider *batteries_, *escs_, *parallelMotors_, *motorRows_;
    QCheckBox *alwaysParallel_, *usingBec_, *brushless_;
    QRadioButton *seriesParallel_, *parallelSeries_;
    QLabel *error_, *panel_;
    std::vector<std::pair<QSlider*, QLabel*>> counts_; // each slider and its count
    QPushButton *save_, *print_;
};

} // namespace ampvane
