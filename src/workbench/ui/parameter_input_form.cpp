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
#include "data/name_lookup.h"
#include "data/value_lists.h"
#include "workbench/compute_input.h"
#include "workbench/ui/tool_icons.h"
#include "workbench/ui/workbench_help.h"
#include "workbench/ui/workbench_texts.h"

namespace ampvane {

namespace {

using C = WorkbenchControl;

constexpr const char* kFieldNumberProperty = "fieldNumber";
constexpr const char* kControlProperty = "workbenchControl";


QColor ColourOf(unsigned rgb) { return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

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
    : QMainWindow(parent), env_(std::move(environment)), boxes_(this),
      session_(env_.settings, env_.tables, env_.locale, env_.messages ? *env_.messages : boxes_,
               env_.prompter ? *env_.prompter : boxes_),
      fields_(session_.Fields()) {
    setObjectName(QStringLiteral("ParameterInputForm"));
    session_.askProjectName = [this](const std::string& current) { return AskProjectName(current); };
    session_.applyGeneric = env_.applyGeneric;
    session_.restoreWizardAnswers = env_.restoreWizardAnswers;
    BuildMenus();
    BuildToolBar();

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
    session_.changed = [this] { ShowFields(); };
    ShowFields();
    RenewUnitLabels();
    ApplyWorkbenchIcons(*this);
    if (env_.settings) {
        ConnectWorkbenchHelp(*this, *env_.settings, env_.dataFolder, Messages(), [this] { return WebSite(); });
    }
}

TParameterInputForm::~TParameterInputForm() { qApp->removeEventFilter(this); }

// ---- construction helpers ----------------------------------------------------------------------

void TParameterInputForm::MarkControl(QWidget* widget, WorkbenchControl id) {
    widget->setProperty(kFieldNumberProperty, ControlInfo(id).fieldNumber);
    widget->setProperty(kControlProperty, static_cast<int>(id));
}

QLineEdit* TParameterInputForm::MakeEdit(WorkbenchControl id) {
    const WorkbenchControlInfo& info = ControlInfo(id);
    auto* edit = new QLineEdit(this);
    edit->setObjectName(Q(info.name));
    if (info.maxLength > 0) edit->setMaxLength(info.maxLength);
    MarkControl(edit, id);
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
    MarkControl(combo, id);
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
    MarkControl(box, id);
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
        widget->setEnabled(fields_.Enabled(info.id) && !fields_.SetAsideByMeasuredPropeller(info.id));
    }
    if (drivePages_->currentIndex() != fields_.DrivePage()) drivePages_->setCurrentIndex(fields_.DrivePage());
    if (measuredPropeller_->currentIndex() < 0 ||
        S(measuredPropeller_->currentIndex() == 0 ? QString() : measuredPropeller_->currentText()) !=
            fields_.MeasuredPropeller())
        FillMeasuredPropellers();
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
    session_.UnitsChanged(previous);
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
        } else if (auto* page = qobject_cast<QScrollArea*>(centralWidget()); !box && page) {
            // On a screen smaller than the workbench its fields scroll, and the wheel scrolls them.
            QScrollBar* bar = page->verticalScrollBar();
            bar->setValue(bar->value() - steps * QApplication::wheelScrollLines() * bar->singleStep());
        }
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

// ---- compute -----------------------------------------------------------------------------------

bool TParameterInputForm::GatherForCommand(DisplayPlane& plane, AnalysisOptions& options) {
    std::optional<WorkbenchControl> failed;
    const auto input = session_.GatherReportInput(&failed);
    if (!input) {
        ReturnToField(failed);
        return false;
    }
    plane = input->plane;
    options = input->options;
    return true;
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

bool TParameterInputForm::ValidateForCommand() {
    GearboxEfficiencyLeft();
    DisplayPlane plane;
    AnalysisOptions options;
    return GatherForCommand(plane, options);
}

void TParameterInputForm::ComputeButtonClick() { ComputeReportFor(false, nullptr); }

void TParameterInputForm::ComputeReportFor(bool forOpinion, QWidget* over) {
    // The tool button leaves the focus where it is: a chosen efficiency still showing its label
    // takes its value now, as it would on leaving the field.
    GearboxEfficiencyLeft();
    DisplayPlane plane;
    AnalysisOptions options;
    if (!GatherForCommand(plane, options)) return;
    if (reportCommand_) reportCommand_(plane, options, forOpinion, over ? over : this);
}

} // namespace ampvane
