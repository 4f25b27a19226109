// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbench/ui/parameter_input_form.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>

#include "common/ui/qt_text.h"
#include "advice/ui/comparison_form.h"
#include "advice/ui/explanation_form.h"
#include "advice/ui/graph_form.h"
#include "analysis/report_export.h"
#include "analysis/ui/report_form.h"
#include "data/name_lookup.h"
#include "data/value_lists.h"
#include "workbench/compute_input.h"
#include "workbench/ui/tool_icons.h"
#include "workbench/ui/window_memory.h"
#include "workbench/ui/workbench_help.h"
#include "workbench/ui/workbench_texts.h"

namespace ampvane {

namespace {

using C = WorkbenchControl;

constexpr const char* kFieldNumberProperty = "fieldNumber";
constexpr const char* kControlProperty = "workbenchControl";
constexpr const char* kPlacedProperty = "ampvanePlaced";


QColor ColourOf(unsigned rgb) { return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

// A small badge for a tool button: the group's colour with one or two letters.
QIcon BadgeIcon(const QString& letters, const QColor& colour) {
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(colour);
    painter.setPen(colour.darker(140));
    painter.drawRoundedRect(QRectF(1.5, 1.5, 21, 21), 5, 5);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(letters.size() > 1 ? 10 : 13);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 0, 24, 24), Qt::AlignCenter, letters);
    return QIcon(pixmap);
}

// A combo box that tells its owner before the list drops down, so the list can be reloaded.
class ValueListComboBox final : public QComboBox {
public:
    explicit ValueListComboBox(std::function<void()> opening, QWidget* parent = nullptr)
        : QComboBox(parent), opening_(std::move(opening)) {}
    void showPopup() override {
        if (opening_) opening_();
        QComboBox::showPopup();
    }

private:
    std::function<void()> opening_;
};

int NumericEditWidth(const QWidget* widget) { return widget->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 14; }

} // namespace

TParameterInputForm::TParameterInputForm(WorkbenchEnvironment environment, QWidget* parent)
    : QMainWindow(parent), env_(std::move(environment)), boxes_(this) {
    setObjectName(QStringLiteral("ParameterInputForm"));
    BuildMenus();
    BuildToolBar();
    InstallOnlineCommands();

    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);
    grid->addWidget(BuildMotorGroup(), 0, 0);
    grid->addWidget(BuildBatteryGroup(), 0, 1);
    grid->addWidget(BuildFilterGroup(), 0, 2);
    grid->addWidget(BuildDriveGroup(), 1, 0);
    grid->addWidget(BuildSpeedControlGroup(), 1, 1);
    grid->addWidget(BuildAirframeGroup(), 1, 2);
    outer->addLayout(grid);
    outer->addWidget(BuildHiddenFields());

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    computeButton_ = MakeButton(QString::fromUtf8(texts::kComputeButton), QStringLiteral("ComputeButton"), true);
    computeButton_->setDefault(true);
    connect(computeButton_, &QPushButton::clicked, this, &TParameterInputForm::ComputeButtonClick);
    auto* closeButton = MakeButton(QStringLiteral("Close"), QStringLiteral("CancelButton"), true);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    auto* helpButton = MakeButton(QStringLiteral("Help..."), QStringLiteral("HelpButton"), false);
    buttons->addWidget(computeButton_);
    buttons->addWidget(closeButton);
    buttons->addWidget(helpButton);
    outer->addLayout(buttons);
    setCentralWidget(central);
    // Where the screen is smaller than the workbench (a small laptop, a large scale factor) the fields
    // scroll instead of running off the screen; elsewhere the window opens at its natural size.
    const QSize natural = sizeHint();
    takeCentralWidget();
    auto* page = new QScrollArea(this);
    page->setObjectName(QStringLiteral("WorkbenchPage"));
    page->setFrameShape(QFrame::NoFrame);
    page->setWidgetResizable(true);
    page->setWidget(central);
    setCentralWidget(page);
    const QSize room = screen() ? screen()->availableSize() - QSize(16, 48) : natural;
    resize(natural.boundedTo(room));

    qApp->installEventFilter(this);
    ConnectComponentCommands();
    ShowFields();
    RenewUnitLabels();
    ApplyWorkbenchIcons(*this);
    if (env_.settings) {
        ConnectWorkbenchHelp(*this, *env_.settings, env_.dataFolder, Messages(), [this] { return WebSite(); });
        new WindowPlaces(*env_.settings, this);
    }
}

TParameterInputForm::~TParameterInputForm() { qApp->removeEventFilter(this); }

// ---- construction helpers ----------------------------------------------------------------------

QLineEdit* TParameterInputForm::MakeEdit(WorkbenchControl id) {
    const WorkbenchControlInfo& info = ControlInfo(id);
    auto* edit = new QLineEdit(this);
    edit->setObjectName(Q(info.name));
    if (info.maxLength > 0) edit->setMaxLength(info.maxLength);
    edit->setProperty(kFieldNumberProperty, info.fieldNumber);
    edit->setProperty(kControlProperty, static_cast<int>(id));
    const bool name = info.fieldNumber % 100 == 0 && info.fieldNumber != 0;
    if (!name) edit->setFixedWidth(NumericEditWidth(edit));
    else edit->setMinimumWidth(NumericEditWidth(edit) * 2);
    connect(edit, &QLineEdit::textEdited, this, [this, id](const QString& text) { FieldEdited(id, text); });
    if (IsRestrictionField(id)) edit->installEventFilter(this);
    if (CountButtonForKey(id, '+')) edit->installEventFilter(this);
    controls_[static_cast<std::size_t>(id)] = edit;
    return edit;
}

QComboBox* TParameterInputForm::MakeValueListCombo(WorkbenchControl id, std::string_view listFile) {
    const WorkbenchControlInfo& info = ControlInfo(id);
    auto* combo = new ValueListComboBox([this, id] { ValueListOpening(id); }, this);
    combo->setObjectName(Q(info.name));
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setMaxVisibleItems(10);
    combo->lineEdit()->setMaxLength(info.maxLength);
    combo->setProperty(kFieldNumberProperty, info.fieldNumber);
    combo->setProperty(kControlProperty, static_cast<int>(id));
    combo->setProperty("valueList", Q(listFile));
    combo->setFixedWidth(NumericEditWidth(combo) + 20);
    connect(combo->lineEdit(), &QLineEdit::textEdited, this, [this, id](const QString& text) {
        if (id == C::GearboxEfficiencyEdit) pendingGearboxValue_.reset();
        FieldEdited(id, text);
    });
    connect(combo, qOverload<int>(&QComboBox::activated), this,
            [this, id](int index) { ValueListItemChosen(id, index); });
    if (id == C::GearboxEfficiencyEdit)
        connect(combo->lineEdit(), &QLineEdit::editingFinished, this, &TParameterInputForm::GearboxEfficiencyLeft);
    controls_[static_cast<std::size_t>(id)] = combo;
    return combo;
}

QCheckBox* TParameterInputForm::MakeCheckBox(WorkbenchControl id, const QString& caption) {
    const WorkbenchControlInfo& info = ControlInfo(id);
    auto* box = new QCheckBox(caption, this);
    box->setObjectName(Q(info.name));
    box->setProperty(kFieldNumberProperty, info.fieldNumber);
    box->setProperty(kControlProperty, static_cast<int>(id));
    connect(box, &QCheckBox::clicked, this, [this, id](bool checked) { CheckBoxClicked(id, checked); });
    controls_[static_cast<std::size_t>(id)] = box;
    return box;
}

QLabel* TParameterInputForm::MakeLabel(const QString& text, QWidget* buddy, const QString& name) {
    auto* label = new QLabel(text, this);
    if (buddy) {
        label->setBuddy(buddy);
        label->setObjectName(name.isEmpty() ? buddy->objectName() + QStringLiteral("Label") : name);
        labels_[S(label->objectName())] = label;
    } else if (!name.isEmpty()) {
        label->setObjectName(name);
        labels_[S(name)] = label;
    }
    return label;
}

QLabel* TParameterInputForm::MakeUnitLabel(const QString& text, const QString& name) {
    auto* label = new QLabel(text, this);
    if (!name.isEmpty()) {
        label->setObjectName(name);
        labels_[S(name)] = label;
    }
    label->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("sq.in ")));
    return label;
}

QPushButton* TParameterInputForm::MakeButton(const QString& caption, const QString& name, bool enabled) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setEnabled(enabled);
    button->setAutoDefault(false);
    return button;
}

QWidget* TParameterInputForm::MakeCountButtons(CountButton plus, CountButton minus) {
    auto* holder = new QWidget(this);
    auto* layout = new QHBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    for (CountButton button : {plus, minus}) {
        auto* b = new QToolButton(holder);
        b->setObjectName(Q(CountButtonName(button)));
        b->setText(button == plus ? QStringLiteral("+") : QStringLiteral("-"));
        b->setFixedSize(18, 18);
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QToolButton::clicked, this, [this, button] { CountButtonClicked(button); });
        layout->addWidget(b);
    }
    return holder;
}

QWidget* TParameterInputForm::ComponentButtons(const QString& open, const QString& save, const QString& clear) {
    // Loading, saving and clearing components come with the component commands.
    auto* holder = new QWidget(this);
    auto* layout = new QHBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(MakeButton(QStringLiteral("Open"), open, false));
    layout->addWidget(MakeButton(QStringLiteral("Save"), save, false));
    layout->addWidget(MakeButton(QStringLiteral("New"), clear, false));
    layout->addStretch();
    return holder;
}

// ---- groups -----------------------------------------------------------------------------------

QGroupBox* TParameterInputForm::MakeGroup(WorkbenchControl id, const QString& title) {
    auto* group = new QGroupBox(title, this);
    group->setObjectName(Q(ControlInfo(id).name));
    controls_[static_cast<std::size_t>(id)] = group;
    return group;
}

QLabel* TParameterInputForm::FieldRow(QGridLayout* grid, int row, const char* label, WorkbenchControl id,
                                      QLabel* unit) {
    auto* edit = MakeEdit(id);
    auto* caption = MakeLabel(QString::fromUtf8(label), edit);
    grid->addWidget(caption, row, 0);
    grid->addWidget(edit, row, 1);
    if (unit) grid->addWidget(unit, row, 2);
    return caption;
}

QGridLayout* TParameterInputForm::NameRowGrid(QGroupBox* group, WorkbenchControl nameId, const char* label,
                                               QLabel** caption, int nameSpan) {
    auto* g = new QGridLayout(group);
    auto* name = MakeEdit(nameId);
    QLabel* nameLabel = MakeLabel(QString::fromUtf8(label), name);
    if (caption) *caption = nameLabel;
    g->addWidget(nameLabel, 0, 0);
    g->addWidget(name, 0, 1, 1, nameSpan);
    return g;
}

QWidget* TParameterInputForm::BuildMotorGroup() {
    QGroupBox* group = MakeGroup(C::MotorGroup, QStringLiteral(" Motor "));
    QGridLayout* g = NameRowGrid(group, C::MotorNameEdit, "Name:");
    const auto row = [&](int r, const char* label, C id, QLabel* unit) { FieldRow(g, r, label, id, unit); };
    row(1, "Motor &Constant:", C::MotorConstantEdit, MakeUnitLabel(QStringLiteral("rpm/V")));
    row(2, "No-load Current:", C::IdleCurrentEdit, MakeUnitLabel(QStringLiteral("A")));
    row(3, "&Resistance:", C::ArmatureResistanceEdit, MakeUnitLabel(QString::fromUtf8(texts::kOhm)));
    auto* oz = MakeUnitLabel(QStringLiteral("oz"), QStringLiteral("OzLabel1"));
    weightLabels_.push_back(oz);
    row(4, "&Weight:", C::MotorWeightEdit, oz);
    auto* boxes = new QHBoxLayout;
    boxes->addWidget(MakeCheckBox(C::MotorBrushlessCheckBox, QStringLiteral("Brushless")));
    boxes->addWidget(MakeCheckBox(C::MotorOutRunnerCheckBox, QStringLiteral("Out-runner")));
    boxes->addStretch();
    g->addLayout(boxes, 5, 0, 1, 4);
    g->addWidget(ComponentButtons(QStringLiteral("LoadMotorButton"), QStringLiteral("SaveMotorButton"),
                                  QStringLiteral("ClearMotorButton")),
                 6, 0, 1, 4);
    auto* tools = new QHBoxLayout;
    tools->addWidget(MakeButton(QStringLiteral("Tests"), QStringLiteral("TestDataInputButton"), false));
    tools->addWidget(MakeButton(QStringLiteral("Catalog"), QStringLiteral("CatalogDataButton"), false));
    tools->addWidget(MakeButton(QStringLiteral("Design"), QStringLiteral("BuildMotorButton"), false));
    tools->addStretch();
    g->addLayout(tools, 7, 0, 1, 4);
    g->setColumnStretch(3, 1);
    g->setRowStretch(8, 1);
    saveButtons_[C::MotorNameEdit] = group->findChild<QPushButton*>(QStringLiteral("SaveMotorButton"));
    return group;
}

QWidget* TParameterInputForm::BuildBatteryGroup() {
    QGroupBox* group = MakeGroup(C::BatteryGroup, QStringLiteral(" Battery "));
    QGridLayout* g = NameRowGrid(group, C::CellNameEdit, "Cell:", nullptr, 6);

    const auto countRow = [&](int r, const char* label, C from, C to, CountButton fromPlus, CountButton fromMinus,
                              CountButton toPlus, CountButton toMinus) {
        auto* fromEdit = MakeEdit(from);
        auto* toEdit = MakeEdit(to);
        const int narrow = fontMetrics().horizontalAdvance(QStringLiteral("000")) + 14;
        fromEdit->setFixedWidth(narrow);
        toEdit->setFixedWidth(narrow);
        g->addWidget(MakeLabel(QString::fromUtf8(label), fromEdit), r, 0);
        g->addWidget(fromEdit, r, 1);
        g->addWidget(MakeCountButtons(fromPlus, fromMinus), r, 2);
        g->addWidget(MakeLabel(QStringLiteral("to"), toEdit), r, 3, Qt::AlignRight);
        g->addWidget(toEdit, r, 4);
        g->addWidget(MakeCountButtons(toPlus, toMinus), r, 5);
    };
    countRow(1, "Series Cells:", C::NumberOfCellsFromEdit, C::NumberOfCellsToEdit, CountButton::NumCellsFromPlus,
             CountButton::NumCellsFromMinus, CountButton::NumCellsToPlus, CountButton::NumCellsToMinus);
    countRow(2, "Parallel Cells:", C::ParallelCellsFromEdit, C::ParallelCellsToEdit,
             CountButton::ParallelCellsFromPlus, CountButton::ParallelCellsFromMinus,
             CountButton::ParallelCellsToPlus, CountButton::ParallelCellsToMinus);

    auto* capacity = MakeEdit(C::CellCapacityEdit);
    auto* voltage = MakeEdit(C::CellVoltageEdit);
    voltage->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 14);
    g->addWidget(MakeLabel(QStringLiteral("Cell Capacity:"), capacity), 3, 0);
    g->addWidget(capacity, 3, 1, 1, 2);
    g->addWidget(MakeLabel(QStringLiteral("mAh @"), voltage), 3, 3);
    g->addWidget(voltage, 3, 4);
    g->addWidget(MakeUnitLabel(QStringLiteral("V")), 3, 5);

    auto* resistance = MakeEdit(C::CellResistanceEdit);
    g->addWidget(MakeLabel(QStringLiteral("Impedance:"), resistance), 4, 0);
    g->addWidget(resistance, 4, 1, 1, 2);
    g->addWidget(MakeUnitLabel(QString::fromUtf8(texts::kOhm)), 4, 3);

    auto* weight = MakeEdit(C::CellWeightEdit);
    auto* oz = MakeUnitLabel(QStringLiteral("oz"), QStringLiteral("OzLabel2"));
    weightLabels_.push_back(oz);
    auto* cRating = MakeEdit(C::CRatingEdit);
    cRating->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 14);
    g->addWidget(MakeLabel(QStringLiteral("Cell We&ight:"), weight), 5, 0);
    g->addWidget(weight, 5, 1, 1, 2);
    g->addWidget(oz, 5, 3);
    g->addWidget(cRating, 5, 4);
    g->addWidget(MakeUnitLabel(QStringLiteral("C")), 5, 5);

    auto* chemistry = new QComboBox(this);
    chemistry->setObjectName(QStringLiteral("CellTypeComboBox"));
    chemistry->addItems({QString(), QStringLiteral("NiCd"), QStringLiteral("NiMH"), QStringLiteral("LiPo"),
                         QStringLiteral("LiNP")});
    chemistry->setProperty(kFieldNumberProperty, ControlInfo(C::CellTypeComboBox).fieldNumber);
    chemistry->setProperty(kControlProperty, static_cast<int>(C::CellTypeComboBox));
    connect(chemistry, &QComboBox::textActivated, this, [this](const QString& text) {
        if (showing_) return;
        fields_.SetText(C::CellTypeComboBox, S(text));
        ApplyCellChemistry(fields_, env_.locale);
        ShowFields();
    });
    controls_[static_cast<std::size_t>(C::CellTypeComboBox)] = chemistry;
    g->addWidget(MakeLabel(QStringLiteral("Chemistry:"), chemistry), 6, 0);
    g->addWidget(chemistry, 6, 1, 1, 3);

    g->addWidget(ComponentButtons(QStringLiteral("LoadCellButton"), QStringLiteral("SaveCellButton"),
                                  QStringLiteral("ClearBatteryButton")),
                 7, 0, 1, 7);
    g->setColumnStretch(6, 1);
    g->setRowStretch(8, 1);
    saveButtons_[C::CellNameEdit] = group->findChild<QPushButton*>(QStringLiteral("SaveCellButton"));
    return group;
}

QWidget* TParameterInputForm::BuildFilterGroup() {
    QGroupBox* group = MakeGroup(C::FilterGroup, QStringLiteral(" Filter "));
    auto* v = new QVBoxLayout(group);
    auto* top = new QGridLayout;
    auto* name = MakeEdit(C::FilterNameEdit);
    top->addWidget(MakeLabel(QStringLiteral("Name:"), name), 0, 0);
    top->addWidget(name, 0, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ComponentButtons(QStringLiteral("LoadFilterButton"), QStringLiteral("SaveFilterButton"),
                                        QStringLiteral("ClearFilterButton")));
    buttons->addWidget(MakeCheckBox(C::UseFilterCheckBox, QStringLiteral("Use It")));
    top->addLayout(buttons, 1, 0, 1, 2);
    v->addLayout(top);

    restrictionBox_ = new QScrollArea(this);
    restrictionBox_->setObjectName(QStringLiteral("RestrictionScrollBox"));
    restrictionBox_->setWidgetResizable(true);
    restrictionBox_->setFrameShape(QFrame::StyledPanel);
    auto* inner = new QWidget(restrictionBox_);
    auto* g = new QGridLayout(inner);
    g->setVerticalSpacing(4);
    struct Row {
        const char* label;
        C id;
        const char* unit;
        const char* unitName;
    };
    const Row rows[] = {
        {"Maximum Current:", C::MaxCurrentEdit, "A", nullptr},
        {"Maximum Loss:", C::MaxPowerLossEdit, "W", nullptr},
        {"Min Motor Efficiency:", C::MinEfficiencyEdit, "%", nullptr},
        {"Minimum Thrust:", C::MinThrustEdit, "oz", "ThrustLabel"},
        {"Min Pitch Speed:", C::MinSpeedEdit, "mph", "MPHLabel1"},
        {"Max Pitch Speed:", C::MaxSpeedEdit, "mph", "MPHLabel2"},
        {"Minimum Run Time:", C::MinTimeEdit, "sec", nullptr},
        {"Max Pitch Ratio:", C::MaxPitchRatioEdit, "diam", nullptr},
        {"Max Motor RPM:", C::MaxRPMEdit, "rpm", nullptr},
    };
    int r = 0;
    for (const Row& row : rows) {
        auto* edit = MakeEdit(row.id);
        edit->setParent(inner);
        auto* label = MakeLabel(QString::fromUtf8(row.label), edit);
        auto* unit = MakeUnitLabel(QString::fromUtf8(row.unit), row.unitName ? QString::fromUtf8(row.unitName) : QString());
        g->addWidget(label, r, 0);
        g->addWidget(edit, r, 1);
        g->addWidget(unit, r, 2);
        if (row.id == C::MinThrustEdit) thrustLabel_ = unit;
        if (row.id == C::MinSpeedEdit) speedLabels_[0] = unit;
        if (row.id == C::MaxSpeedEdit) speedLabels_[1] = unit;
        if (row.id == C::MaxPitchRatioEdit) {
            pitchRatioLabel_ = label;
            pitchRatioUnit_ = unit;
        }
        ++r;
    }
    g->setColumnStretch(3, 1);
    restrictionBox_->setWidget(inner);
    restrictionRowHeight_ = controls_[static_cast<std::size_t>(C::MaxCurrentEdit)]->sizeHint().height() +
                            g->verticalSpacing();
    // Every restriction shows at the default size (a preset limit applies as soon as "Use It" is
    // ticked, so none may hide below the fold); the box grows with the window.
    restrictionBox_->setMinimumHeight(restrictionRowHeight_ * 9 + 3 + 2 * restrictionBox_->frameWidth() +
                                      g->contentsMargins().top() + g->contentsMargins().bottom());
    v->addWidget(restrictionBox_, 1);
    saveButtons_[C::FilterNameEdit] = group->findChild<QPushButton*>(QStringLiteral("SaveFilterButton"));
    return group;
}

QWidget* TParameterInputForm::BuildDriveGroup() {
    QGroupBox* group = MakeGroup(C::Drive_SystemGroup, QStringLiteral(" Drive System "));
    auto* v = new QVBoxLayout(group);
    auto* nameRow = new QHBoxLayout;
    auto* name = MakeEdit(C::DriveSystemNameEdit);
    nameRow->addWidget(MakeLabel(QStringLiteral("Description:"), name));
    nameRow->addWidget(name, 1);
    v->addLayout(nameRow);

    drivePages_ = new QTabWidget(this);
    drivePages_->setObjectName(QStringLiteral("DriveSystemPages"));
    controls_[static_cast<std::size_t>(C::DriveSystemPages)] = drivePages_;

    // Propeller page.
    auto* prop = new QWidget(drivePages_);
    prop->setObjectName(QStringLiteral("PropellerPage"));
    auto* pg = new QGridLayout(prop);
    const auto rangeRow = [&](int r, const char* label, C from, C to, C by, const char* unitName) {
        auto* fromEdit = MakeEdit(from);
        auto* toEdit = MakeEdit(to);
        auto* byEdit = MakeEdit(by);
        pg->addWidget(MakeLabel(QString::fromUtf8(label), fromEdit), r, 0);
        pg->addWidget(fromEdit, r, 1);
        pg->addWidget(MakeLabel(QStringLiteral("to"), toEdit), r, 2, Qt::AlignRight);
        pg->addWidget(toEdit, r, 3);
        pg->addWidget(MakeLabel(QStringLiteral("by"), byEdit), r, 4, Qt::AlignRight);
        pg->addWidget(byEdit, r, 5);
        QLabel* unit = MakeUnitLabel(unitName ? QStringLiteral("in") : QStringLiteral(":1"),
                                     unitName ? QString::fromUtf8(unitName) : QString());
        pg->addWidget(unit, r, 6);
        return unit;
    };
    rangeRow(0, "&Gear Ratio:", C::GearRatioFromEdit, C::GearRatioToEdit, C::GearRatioByEdit, nullptr);
    propSizeLabels_[0] = rangeRow(1, "Propeller Diam:", C::PropellerDiameterFromEdit, C::PropellerDiameterToEdit,
                                  C::PropellerDiameterByEdit, "InLabel1");
    propSizeLabels_[1] = rangeRow(2, "Prope&ller Pitch:", C::PropellerPitchFromEdit, C::PropellerPitchToEdit,
                                  C::PropellerPitchByEdit, "InLabel2");
    auto* blades = MakeEdit(C::PropellerBladesEdit);
    pg->addWidget(MakeLabel(QStringLiteral("Num Blades:"), blades), 3, 0);
    pg->addWidget(blades, 3, 1);
    auto* pConst = MakeValueListCombo(C::PropConstantEdit, kPropConstList);
    auto* tConst = MakeValueListCombo(C::ThrustConstantEdit, kThrustConstList);
    pg->addWidget(MakeLabel(QStringLiteral("P.Const:"), pConst), 4, 0);
    pg->addWidget(pConst, 4, 1);
    pg->addWidget(MakeLabel(QStringLiteral("T.Const:"), tConst), 4, 2, 1, 1, Qt::AlignRight);
    pg->addWidget(tConst, 4, 3);
    pg->addWidget(MakeButton(QStringLiteral("Const..."), QStringLiteral("PropConstButton"), false), 4, 4, 1, 2);
    auto* efficiency = MakeValueListCombo(C::GearboxEfficiencyEdit, kGearboxEffList);
    pg->addWidget(MakeLabel(QStringLiteral("G.B. Efficiency:"), efficiency), 5, 0);
    pg->addWidget(efficiency, 5, 1);
    auto* gbWeight = MakeEdit(C::GearboxWeightEdit);
    auto* oz3 = MakeUnitLabel(QStringLiteral("oz"), QStringLiteral("OzLabel3"));
    weightLabels_.push_back(oz3);
    auto* weightRow = new QHBoxLayout;
    auto* percent = new QLabel(QStringLiteral("%"), this);
    weightRow->addWidget(percent);
    weightRow->addStretch();
    weightRow->addWidget(MakeLabel(QStringLiteral("Weight:"), gbWeight));
    pg->addLayout(weightRow, 5, 2);
    pg->addWidget(gbWeight, 5, 3);
    pg->addWidget(oz3, 5, 4, 1, 2);
    pg->setColumnStretch(7, 1);
    pg->setRowStretch(6, 1);
    drivePages_->addTab(prop, QStringLiteral("Propeller"));

    // Ducted fan page.
    auto* fan = new QWidget(drivePages_);
    fan->setObjectName(QStringLiteral("DuctedFanPage"));
    auto* fg = new QGridLayout(fan);
    const auto fanField = [&](int r, int c, const char* label, C id, bool length, bool fanColour) {
        auto* edit = MakeEdit(id);
        auto* l = MakeLabel(QString::fromUtf8(label), edit);
        fg->addWidget(l, r, c);
        fg->addWidget(edit, r, c + 1);
        if (length) {
            auto* unit = MakeUnitLabel(QStringLiteral("in"), edit->objectName() + QStringLiteral("Unit"));
            lengthLabels_.push_back(unit);
            fg->addWidget(unit, r, c + 2);
        }
        if (fanColour) fanLabels_.push_back(l);
        return edit;
    };
    fanField(0, 0, "Fan Diameter:", C::FanDiameterEdit, true, false);
    fanField(0, 3, "Hub Diameter:", C::HubDiameterEdit, true, false);
    fanField(1, 0, "Fan Pitch:", C::FanPitchEdit, true, false);
    fanField(1, 3, "Weight:", C::FanWeightEdit, false, false);
    auto* oz4 = MakeUnitLabel(QStringLiteral("oz"), QStringLiteral("OzLabel4"));
    weightLabels_.push_back(oz4);
    fg->addWidget(oz4, 1, 5);
    fanField(2, 0, "Power Coeff:", C::FanPowerCoeffEdit, false, false);
    fanField(2, 3, "Thrust Coeff:", C::FanThrustCoeffEdit, false, false);
    fanField(3, 0, "Intake Diam:", C::IntakeDiameterEdit, true, true);
    fanField(3, 3, "Int. Length:", C::IntakeLengthEdit, true, true);
    fanField(4, 0, "Exhaust Diam:", C::ExhaustDiameterEdit, true, true);
    fanField(4, 3, "Exh. Length:", C::ExhaustLengthEdit, true, true);
    auto* fanButtons = new QHBoxLayout;
    fanButtons->addWidget(MakeButton(QStringLiteral("Coeff..."), QStringLiteral("FanCoeffButton"), false));
    pitchButton_ = MakeButton(QStringLiteral("Pitch..."), QStringLiteral("PitchButton"), false);
    fanButtons->addWidget(pitchButton_);
    fanButtons->addStretch();
    fg->addLayout(fanButtons, 5, 0, 1, 6);
    fg->setColumnStretch(6, 1);
    fg->setRowStretch(6, 1);
    drivePages_->addTab(fan, QStringLiteral("Ducted Fan"));
    connect(drivePages_, &QTabWidget::currentChanged, this, &TParameterInputForm::DrivePageChanged);
    v->addWidget(drivePages_);

    auto* counts = new QHBoxLayout;
    for (auto [label, id] : {std::pair{"Num Props:", C::NumberOfPropsEdit}, std::pair{"Series Motors:", C::SeriesMotorsEdit},
                             std::pair{"Parallel Motors:", C::ParallelMotorsEdit}}) {
        auto* edit = MakeEdit(id);
        edit->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("000")) + 14);
        counts->addWidget(MakeLabel(QString::fromUtf8(label), edit));
        counts->addWidget(edit);
        counts->addSpacing(6);
    }
    counts->addStretch();
    v->addLayout(counts);
    v->addWidget(ComponentButtons(QStringLiteral("LoadDriveButton"), QStringLiteral("SaveDriveButton"),
                                  QStringLiteral("ClearDriveSystemButton")));
    saveButtons_[C::DriveSystemNameEdit] = group->findChild<QPushButton*>(QStringLiteral("SaveDriveButton"));
    return group;
}

QWidget* TParameterInputForm::BuildSpeedControlGroup() {
    QGroupBox* group = MakeGroup(C::Speed_ControlGroup, QStringLiteral(" Speed Control "));
    QGridLayout* g = NameRowGrid(group, C::ESCNameEdit, "Name:");
    const auto row = [&](int r, const char* label, C id, QLabel* unit) { FieldRow(g, r, label, id, unit); };
    row(1, "Resistance:", C::ESCResistanceEdit, MakeUnitLabel(QString::fromUtf8(texts::kOhm)));
    row(2, "Ma&ximum Current:", C::ESCMaxCurrentEdit, MakeUnitLabel(QStringLiteral("A")));
    auto* oz = MakeUnitLabel(QStringLiteral("oz"), QStringLiteral("OzLabel5"));
    weightLabels_.push_back(oz);
    row(3, "Weight:", C::ESCWeightEdit, oz);
    auto* boxes = new QHBoxLayout;
    boxes->addWidget(MakeCheckBox(C::ESCHighRateCheckBox, QStringLiteral("High-rate")));
    boxes->addWidget(MakeCheckBox(C::ESCBrushlessCheckBox, QStringLiteral("Brushless")));
    boxes->addStretch();
    g->addLayout(boxes, 4, 0, 1, 4);
    row(5, "Number of ESCs:", C::MultipleESCsEdit, nullptr);
    g->addWidget(ComponentButtons(QStringLiteral("LoadESCButton"), QStringLiteral("SaveESCButton"),
                                  QStringLiteral("ClearESCButton")),
                 6, 0, 1, 4);
    g->setColumnStretch(3, 1);
    g->setRowStretch(7, 1);
    saveButtons_[C::ESCNameEdit] = group->findChild<QPushButton*>(QStringLiteral("SaveESCButton"));
    return group;
}

QWidget* TParameterInputForm::BuildAirframeGroup() {
    QGroupBox* group = MakeGroup(C::AirframeGroup, QStringLiteral(" Airframe "));
    QLabel* nameLabel = nullptr;
    QGridLayout* g = NameRowGrid(group, C::AirframeNameEdit, "Name:", &nameLabel);
    airframeLabels_.push_back(nameLabel);
    const auto row = [&](int r, const char* label, C id, QLabel* unit) {
        airframeLabels_.push_back(FieldRow(g, r, label, id, unit));
    };
    auto* spanUnit = MakeUnitLabel(QStringLiteral("in"), QStringLiteral("WingSpanEditUnit"));
    lengthLabels_.push_back(spanUnit);
    row(1, "Wing Span:", C::WingSpanEdit, spanUnit);
    areaLabel_ = MakeUnitLabel(QStringLiteral("sq.in"), QStringLiteral("SqInLabel1"));
    row(2, "Wing Area:", C::WingAreaEdit, areaLabel_);
    auto* oz = MakeUnitLabel(QStringLiteral("oz"), QStringLiteral("OzLabel6"));
    weightLabels_.push_back(oz);
    row(3, "Empty Weight:", C::EmptyWeightEdit, oz);

    coeffBox_ = new QScrollArea(this);
    coeffBox_->setObjectName(QStringLiteral("CoeffScrollBox"));
    coeffBox_->setWidgetResizable(true);
    auto* inner = new QWidget(coeffBox_);
    auto* lines = new QVBoxLayout(inner);
    lines->setSpacing(0);
    lines->setContentsMargins(4, 2, 4, 2);
    QFont mono(QStringLiteral("Monospace"));
    mono.setStyleHint(QFont::TypeWriter);
    for (std::size_t i = 0; i < coeffLabels_.size(); ++i) {
        auto* line = new QLabel(inner);
        line->setObjectName(QStringLiteral("CoeffLabel%1").arg(i + 1));
        line->setFont(mono);
        coeffLabels_[i] = line;
        lines->addWidget(line);
    }
    lines->addStretch();
    coeffBox_->setWidget(inner);
    coeffBox_->setFixedWidth(QFontMetrics(mono).horizontalAdvance(QStringLiteral("Clmax=00.000")) + 30);
    // All eight lines show; the box grows with the window.
    coeffBox_->setMinimumHeight(QFontMetrics(mono).lineSpacing() * 8 + 12);
    g->addWidget(coeffBox_, 1, 3, 3, 1, Qt::AlignRight);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ComponentButtons(QStringLiteral("LoadAirframeButton"), QStringLiteral("SaveAirframeButton"),
                                        QStringLiteral("ClearAirframeButton")));
    buttons->addWidget(MakeButton(QStringLiteral("Coeff..."), QStringLiteral("CLButton"), false));
    g->addLayout(buttons, 4, 0, 1, 4);
    g->setColumnStretch(3, 1);
    g->setRowStretch(5, 1);
    saveButtons_[C::AirframeNameEdit] = group->findChild<QPushButton*>(QStringLiteral("SaveAirframeButton"));
    return group;
}

QWidget* TParameterInputForm::BuildHiddenFields() {
    auto* holder = new QWidget(this);
    holder->hide();
    for (C id : {C::TempConfigNameEdit, C::WizardInfoEdit, C::WireWizInfoEdit, C::AirfoilInfoEdit, C::DragInfoEdit}) {
        QLineEdit* edit = MakeEdit(id);
        edit->setParent(holder);
    }
    clipBuffer_ = new QPlainTextEdit(holder);
    clipBuffer_->setObjectName(QStringLiteral("TempClipBuf"));
    return holder;
}

// ---- menus and tool bar ---------------------------------------------------------------------------

void TParameterInputForm::SetWizardCommand(std::function<void()> open) {
    for (const char* name : {"AmpvaneWizardItem", "WizardToolButton"}) {
        QAction* action = findChild<QAction*>(QString::fromLatin1(name));
        if (!action) continue;
        action->setEnabled(static_cast<bool>(open));
        if (open) connect(action, &QAction::triggered, this, [open] { open(); });
    }
}

void TParameterInputForm::BuildMenus() {
    QMenuBar* bar = menuBar();
    const auto item = [this](QMenu* menu, const char* caption, const char* name, bool enabled,
                             QKeySequence shortcut = {}) {
        QAction* action = menu->addAction(QString::fromUtf8(caption));
        action->setObjectName(QString::fromUtf8(name));
        action->setShortcut(shortcut);
        action->setEnabled(enabled);
        return action;
    };
    const auto newMenu = [bar](const char* caption, const char* name) {
        QMenu* menu = bar->addMenu(QString::fromUtf8(caption));
        menu->setObjectName(QString::fromUtf8(name));
        return menu;
    };

    QMenu* project = newMenu("&Project", "ProjectMenu");
    projectMenu_ = project;
    const bool stored = env_.tables && env_.settings;
    connect(item(project, "&New...", "NewProjectItem", stored, QKeySequence(QStringLiteral("Ctrl+N"))),
            &QAction::triggered, this, &TParameterInputForm::NewProjectCommand);
    connect(item(project, "&Open...", "OpenProjectItem", stored, QKeySequence(QStringLiteral("Ctrl+O"))),
            &QAction::triggered, this, &TParameterInputForm::OpenProjectCommand);
    connect(item(project, "&Save", "SaveProjectItem", stored, QKeySequence(QStringLiteral("Ctrl+S"))),
            &QAction::triggered, this, [this] { SaveProjectCommand(false); });
    connect(item(project, "Save &As...", "SaveProjectAsItem", stored), &QAction::triggered, this,
            [this] { SaveProjectCommand(true); });
    project->addSeparator();
    connect(item(project, "C&opy Project", "CopyProjectItem", stored, QKeySequence(QStringLiteral("Ctrl+Alt+C"))),
            &QAction::triggered, this, &TParameterInputForm::CopyProjectCommand);
    connect(item(project, "P&aste Project", "PasteProjectItem", stored, QKeySequence(QStringLiteral("Ctrl+Alt+V"))),
            &QAction::triggered, this, &TParameterInputForm::PasteProjectCommand);
    project->addSeparator();
    item(project, "&AmpvaneWizard...", "AmpvaneWizardItem", false, QKeySequence(QStringLiteral("Ctrl+W")));
    item(project, "&Wiring Wizard...", "WiringWizardItem", false, QKeySequence(QStringLiteral("Ctrl+Alt+W")));
    recentSeparator_ = project->addSeparator();
    for (int i = 1; i <= 9; ++i) {
        QAction* recent = project->addAction(QString());
        recent->setObjectName(QStringLiteral("Recent%1").arg(i));
        recent->setVisible(false);
        connect(recent, &QAction::triggered, this,
                [this, recent] { OpenRecentProject(S(recent->data().toString())); });
        recentActions_[static_cast<std::size_t>(i - 1)] = recent;
    }
    connect(project, &QMenu::aboutToShow, this, &TParameterInputForm::FillRecentMenu);
    project->addSeparator();
    connect(item(project, "E&xit", "ExitItem", true), &QAction::triggered, this, &QWidget::close);

    QMenu* edit = newMenu("&Edit", "EditMenu");
    connect(item(edit, "Cu&t", "CutItem", true, QKeySequence(QStringLiteral("Ctrl+X"))), &QAction::triggered, this,
            [this] { EditCommand(0); });
    connect(item(edit, "&Copy", "CopyItem", true, QKeySequence(QStringLiteral("Ctrl+C"))), &QAction::triggered, this,
            [this] { EditCommand(1); });
    connect(item(edit, "&Paste", "PasteItem", true, QKeySequence(QStringLiteral("Ctrl+V"))), &QAction::triggered,
            this, [this] { EditCommand(2); });
    // The edit fields handle these keys themselves; the menu serves the mouse.
    for (QAction* a : edit->actions()) a->setShortcutContext(Qt::WidgetShortcut);

    const auto componentMenu = [&](const char* caption, const char* name, const char* prefix) {
        QMenu* menu = newMenu(caption, name);
        const std::string p(prefix);
        item(menu, "&New", (p + "NewItem").c_str(), false);
        item(menu, "&Open...", (p + "OpenItem").c_str(), false);
        item(menu, "&Save", (p + "SaveItem").c_str(), false);
        return menu;
    };
    QMenu* motor = componentMenu("&Motor", "MotorMenu", "Motor");
    motor->addSeparator();
    item(motor, "Motor &Designer...", "MotorDesignerItem", false);
    item(motor, "Enter &Test Data...", "EnterTestDataItem", false);
    item(motor, "Enter &Catalog Data...", "EnterCatalogDataItem", false);
    componentMenu("&Battery", "BatteryMenu", "Battery");
    QMenu* filter = componentMenu("&Filter", "FilterMenu", "Filter");
    filter->addSeparator();
    useFilterAction_ = item(filter, "&Use Filter", "UseFilterItem", true);
    useFilterAction_->setCheckable(true);
    connect(useFilterAction_, &QAction::triggered, this, [this](bool checked) {
        fields_.SetChecked(C::UseFilterCheckBox, checked);
        ShowFields();
    });

    QMenu* drive = componentMenu("&Drive System", "DriveSystemMenu", "DriveSystem");
    drive->addSeparator();
    propellerAction_ = item(drive, "&Propeller", "PropellerItem", true);
    fanAction_ = item(drive, "&Ducted Fan", "DuctedFanItem", true);
    propellerAction_->setCheckable(true);
    fanAction_->setCheckable(true);
    connect(propellerAction_, &QAction::triggered, this, [this] { drivePages_->setCurrentIndex(kPropellerPage); });
    connect(fanAction_, &QAction::triggered, this, [this] { drivePages_->setCurrentIndex(kDuctedFanPage); });
    drive->addSeparator();
    fanPitchAction_ = item(drive, "Pitch &Calculator...", "PitchCalculatorItem", false);
    fanCoeffAction_ = item(drive, "Co&efficient Estimator...", "FanCoefficientEstimatorItem", false);
    propConstAction_ = item(drive, "Constant &Estimator...", "ConstantEstimatorItem", false);
    connect(drive, &QMenu::aboutToShow, this, &TParameterInputForm::UpdateDrivePageView);

    componentMenu("&Speed Control", "SpeedControlMenu", "SpeedControl");
    QMenu* airframe = componentMenu("&Airframe", "AirframeMenu", "Airframe");
    airframe->addSeparator();
    item(airframe, "&Coefficient Calculator...", "CoefficientCalculatorItem", false);

    QAction* options = bar->addAction(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("OptionsItem"));
    options->setEnabled(bool(env_.showOptions));
    if (env_.showOptions) connect(options, &QAction::triggered, this, [this] { env_.showOptions(); });

    QMenu* update = newMenu("Upda&te", "UpdateMenu");
    item(update, "Update &All...", "UpdateAllItem", false);
    update->addSeparator();
    for (auto [caption, name] :
         {std::pair{"&Projects...", "UpdateProjectsItem"}, std::pair{"&Motors...", "UpdateMotorsItem"},
          std::pair{"&Cells...", "UpdateCellsItem"}, std::pair{"&Filters...", "UpdateFiltersItem"},
          std::pair{"Propeller &Drive Systems...", "UpdatePropellerDrivesItem"},
          std::pair{"Fan D&rive Systems...", "UpdateFanDrivesItem"},
          std::pair{"&Speed Controls...", "UpdateSpeedControlsItem"}, std::pair{"&Airframes...", "UpdateAirframesItem"}})
        item(update, caption, name, false);
    update->addSeparator();
    item(update, "C&ontribute Your Data...", "ContributeItem", false);
    item(update, "&Get Contributed Data...", "GetContributedItem", false);

    QMenu* help = newMenu("&Help", "HelpMenu");
    for (auto [caption, name] :
         {std::pair{"&Help Topics...", "HelpTopicsItem"}, std::pair{"&Introduction...", "IntroductionItem"},
          std::pair{"&Quick Tutorial...", "QuickTutorialItem"}, std::pair{"What's &New?...", "WhatsNewItem"},
          std::pair{"The Ampvane&Wizard...", "WizardHelpItem"}, std::pair{"Tips and Tric&ks...", "TipsAndTricksItem"},
          std::pair{"&Frequently Asked Questions...", "FAQItem"}})
        item(help, caption, name, false);
    help->addSeparator();
    // The web links go to the exchange server's site (the options' "server"), connected with the
    // rest of the help; the caption follows a changed server.
    item(help, "In-Depth &Tutorial (web)...", "InDepthTutorialItem", false);
    QAction* visit = item(help, "", "VisitOurWebSite1", false);
    const auto nameSite = [this, visit] { visit->setText(QStringLiteral("&Visit %1").arg(QUrl(WebSite()).host())); };
    nameSite();
    connect(help, &QMenu::aboutToShow, this, nameSite);
    help->addSeparator();
    item(help, "Tip of the &Day...", "TipOfTheDayItem", false);
    item(help, "&E-mail Technical Support...", "TechnicalSupportItem", false);
    item(help, "&About Ampvane...", "AboutItem", false);
}

void TParameterInputForm::BuildToolBar() {
    QToolBar* bar = addToolBar(QStringLiteral("Tools"));
    bar->setObjectName(QStringLiteral("ToolBar"));
    bar->setMovable(false);
    bar->setIconSize(QSize(24, 24));
    const QColor project(0x3A, 0x6E, 0xA5), wizard(0x7B, 0x4F, 0x9D), motor(0xB0, 0x5A, 0x1E),
        component(0x2E, 0x7D, 0x32), options(0x55, 0x55, 0x55), online(0x00, 0x79, 0x8A), help(0x8E, 0x6C, 0x00),
        compute(0xC6, 0x28, 0x28);
    const auto button = [&](const char* hint, const char* name, const char* letters, const QColor& colour,
                            bool enabled) {
        QAction* action = bar->addAction(BadgeIcon(QString::fromUtf8(letters), colour), QString::fromUtf8(hint));
        action->setObjectName(QString::fromUtf8(name));
        action->setToolTip(QString::fromUtf8(hint));
        action->setEnabled(enabled);
        return action;
    };
    const bool stored = env_.tables && env_.settings;
    connect(button("New Project", "NewProjectToolButton", "N", project, stored), &QAction::triggered, this,
            &TParameterInputForm::NewProjectCommand);
    connect(button("Open Project", "OpenProjectToolButton", "O", project, stored), &QAction::triggered, this,
            &TParameterInputForm::OpenProjectCommand);
    connect(button("Save Project", "SaveProjectToolButton", "S", project, stored), &QAction::triggered, this,
            [this] { SaveProjectCommand(false); });
    connect(button("Save Project As", "SaveProjectAsToolButton", "SA", project, stored), &QAction::triggered, this,
            [this] { SaveProjectCommand(true); });
    bar->addSeparator();
    button("AmpvaneWizard", "WizardToolButton", "AW", wizard, false);
    button("Wiring Wizard", "WiringWizardToolButton", "WW", wizard, false);
    bar->addSeparator();
    button("Select Motor", "SelectMotorToolButton", "M", motor, false);
    button("Motor Designer", "MotorDesignerToolButton", "MD", motor, false);
    button("Enter Test Data", "TestDataToolButton", "TD", motor, false);
    button("Enter Catalog Data", "CatalogDataToolButton", "CD", motor, false);
    bar->addSeparator();
    button("Select Cell Type", "SelectCellToolButton", "C", component, false);
    button("Select Filter", "SelectFilterToolButton", "F", component, false);
    button("Select Propeller Drive Sytems", "SelectPropellerToolButton", "P", component, false);
    button("Select Fan Drive System", "SelectFanToolButton", "DF", component, false);
    button("Select Speed Control", "SelectESCToolButton", "SC", component, false);
    button("Select Airframe", "SelectAirframeToolButton", "A", component, false);
    bar->addSeparator();
    QAction* optionsButton = button("Options", "OptionsToolButton", "Op", options, bool(env_.showOptions));
    if (env_.showOptions) connect(optionsButton, &QAction::triggered, this, [this] { env_.showOptions(); });
    bar->addSeparator();
    QAction* updateAll = button("Update All", "UpdateAllToolButton", "U", online, false);
    updateAll->setToolTip(QStringLiteral("Update All from %1").arg(QUrl(WebSite()).host()));
    button("Contribute Your Data", "ContributeToolButton", "Up", online, false);
    button("Get User Contributed Data", "GetContributedToolButton", "Dn", online, false);
    bar->addSeparator();
    button("Help", "HelpToolButton", "?", help, false);
    button("Tips And Tricks", "TipsToolButton", "T", help, false);
    button("Frequently Asked Questions", "FAQToolButton", "Q", help, false);
    bar->addSeparator();
    QAction* computeAction = button("Compute Report", "ComputeToolButton", "=", compute, true);
    connect(computeAction, &QAction::triggered, this, &TParameterInputForm::ComputeButtonClick);
}

// ---- showing the fields ----------------------------------------------------------------------------

QWidget* TParameterInputForm::Control(WorkbenchControl id) const { return controls_[static_cast<std::size_t>(id)]; }

void TParameterInputForm::SetFields(const WorkbenchFields& fields) {
    fields_ = fields;
    ApplyBrushlessStates(fields_);
    ApplyCellChemistry(fields_, env_.locale, Marking::Keep);
    ShowFields();
}

void TParameterInputForm::ShowFields() {
    showing_ = true;
    const QPalette normal = QApplication::palette();
    for (const WorkbenchControlInfo& info : WorkbenchControls()) {
        QWidget* widget = Control(info.id);
        if (!widget) continue;
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            const QString text = Q(fields_.Text(info.id));
            if (edit->text() != text) edit->setText(text);
            edit->setReadOnly(fields_.ReadOnly(info.id));
            QPalette palette = normal;
            if (fields_.ReadOnly(info.id)) palette.setColor(QPalette::Base, normal.color(QPalette::Window));
            edit->setPalette(palette);
        } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            const QString text = Q(fields_.Text(info.id));
            if (combo->isEditable()) {
                if (combo->currentText() != text) combo->setEditText(text);
            } else {
                int index = combo->findText(text);
                if (index < 0) {
                    combo->addItem(text); // a stored chemistry the fixed list does not know
                    index = combo->count() - 1;
                }
                combo->setCurrentIndex(index);
            }
        } else if (auto* box = qobject_cast<QCheckBox*>(widget)) {
            box->setChecked(fields_.Checked(info.id));
        }
        widget->setEnabled(fields_.Enabled(info.id));
    }
    if (drivePages_->currentIndex() != fields_.DrivePage()) drivePages_->setCurrentIndex(fields_.DrivePage());
    useFilterAction_->setChecked(fields_.Checked(C::UseFilterCheckBox));
    // Saving a component needs a name; until the component commands are there Save stays off.
    for (auto [nameField, button] : saveButtons_)
        if (button) button->setEnabled(componentCommands_ && !TrimText(fields_.Text(nameField)).empty());
    UpdateDrivePageView();
    UpdateCoefficientLines();
    UpdateTitle();
    showing_ = false;
}

void TParameterInputForm::UpdateTitle() {
    // "[*]" is where the window shows that the project has unsaved changes.
    setWindowTitle(Q(WorkbenchTitle(fields_.ProjectName())) + QStringLiteral("[*]"));
    setWindowModified(fields_.ProjectModified());
}

void TParameterInputForm::UpdateCoefficientLines() {
    const auto lines = AirframeCoefficientLines(fields_, Units().metric, env_.locale);
    for (std::size_t i = 0; i < lines.size(); ++i) coeffLabels_[i]->setText(Q(lines[i]));
}

void TParameterInputForm::UpdateDrivePageView() {
    const DrivePageView view = DrivePageViewFor(fields_.DrivePage());
    pitchButton_->setVisible(view.pitchButtonVisible);
    pitchRatioLabel_->setEnabled(view.pitchRatioEnabled);
    pitchRatioUnit_->setEnabled(view.pitchRatioEnabled);
    Control(C::MaxPitchRatioEdit)->setEnabled(view.pitchRatioEnabled && fields_.Enabled(C::MaxPitchRatioEdit));
    QPalette ratio = QApplication::palette();
    if (!view.pitchRatioEnabled) ratio.setColor(QPalette::Base, ratio.color(QPalette::Window));
    Control(C::MaxPitchRatioEdit)->setPalette(ratio);

    const QColor fanColour = ColourOf(env_.moreThan256Colours ? kFanColour : kFanColourFewColours);
    QPalette fanPalette = QApplication::palette();
    fanPalette.setColor(QPalette::WindowText, fanColour);
    for (QLabel* label : fanLabels_) label->setPalette(fanPalette);
    for (QLabel* label : airframeLabels_)
        label->setPalette(view.airframeLabelsFanColour ? fanPalette : QApplication::palette());

    const bool fan = fields_.DrivePage() == kDuctedFanPage;
    propellerAction_->setChecked(!fan);
    fanAction_->setChecked(fan);
    propConstAction_->setVisible(!fan);
    fanPitchAction_->setVisible(fan);
    fanCoeffAction_->setVisible(fan);
}

WorkbenchUnits TParameterInputForm::Units() const {
    if (!env_.settings) return {};
    return WorkbenchUnitsForMode(env_.settings->measurementMode, env_.settings->forceInNewtons);
}

void TParameterInputForm::RenewUnitLabels() {
    const WorkbenchUnitLabels labels = UnitLabelsFor(Units());
    for (QLabel* label : weightLabels_) label->setText(Q(labels.weight));
    for (QLabel* label : lengthLabels_) label->setText(Q(labels.length));
    for (QLabel* label : propSizeLabels_) label->setText(Q(labels.propSize));
    areaLabel_->setText(Q(labels.area));
    thrustLabel_->setText(Q(labels.thrust));
    for (QLabel* label : speedLabels_) label->setText(Q(labels.speed));
    UpdateCoefficientLines();
}

void TParameterInputForm::UnitsChanged(const WorkbenchUnits& previous) {
    ConvertWorkbenchUnits(fields_, previous, Units(), env_.locale, Messages());
    ShowFields();
    RenewUnitLabels();
}

// ---- events ------------------------------------------------------------------------------------

void TParameterInputForm::FieldEdited(WorkbenchControl id, const QString& text) {
    if (showing_) return;
    fields_.SetText(id, S(text));
    if (IsRestrictionField(id)) RestrictionFieldChanged(fields_);
    ShowFields();
}

void TParameterInputForm::CheckBoxClicked(WorkbenchControl id, bool checked) {
    if (showing_) return;
    if (id == C::MotorBrushlessCheckBox)
        SetMotorBrushless(fields_, checked);
    else if (id == C::ESCBrushlessCheckBox)
        SetSpeedControlBrushless(fields_, checked);
    else
        fields_.SetChecked(id, checked);
    ShowFields();
}

void TParameterInputForm::CountButtonClicked(CountButton button) {
    PressCountButton(fields_, button, Messages());
    ShowFields();
}

void TParameterInputForm::DrivePageChanged(int page) {
    if (showing_) return;
    fields_.SetDrivePage(page);
    ShowFields();
}

void TParameterInputForm::ValueListOpening(WorkbenchControl id) {
    auto* combo = static_cast<QComboBox*>(Control(id));
    const std::string list = S(combo->property("valueList").toString());
    NullMessageSink quiet; // a list that cannot be read simply leaves the drop-down empty
    const auto entries = ValueListEntries(env_.dataFolder, list, env_.locale, quiet);
    const QString text = combo->currentText();
    showing_ = true;
    combo->clear();
    std::vector<double>& values = listValues_[id];
    values.clear();
    int widest = 0;
    for (const ValueListEntry& entry : entries) {
        const QString label = Q(entry.label);
        combo->addItem(label);
        values.push_back(entry.first);
        widest = std::max(widest, combo->fontMetrics().horizontalAdvance(label + QStringLiteral("   ")));
    }
    combo->setEditText(text);
    showing_ = false;
    combo->view()->setMinimumWidth(widest + combo->view()->verticalScrollBar()->sizeHint().width());
}

void TParameterInputForm::ValueListItemChosen(WorkbenchControl id, int index) {
    const auto& values = listValues_[id];
    if (index < 0 || static_cast<std::size_t>(index) >= values.size()) return;
    auto* combo = static_cast<QComboBox*>(Control(id));
    fields_.SetText(id, S(combo->itemText(index)));
    const double value = values[static_cast<std::size_t>(index)];
    if (id == C::PropConstantEdit && value <= 0) {
        ApplyRevUpPropConstant(fields_, Units().metricPropSizes, env_.locale, Messages());
    } else if (id == C::GearboxEfficiencyEdit) {
        pendingGearboxValue_ = DropDownValueText(id, value, env_.locale);
    } else {
        fields_.SetText(id, DropDownValueText(id, value, env_.locale));
    }
    ShowFields();
}

void TParameterInputForm::GearboxEfficiencyLeft() {
    if (!pendingGearboxValue_) return;
    fields_.SetText(C::GearboxEfficiencyEdit, *pendingGearboxValue_);
    pendingGearboxValue_.reset();
    ShowFields();
}

void TParameterInputForm::RestrictionFieldEntered(WorkbenchControl id) {
    const int rows = RestrictionScrollRows(ControlInfo(id).fieldNumber);
    restrictionBox_->verticalScrollBar()->setValue(rows * restrictionRowHeight_);
}

void TParameterInputForm::EditCommand(int command) {
    QWidget* focus = QApplication::focusWidget();
    auto* edit = qobject_cast<QLineEdit*>(focus);
    // The drop-down fields are edits too; the focus rests on the box, not on its line.
    if (auto* combo = qobject_cast<QComboBox*>(focus); combo && combo->isEditable()) edit = combo->lineEdit();
    if (!edit) return;
    if (command == 0) edit->cut();
    if (command == 1) edit->copy();
    if (command == 2) edit->paste();
}

void TParameterInputForm::ShowNamePopup(WorkbenchControl id, const QPoint& position) {
    auto* edit = static_cast<QLineEdit*>(Control(id));
    edit->setFocus();
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("ComponentNamePopup"));
    QAction* open = menu.addAction(Q(texts::NamePopupOpenCaption(id)));
    open->setEnabled(componentCommands_);
    connect(open, &QAction::triggered, this, [this, id] { OpenComponentClick(ControlInfo(id).group); });
    menu.addSeparator();
    QAction* undo = menu.addAction(QStringLiteral("&Undo"), edit, &QLineEdit::undo);
    menu.addSeparator();
    QAction* cut = menu.addAction(QStringLiteral("Cu&t"), edit, &QLineEdit::cut);
    QAction* copy = menu.addAction(QStringLiteral("&Copy"), edit, &QLineEdit::copy);
    menu.addAction(QStringLiteral("&Paste"), edit, &QLineEdit::paste);
    QAction* clear = menu.addAction(QStringLiteral("&Delete"), this, [this, edit, id] {
        edit->clear();
        FieldEdited(id, QString());
    });
    menu.addSeparator();
    QAction* all = menu.addAction(QStringLiteral("Select &All"), edit, &QLineEdit::selectAll);
    undo->setEnabled(edit->isUndoAvailable());
    cut->setEnabled(edit->hasSelectedText());
    copy->setEnabled(edit->hasSelectedText());
    clear->setEnabled(edit->hasSelectedText());
    all->setEnabled(edit->selectedText().size() < edit->text().size());
    menu.exec(edit->mapToGlobal(position));
}

bool TParameterInputForm::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (event->type() == QEvent::Wheel && widget && widget->window() == this) {
        // Over the workbench the wheel scrolls only the box of the focused field's group.
        const QWidget* focus = QApplication::focusWidget();
        const int number = focus ? focus->property(kFieldNumberProperty).toInt() : 0;
        const WheelScroll scroll = WheelScrollFor(number);
        auto* wheel = static_cast<QWheelEvent*>(event);
        const int steps = wheel->angleDelta().y() / 120;
        QScrollArea* box = scroll.box == WheelScrollBox::Coefficients   ? coeffBox_
                           : scroll.box == WheelScrollBox::Restrictions ? restrictionBox_
                                                                        : nullptr;
        if (box && steps != 0) {
            QScrollBar* bar = box->verticalScrollBar();
            bar->setValue(bar->value() - steps * scroll.pixelsPerStep);
        }
        return true;
    }
    if (widget && widget->isWindow() && widget != this && IsResultWindow(widget)) {
        if (event->type() == QEvent::Show && !widget->property(kPlacedProperty).toBool()) {
            widget->setProperty(kPlacedProperty, true);
            PlaceResultWindow(widget);
        }
    }
    if (event->type() == QEvent::KeyPress && widget && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
        static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier && IsResultWindow(widget->window()) &&
        !QApplication::activePopupWidget()) {
        widget->window()->close();
        return true;
    }
    if (!widget || widget->window() != this) return QMainWindow::eventFilter(watched, event);
    const QVariant control = widget->property(kControlProperty);
    if (!control.isValid() || !qobject_cast<QLineEdit*>(widget)) return QMainWindow::eventFilter(watched, event);
    const auto id = static_cast<WorkbenchControl>(control.toInt());
    if (event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (text.size() == 1) {
            if (const auto button = CountButtonForKey(id, text.at(0).toLatin1())) {
                CountButtonClicked(*button);
                return true;
            }
        }
    } else if (event->type() == QEvent::FocusIn && IsRestrictionField(id)) {
        RestrictionFieldEntered(id);
    } else if (event->type() == QEvent::ContextMenu && texts::IsNameField(id)) {
        ShowNamePopup(id, static_cast<QContextMenuEvent*>(event)->pos());
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TParameterInputForm::IsResultWindow(const QWidget* window) {
    return window && window->isWindow() &&
           (window->inherits("ampvane::TReportForm") || window->inherits("ampvane::TExplanationForm"));
}

void TParameterInputForm::PlaceResultWindow(QWidget* window) {
    // Each new window steps down and right of the last one, and lies wholly on its screen.
    const QScreen* screen = window->screen() ? window->screen() : this->screen();
    if (!screen) return;
    const QRect available = screen->availableGeometry();
    const int step = std::max(20, window->style()->pixelMetric(QStyle::PM_TitleBarHeight) + 4);
    cascade_ = (cascade_ + 1) % 10;
    QPoint origin = geometry().topLeft() + QPoint(step * cascade_, step * cascade_);
    const QRect frame = window->frameGeometry();
    const int frameExtraW = frame.width() - window->width(), frameExtraH = frame.height() - window->height();
    const int width = std::min(window->width(), available.width() - frameExtraW);
    const int height = std::min(window->height(), available.height() - frameExtraH);
    if (width != window->width() || height != window->height()) window->resize(width, height);
    const int x = std::clamp(origin.x(), available.left(), available.right() - width - frameExtraW + 1);
    const int y = std::clamp(origin.y(), available.top(), available.bottom() - height - frameExtraH + 1);
    window->move(x, y);
}

void TParameterInputForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (placed_) return;
    placed_ = true;
    // Keep the whole window on the screen, never at negative coordinates.
    if (const QScreen* screen = this->screen()) {
        const QRect available = screen->availableGeometry();
        QRect frame = frameGeometry();
        int x = frame.x(), y = frame.y();
        if (frame.right() > available.right()) x = std::max(available.left(), available.right() - frame.width());
        if (frame.bottom() > available.bottom()) y = std::max(available.top(), available.bottom() - frame.height());
        if (x != frame.x() || y != frame.y()) move(x, y);
    }
    restrictionBox_->verticalScrollBar()->setValue(0);
    coeffBox_->verticalScrollBar()->setValue(0);
}

void TParameterInputForm::closeEvent(QCloseEvent* event) {
    if (!closeWithoutQuestion_ && !ConfirmDiscardOrSaveCommand()) {
        event->ignore();
        return;
    }
    if (!closeWithoutQuestion_) emit Closing();
    event->accept();
    emit Closed();
}

void TParameterInputForm::CloseWithoutQuestion() {
    closeWithoutQuestion_ = true;
    close();
}

// ---- project commands ------------------------------------------------------------------------------

ProjectContext TParameterInputForm::Context() {
    ProjectContext context{fields_, *env_.tables, *env_.settings, env_.locale, Messages(), Questions()};
    context.askProjectName = [this](const std::string& current) { return AskProjectName(current); };
    context.applyGeneric = env_.applyGeneric;
    context.restoreWizardAnswers = env_.restoreWizardAnswers;
    return context;
}

void TParameterInputForm::ProjectChanged() {
    SetFields(fields_);
    RenewUnitLabels();
}

bool TParameterInputForm::SaveProjectCommand(bool askName) {
    if (!env_.tables || !env_.settings) return false;
    GearboxEfficiencyLeft();
    ProjectContext context = Context();
    const bool saved = SaveProject(context, askName);
    ShowFields();
    return saved;
}

bool TParameterInputForm::ConfirmDiscardOrSaveCommand() {
    if (!env_.tables || !env_.settings) return true;
    ProjectContext context = Context();
    const bool allowed = ConfirmDiscardOrSave(context);
    ShowFields();
    return allowed;
}

void TParameterInputForm::NewProjectCommand() {
    if (!env_.tables || !env_.settings || !ConfirmDiscardOrSaveCommand()) return;
    NewProjectWithoutAsking();
}

void TParameterInputForm::NewProjectWithoutAsking() {
    if (!env_.tables || !env_.settings) return;
    ProjectContext context = Context();
    NewProject(context);
    ProjectChanged();
    Control(C::MotorNameEdit)->setFocus();
}

void TParameterInputForm::OpenProjectCommand() {
    if (!env_.tables || !env_.settings || !ConfirmDiscardOrSaveCommand()) return;
    DbfTable* projects = env_.tables->AmpvaneTable();
    if (!projects) return;
    std::optional<std::string> picked;
    if (env_.browseProjects) {
        picked = env_.browseProjects(*projects, fields_.ProjectName());
    } else {
        QStringList names;
        for (const std::string& name : ProjectNames(*projects)) names << Q(name);
        bool ok = false;
        const int current = std::max(0, static_cast<int>(names.indexOf(Q(fields_.ProjectName()))));
        const QString name = QInputDialog::getItem(this, QStringLiteral("Open Project"), QStringLiteral("&Project:"),
                                                   names, current, false, &ok);
        if (ok && !name.isEmpty()) picked = S(name);
    }
    if (!picked) return;
    ProjectContext context = Context();
    LoadProjectByName(context, *picked);
    ProjectChanged();
}

void TParameterInputForm::OpenRecentProject(const std::string& name) {
    if (!env_.tables || !env_.settings || !ConfirmDiscardOrSaveCommand()) return;
    ProjectContext context = Context();
    LoadProjectByName(context, name);
    ProjectChanged();
}

void TParameterInputForm::LoadStartupProjectCommand() {
    if (!env_.tables || !env_.settings) return;
    ProjectContext context = Context();
    LoadStartupProject(context);
    ProjectChanged();
}

void TParameterInputForm::CopyProjectCommand() {
    if (!env_.tables || !env_.settings) return;
    GearboxEfficiencyLeft();
    ProjectContext context = Context();
    std::optional<WorkbenchControl> failed;
    const auto text = CopyProjectText(context, true, &failed);
    if (!text) return ReturnToField(failed);
    clipBuffer_->setPlainText(Q(*text));
    QApplication::clipboard()->setText(clipBuffer_->toPlainText());
}

void TParameterInputForm::PasteProjectCommand() {
    if (!env_.tables || !env_.settings) return;
    clipBuffer_->setPlainText(QApplication::clipboard()->text());
    ProjectContext context = Context();
    if (PasteProjectText(context, S(clipBuffer_->toPlainText()))) ProjectChanged();
}

void TParameterInputForm::FillRecentMenu() {
    const Settings defaults;
    const Settings& settings = env_.settings ? *env_.settings : defaults;
    DbfTable* projects = env_.tables ? env_.tables->AmpvaneTable() : nullptr;
    const auto shown = ShownRecentProjects(settings.recentProjects, [projects](std::string_view name) {
        return projects && FindComponentByName(*projects, name);
    });
    for (std::size_t i = 0; i < recentActions_.size(); ++i) {
        QAction* action = recentActions_[i];
        const bool visible = i < shown.size();
        action->setVisible(visible);
        if (visible) {
            action->setText(Q(shown[i].caption));
            action->setData(Q(shown[i].name));
        }
    }
    recentSeparator_->setVisible(!shown.empty());
}

std::optional<std::string> TParameterInputForm::AskProjectName(const std::string& current) {
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("SaveProjectAsForm"));
    dialog.setWindowTitle(QStringLiteral("Save Project As"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* row = new QHBoxLayout;
    auto* edit = new QLineEdit(Q(current), &dialog);
    edit->setObjectName(QStringLiteral("ProjectNameEdit"));
    edit->setMaxLength(40);
    edit->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('M')) * 24);
    edit->selectAll();
    auto* label = new QLabel(QStringLiteral("Project &Name:"), &dialog);
    label->setBuddy(edit);
    row->addWidget(label);
    row->addWidget(edit, 1);
    layout->addLayout(row);
    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* save = buttons->addButton(QStringLiteral("&Save"), QDialogButtonBox::AcceptRole);
    save->setObjectName(QStringLiteral("SaveButton"));
    buttons->addButton(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelButton"));
    layout->addWidget(buttons);
    const auto enable = [save, edit] { save->setEnabled(!edit->text().trimmed().isEmpty()); };
    enable();
    connect(edit, &QLineEdit::textChanged, &dialog, enable);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return S(edit->text());
}

MessageSink& TParameterInputForm::Messages() { return env_.messages ? *env_.messages : boxes_; }
Prompter& TParameterInputForm::Questions() { return env_.prompter ? *env_.prompter : boxes_; }

// ---- compute -----------------------------------------------------------------------------------

bool TParameterInputForm::GatherForCommand(PlaneDesc& plane, AnalysisOptions& options) {
    const Settings defaults;
    const Settings& settings = env_.settings ? *env_.settings : defaults;
    std::optional<WorkbenchControl> failed;
    if (GatherAnalysisInput(fields_, AnalysisOptionsInputFrom(settings), plane, options, env_.locale, Messages(),
                            Questions(), &failed))
        return true;
    ReturnToField(failed);
    return false;
}

void TParameterInputForm::ReturnToField(std::optional<WorkbenchControl> field) {
    if (!field) return;
    QWidget* control = Control(*field);
    if (!control) return;
    // Gathering reads only the drive page shown; a field below a box's fold is scrolled into view.
    for (QScrollArea* box : {restrictionBox_, coeffBox_})
        if (box && box->isAncestorOf(control)) box->ensureWidgetVisible(control);
    control->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(control)) edit->selectAll();
}

void TParameterInputForm::ComputeButtonClick() {
    // The tool button leaves the focus where it is: a chosen efficiency still showing its label
    // takes its value now, as it would on leaving the field.
    GearboxEfficiencyLeft();
    const Settings defaults;
    const Settings& settings = env_.settings ? *env_.settings : defaults;
    PlaneDesc plane;
    AnalysisOptions options;
    if (!GatherForCommand(plane, options)) return;
    ReportEnvironment reportEnv;
    reportEnv.settings = ReportSettingsFrom(settings, env_.locale);
    reportEnv.messages = env_.messages;
    reportEnv.prompter = env_.prompter;
    reportEnv.moreThan256Colours = env_.moreThan256Colours;
    reportEnv.openOpinion = &OpenOpinionWindow;
    // Graph axes are kept in the options, which the configuration file stores.
    Settings* stored = env_.settings;
    MessageSink* messages = env_.messages;
    reportEnv.openGraph = [stored, messages](TReportForm& report) {
        GraphAxesStore store;
        if (stored) {
            const auto axes = [stored](GraphKind kind) -> GraphAxes& {
                return kind == GraphKind::InFlight ? stored->flightGraph : stored->staticGraph;
            };
            store.load = [axes](GraphKind kind) {
                const GraphAxes& a = axes(kind);
                return GraphAxesChoice{a.x, a.y1, a.y2, a.lines};
            };
            store.save = [axes](GraphKind kind, const GraphAxesChoice& choice) {
                axes(kind) = GraphAxes{choice.x, choice.y1, choice.y2, choice.lines};
            };
        }
        return OpenGraphWindow(report, store, messages);
    };
    // One comparison window for the program, kept (with its columns) while hidden.
    reportEnv.compare = [this](TReportForm& report) {
        auto* comparison = findChild<TComparisonForm*>(QStringLiteral("ComparisonForm"), Qt::FindDirectChildrenOnly);
        if (!comparison) comparison = new TComparisonForm(this, env_.messages);
        comparison->CompareButtonClick(report);
    };
    auto* report = new TReportForm(reportEnv, this);
    reports_.emplace_back(report);
    emit ReportOpened(report);
    report->BuildStaticReport(options, plane);
}

std::vector<TReportForm*> TParameterInputForm::Reports() const {
    std::vector<TReportForm*> open;
    for (const auto& report : reports_)
        if (report) open.push_back(report.data());
    return open;
}

} // namespace ampvane
