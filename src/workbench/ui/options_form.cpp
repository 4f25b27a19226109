// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/ui/options_form.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "common/ui/qt_text.h"
#include "help/ui/help_viewer.h"
#include "online/exchange_server.h"
#include "workbench/options.h"

namespace ampvane {

namespace {


// The twelve required report columns are told apart by this colour.
const QColor kRequiredColour(0x80, 0x00, 0x80);

QPushButton* MakeButton(const QString& caption, const QString& name, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

// The layout of the column boxes in the dialog: four columns read top to bottom.
constexpr ReportColumnSwitch kColumnLayout[4][7] = {
    {ReportColumnSwitch::Airspeed, ReportColumnSwitch::Drag, ReportColumnSwitch::Lift, ReportColumnSwitch::NumberOfCells,
     ReportColumnSwitch::GearRatio, ReportColumnSwitch::Diameter, ReportColumnSwitch::Pitch},
    {ReportColumnSwitch::TotalWeight, ReportColumnSwitch::BatteryCurrent, ReportColumnSwitch::MotorCurrent,
     ReportColumnSwitch::MotorVoltage, ReportColumnSwitch::InputPower, ReportColumnSwitch::InputPowerLoading,
     ReportColumnSwitch::PowerLoss},
    {ReportColumnSwitch::OutputPower, ReportColumnSwitch::OutputPowerLoading, ReportColumnSwitch::MotorEfficiency,
     ReportColumnSwitch::ShaftEfficiency, ReportColumnSwitch::MotorRpm, ReportColumnSwitch::PropellerRpm,
     ReportColumnSwitch::Thrust},
    {ReportColumnSwitch::RateOfClimb, ReportColumnSwitch::PitchSpeed, ReportColumnSwitch::PropellerEfficiency,
     ReportColumnSwitch::TotalEfficiency, ReportColumnSwitch::Time, ReportColumnSwitch::Airspeed,
     ReportColumnSwitch::Airspeed},
};
constexpr int kColumnRows[4] = {7, 7, 7, 5};

} // namespace

// ---- advanced options -------------------------------------------------------------------------------

TAdvancedOptionsForm::TAdvancedOptionsForm(Settings& settings, MessageSink& messages, QWidget* parent)
    : QDialog(parent), settings_(settings), messages_(messages) {
    setObjectName(QStringLiteral("AdvancedOptionsForm"));
    setWindowTitle(QStringLiteral("Advanced Options"));
    auto* layout = new QVBoxLayout(this);
    auto* group = new QGroupBox(QStringLiteral("Internet Connection Proxy:"), this);
    auto* grid = new QGridLayout(group);
    host_ = new QLineEdit(group);
    host_->setObjectName(QStringLiteral("ProxyHostEdit"));
    port_ = new QLineEdit(group);
    port_->setObjectName(QStringLiteral("ProxyPortEdit"));
    auto* hostLabel = new QLabel(QStringLiteral("Proxy &Host:"), group);
    hostLabel->setBuddy(host_);
    auto* portLabel = new QLabel(QStringLiteral("Proxy &Port:"), group);
    portLabel->setBuddy(port_);
    grid->addWidget(hostLabel, 0, 0);
    grid->addWidget(host_, 0, 1);
    grid->addWidget(portLabel, 1, 0);
    grid->addWidget(port_, 1, 1);
    SetHelpTopic(group, kProxyHelpTopic);
    layout->addWidget(group);

    // The exchange server that updates, contributions, support requests and the web links use.
    auto* serverGroup = new QGroupBox(QStringLiteral("Exchange Server:"), this);
    auto* serverLayout = new QHBoxLayout(serverGroup);
    server_ = new QLineEdit(serverGroup);
    server_->setObjectName(QStringLiteral("ServerEdit"));
    server_->setPlaceholderText(Q(kDefaultServer));
    server_->setToolTip(QStringLiteral("Host name, optionally followed by a colon and a port; empty: %1")
                            .arg(Q(kDefaultServer)));
    auto* serverLabel = new QLabel(QStringLiteral("&Server:"), serverGroup);
    serverLabel->setBuddy(server_);
    serverLayout->addWidget(serverLabel);
    serverLayout->addWidget(server_, 1);
    layout->addWidget(serverGroup);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKButton"));
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelButton"));
    buttons->addButton(NewHelpButton(this, kAdvancedOptionsHelpTopic), QDialogButtonBox::HelpRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

int TAdvancedOptionsForm::Edit() {
    host_->setText(Q(settings_.proxyHost));
    port_->setText(Q(settings_.proxyPort));
    server_->setText(Q(settings_.server));
    return exec();
}

void TAdvancedOptionsForm::accept() {
    // Nothing is stored until both the server and the proxy are accepted.
    const std::string server(TrimText(S(server_->text())));
    if (!ParseServerAddress(server)) {
        Message error = ErrorMessage(InvalidServerMessage(server));
        error.buttons = OkButton | HelpButton;
        error.helpTopic = kAdvancedOptionsHelpTopic;
        messages_.Report(error);
        server_->setFocus();
        server_->selectAll();
        return;
    }
    if (!AcceptProxySettings(settings_, S(host_->text()), S(port_->text()), messages_)) {
        port_->setFocus();
        port_->selectAll();
        return;
    }
    settings_.server = server;
    QDialog::accept();
}

// ---- options --------------------------------------------------------------------------------------------

TOptionsForm::TOptionsForm(Settings& settings, ConfigurationFiles files, NumberLocale locale, MessageSink& messages,
                           QWidget* parent)
    : QDialog(parent), settings_(settings), files_(std::move(files)), locale_(locale), messages_(messages) {
    setObjectName(QStringLiteral("OptionsForm"));
    setWindowTitle(QStringLiteral("Ampvane Options"));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;

    auto* units = new QGroupBox(QStringLiteral("Measurement Units:"), this);
    auto* unitsLayout = new QVBoxLayout(units);
    modes_ = new QButtonGroup(this);
    const char* modeCaptions[] = {"All &Imperial/U.S.", "Imperial/U.S., Metric &Temp/Press",
                                  "Metric with &Prop Sizes in Inches", "All &Metric"};
    for (int mode = 0; mode < 4; ++mode) {
        auto* radio = new QRadioButton(QString::fromUtf8(modeCaptions[mode]), units);
        radio->setObjectName(QStringLiteral("MetricMode%1").arg(mode));
        modes_->addButton(radio, mode);
        unitsLayout->addWidget(radio);
    }
    newtons_ = new QCheckBox(QStringLiteral("Force in &Newtons"), units);
    newtons_->setObjectName(QStringLiteral("NewtonsCheckBox"));
    unitsLayout->addWidget(newtons_);
    connect(modes_, &QButtonGroup::idClicked, this, &TOptionsForm::ModeChosen);
    connect(newtons_, &QCheckBox::toggled, this, [this](bool on) {
        if (!showing_) settings_.forceInNewtons = on;
    });
    top->addWidget(units);

    auto* printing = new QGroupBox(QStringLiteral("Printing:"), this);
    auto* printLayout = new QVBoxLayout(printing);
    printModes_ = new QButtonGroup(this);
    const char* printCaptions[] = {"Use &Styles", "Use &Colours"};
    for (int mode = 0; mode < 2; ++mode) {
        auto* radio = new QRadioButton(QString::fromUtf8(printCaptions[mode]), printing);
        radio->setObjectName(QStringLiteral("PrintMode%1").arg(mode));
        printModes_->addButton(radio, mode);
        printLayout->addWidget(radio);
    }
    connect(printModes_, &QButtonGroup::idClicked, this, [this](int mode) { settings_.printInColour = mode == 1; });
    printLayout->addStretch();
    top->addWidget(printing);

    // Flying field and gearbox efficiency: an edit, its unit and its value button each.
    auto* field = new QGroupBox(QStringLiteral("Flying Field:"), this);
    auto* fieldGrid = new QGridLayout(field);
    struct FieldRow {
        OptionsField field;
        const char* caption;
        const char* edit;
        const char* unitName;
        const char* button;
        const char* buttonName;
    };
    const FieldRow rows[] = {
        {OptionsField::Elevation, "Field &Elevation:", "ElevationEdit", "ElevationLabel", "Sea &Level", "SeaLevelButton"},
        {OptionsField::Pressure, "Sea Le&vel Pressure:", "PressureEdit", "PressureLabel", "Stan&dard", "StdPressureButton"},
        {OptionsField::Temperature, "Air Temperat&ure:", "TemperatureEdit", "TemperatureLabel", "&Room Temp",
         "RoomTemperatureButton"},
        {OptionsField::GearboxEfficiency, "Default &Gear Eff:", "GearboxEfficiencyEdit", nullptr, "T&ypical",
         "TypicalGearboxEfficiencyButton"},
    };
    int r = 0;
    for (const FieldRow& row : rows) {
        auto* edit = new QLineEdit(field);
        edit->setObjectName(QString::fromUtf8(row.edit));
        edit->setMaxLength(20);
        auto* caption = new QLabel(QString::fromUtf8(row.caption), field);
        caption->setBuddy(edit);
        auto* unit = new QLabel(row.unitName ? Q(kUnsetUnitLabel) : QStringLiteral("%"), field);
        if (row.unitName) unit->setObjectName(QString::fromUtf8(row.unitName));
        unit->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("inHg ")));
        auto* button = MakeButton(QString::fromUtf8(row.button), QString::fromUtf8(row.buttonName), field);
        fieldGrid->addWidget(caption, r, 0);
        fieldGrid->addWidget(edit, r, 1);
        fieldGrid->addWidget(unit, r, 2);
        fieldGrid->addWidget(button, r, 3);
        edits_[static_cast<std::size_t>(row.field)] = edit;
        const OptionsField f = row.field;
        connect(edit, &QLineEdit::textEdited, this, [this, f](const QString& text) { FieldEdited(f, text); });
        connect(button, &QPushButton::clicked, this, [this, f] {
            switch (f) {
            case OptionsField::Elevation: SeaLevelButtonClick(settings_); break;
            case OptionsField::Pressure: StdPressureButtonClick(settings_, locale_); break;
            case OptionsField::Temperature: RoomTemperatureButtonClick(settings_); break;
            case OptionsField::GearboxEfficiency: TypicalGearboxEfficiencyButtonClick(settings_); break;
            }
            ShowSettings();
        });
        if (f == OptionsField::Elevation) elevationLabel_ = unit;
        if (f == OptionsField::Pressure) pressureLabel_ = unit;
        if (f == OptionsField::Temperature) temperatureLabel_ = unit;
        ++r;
    }
    top->addWidget(field);
    layout->addLayout(top);

    auto* columns = new QGroupBox(QStringLiteral("Displayed and Printed Report Columns:"), this);
    auto* columnGrid = new QGridLayout(columns);
    const auto& switches = ReportColumnSwitches();
    for (int c = 0; c < 4; ++c) {
        for (int row = 0; row < kColumnRows[c]; ++row) {
            const ReportColumnSwitch column = kColumnLayout[c][row];
            const ReportColumnSwitchInfo& info = switches[static_cast<std::size_t>(column)];
            auto* box = new QCheckBox(Q(info.caption), columns);
            box->setObjectName(Q(info.checkBoxName));
            if (info.required) {
                QPalette palette = box->palette();
                palette.setColor(QPalette::WindowText, kRequiredColour);
                box->setPalette(palette);
            }
            columnGrid->addWidget(box, row, c);
            columns_[static_cast<std::size_t>(column)] = box;
            connect(box, &QCheckBox::clicked, this, [this, column](bool shown) {
                ColumnBoxClick(settings_, column, shown, messages_);
                ShowSettings();
            });
        }
    }
    auto* all = MakeButton(QStringLiteral("&All"), QStringLiteral("AllColumnsButton"), columns);
    connect(all, &QPushButton::clicked, this, [this] {
        AllColumnsButtonClick(settings_);
        ShowSettings();
    });
    columnGrid->addWidget(all, 5, 3, 1, 1, Qt::AlignLeft);
    auto* required = new QLabel(Q(kRequiredColumnsMessage), columns);
    required->setObjectName(QStringLiteral("RequiredFieldsLabel"));
    required->setWordWrap(true);
    QPalette requiredPalette = required->palette();
    requiredPalette.setColor(QPalette::WindowText, kRequiredColour);
    required->setPalette(requiredPalette);
    columnGrid->addWidget(required, 7, 0, 1, 4);
    layout->addWidget(columns);

    auto* other = new QGroupBox(QStringLiteral("Other Options:"), this);
    auto* otherLayout = new QGridLayout(other);
    const auto flag = [&](const char* caption, const char* name, bool Settings::*member, int row, int column) {
        auto* box = new QCheckBox(QString::fromUtf8(caption), other);
        box->setObjectName(QString::fromUtf8(name));
        connect(box, &QCheckBox::toggled, this, [this, member](bool on) {
            if (!showing_) settings_.*member = on;
        });
        otherLayout->addWidget(box, row, column);
        return box;
    };
    useTemp_ = flag("Account for heating in motor performance calculations", "UseTempCheckBox", &Settings::useHeating, 0, 0);
    precision_ = flag("Display at least 3 digits in report columns", "ExtraPrecisionCheckBox", &Settings::extraPrecision, 1, 0);
    wizard_ = flag("Show AmpvaneWizard when Ampvane starts", "WizardCheckBox", &Settings::wizardAtStartup, 0, 1);
    tip_ = flag("Show Tip of the Day when Ampvane starts", "TipOfDayCheckBox", &Settings::tipAtStartup, 1, 1);
    advanced_ = new TAdvancedOptionsForm(settings_, messages_, this);
    auto* advancedButton = MakeButton(QStringLiteral("Ad&vanced..."), QStringLiteral("Button1"), other);
    connect(advancedButton, &QPushButton::clicked, this, [this] { advanced_->Edit(); });
    otherLayout->addWidget(advancedButton, 0, 2, 2, 1, Qt::AlignVCenter);
    layout->addWidget(other);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKButton"));
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelButton"));
    buttons->addButton(NewHelpButton(this, kOptionsHelpTopic), QDialogButtonBox::HelpRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    // F1 on a group's control opens that group's page.
    for (const auto& [widget, topic] : {std::pair<QWidget*, int>{field, kFlyingFieldHelpTopic},
                                        std::pair<QWidget*, int>{columns, kColumnsHelpTopic},
                                        std::pair<QWidget*, int>{advancedButton, kAdvancedOptionsHelpTopic}})
        SetHelpTopic(widget, topic);
    for (QWidget* w : {static_cast<QWidget*>(FieldEdit(OptionsField::GearboxEfficiency)),
                       findChild<QWidget*>(QStringLiteral("TypicalGearboxEfficiencyButton"))})
        SetHelpTopic(w, kGearboxEfficiencyHelpTopic);
}

int TOptionsForm::Edit() {
    SelectMeasurementMode(settings_, settings_.measurementMode, locale_, messages_);
    ShowSettings();
    return exec();
}

void TOptionsForm::ShowSettings() {
    showing_ = true;
    if (QAbstractButton* mode = modes_->button(settings_.measurementMode)) mode->setChecked(true);
    newtons_->setChecked(settings_.forceInNewtons);
    newtons_->setEnabled(MetricTemperatureAndPressure(settings_));
    printModes_->button(settings_.printInColour ? 1 : 0)->setChecked(true);
    const std::string* texts[] = {&settings_.elevation, &settings_.pressure, &settings_.temperature,
                                  &settings_.gearboxEfficiency};
    for (std::size_t i = 0; i < edits_.size(); ++i)
        if (edits_[i]->text() != Q(*texts[i])) edits_[i]->setText(Q(*texts[i]));
    // An empty flying-field text is no blank to the computation: the field shows what it stands for.
    const FlyingFieldTexts empty = EmptyFlyingFieldMeaning(settings_, locale_);
    for (const auto& [field, text] : {std::pair{OptionsField::Elevation, &empty.elevation},
                                      {OptionsField::Pressure, &empty.pressure},
                                      {OptionsField::Temperature, &empty.temperature}})
        edits_[static_cast<std::size_t>(field)]->setPlaceholderText(Q(*text));
    elevationLabel_->setText(Q(settings_.unitLabels.elevation));
    pressureLabel_->setText(Q(settings_.unitLabels.pressure));
    temperatureLabel_->setText(Q(settings_.unitLabels.temperature));
    for (std::size_t i = 0; i < columns_.size(); ++i)
        columns_[i]->setChecked(ColumnShown(settings_, static_cast<ReportColumnSwitch>(i)));
    useTemp_->setChecked(settings_.useHeating);
    precision_->setChecked(settings_.extraPrecision);
    wizard_->setChecked(settings_.wizardAtStartup);
    tip_->setChecked(settings_.tipAtStartup);
    showing_ = false;
    Recheck();
}

void TOptionsForm::ModeChosen(int mode) {
    SelectMeasurementMode(settings_, mode, locale_, messages_);
    ShowSettings();
}

void TOptionsForm::FieldEdited(OptionsField field, const QString& text) {
    std::string* target = nullptr;
    switch (field) {
    case OptionsField::Elevation: target = &settings_.elevation; break;
    case OptionsField::Pressure: target = &settings_.pressure; break;
    case OptionsField::Temperature: target = &settings_.temperature; break;
    case OptionsField::GearboxEfficiency: target = &settings_.gearboxEfficiency; break;
    }
    *target = S(text);
    Recheck();
}

void TOptionsForm::Recheck() {
    for (OptionsField field : {OptionsField::Elevation, OptionsField::Pressure, OptionsField::Temperature,
                               OptionsField::GearboxEfficiency}) {
        // The warning about a text that is no number comes on OK; while typing the field only turns red.
        NullMessageSink quiet;
        QPalette palette = FieldEdit(field)->palette();
        palette.setColor(QPalette::Text, FieldOutOfRange(settings_, field, locale_, quiet)
                                             ? QColor(Qt::red)
                                             : QApplication::palette().color(QPalette::Text));
        FieldEdit(field)->setPalette(palette);
    }
}

void TOptionsForm::accept() {
    if (!ValidateOptions(settings_, locale_, messages_)) return;
    WriteConfiguration(files_.current, settings_, kConfigurationVersion, messages_);
    QDialog::accept();
}

void TOptionsForm::reject() {
    // Cancel, Esc and the close box all restore the dialog's settings from the file; what the dialog
    // does not edit (recent projects, graph axes, the last tip) keeps its value in memory.
    Settings stored;
    ReadConfiguration(files_, stored, locale_, messages_);
    Settings kept = settings_;
    settings_ = stored;
    settings_.defaultProject = kept.defaultProject;
    settings_.recentProjects = kept.recentProjects;
    settings_.lastTip = kept.lastTip;
    settings_.staticGraph = kept.staticGraph;
    settings_.flightGraph = kept.flightGraph;
    settings_.userName = kept.userName;
    settings_.email = kept.email;
    settings_.advancedWizard = kept.advancedWizard;
    settings_.highNoteSeen = kept.highNoteSeen;
    QDialog::reject();
}

} // namespace ampvane
