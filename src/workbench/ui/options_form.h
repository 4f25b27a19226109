// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include <array>

#include "common/messages.h"
#include "common/numeric_text.h"
#include "workbench/configuration.h"
#include "workbench/options.h"
#include "workbench/settings.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;

namespace ampvane {

// "Advanced Options": the network proxy and the exchange server. OK accepts an empty host or a port
// from 0 to 65535, and a server that is empty (the built-in one) or "host[:port]".
class TAdvancedOptionsForm : public QDialog {
    Q_OBJECT
public:
    TAdvancedOptionsForm(Settings& settings, MessageSink& messages, QWidget* parent = nullptr);
    // Fills the edits from the stored proxy texts and shows the dialog modally.
    int Edit();
    void accept() override;

private:
    Settings& settings_;
    MessageSink& messages_;
    QLineEdit* host_ = nullptr;
    QLineEdit* port_ = nullptr;
    QLineEdit* server_ = nullptr;
};

// "Ampvane Options": its controls edit the live settings of the program. OK checks the values and
// writes the configuration file; Cancel, Esc and the close box restore what the file holds.
class TOptionsForm : public QDialog {
    Q_OBJECT
public:
    TOptionsForm(Settings& settings, ConfigurationFiles files, NumberLocale locale, MessageSink& messages,
                 QWidget* parent = nullptr);

    // Brings the controls in line with the settings (applying the measurement mode) and shows the
    // dialog modally; the result is QDialog::Accepted after OK.
    int Edit();
    void accept() override;
    void reject() override;

    TAdvancedOptionsForm* Advanced() const { return advanced_; }

private:
    void ShowSettings();
    void ModeChosen(int mode);
    void FieldEdited(OptionsField field, const QString& text);
    void Recheck();
    QLineEdit* FieldEdit(OptionsField field) const { return edits_[static_cast<std::size_t>(field)]; }

    Settings& settings_;
    ConfigurationFiles files_;
    NumberLocale locale_;
    MessageSink& messages_;
    bool showing_ = false;
    QButtonGroup* modes_ = nullptr;
    QButtonGroup* printModes_ = nullptr;
    QCheckBox* newtons_ = nullptr;
    std::array<QLineEdit*, 4> edits_{};
    QLabel* elevationLabel_ = nullptr;
    QLabel* pressureLabel_ = nullptr;
    QLabel* temperatureLabel_ = nullptr;
    std::array<QCheckBox*, kReportColumnSwitchCount> columns_{};
    QCheckBox* useTemp_ = nullptr;
    QCheckBox* precision_ = nullptr;
    QCheckBox* wizard_ = nullptr;
    QCheckBox* tip_ = nullptr;
    TAdvancedOptionsForm* advanced_ = nullptr;
};

} // namespace ampvane
