// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/ui/airfoil_forms.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

#include "common/ui/button_row.h"
#include "help/ui/help_viewer.h"
#include "model/airframe.h"

namespace ampvane {

namespace {

constexpr int kImageWidth = 360, kImageHeight = 150;

QSlider* MakeSlider(QWidget* parent, const char* name, int low, int high, int position) {
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setObjectName(QString::fromLatin1(name));
    slider->setRange(low, high);
    slider->setValue(position);
    return slider;
}

// OK and Cancel at the foot of a modal window; Cancel closes it. Gives OK for its handler.
QPushButton* OkCancelRow(QDialog& dialog, QVBoxLayout& layout) {
    ButtonRow row(&dialog);
    row.AddStretch();
    QPushButton* ok = row.Add("OK", "OKButton");
    QObject::connect(row.Add("Cancel", "CancelButton"), &QPushButton::clicked, &dialog, &QDialog::reject);
    layout.addLayout(row.Layout());
    return ok;
}

} // namespace

TLiftCoefficientForm::TLiftCoefficientForm(const ToolEnvironment& environment, QWidget* parent)
    : TToolForm(environment, QStringLiteral("Lift and Drag Coefficient Estimator"), kLiftCoefficientHelpTopic, parent) {
    setObjectName(QStringLiteral("LiftCoefficientForm"));
    auto* v = new QVBoxLayout(this);
    auto* airfoil = new QGroupBox(QStringLiteral("Airfoil:"), this);
    auto* ag = new QGridLayout(airfoil);
    SetHelpTopic(airfoil, kAirfoilGroupHelpTopic);
    const auto sliderRow = [&](int row, const char* caption, QSlider* slider, QLabel*& indicator, const char* name) {
        auto* label = new QLabel(QString::fromUtf8(caption), airfoil);
        label->setBuddy(slider);
        indicator = new QLabel(airfoil);
        indicator->setObjectName(QString::fromLatin1(name));
        ag->addWidget(label, row, 0);
        ag->addWidget(slider, row, 1);
        ag->addWidget(indicator, row, 2);
    };
    thickness_ = MakeSlider(airfoil, "ThicknessSlider", kThicknessMin, kThicknessMax, 24);
    camber_ = MakeSlider(airfoil, "CamberSlider", kCamberMin, kCamberMax, 8);
    angle_ = MakeSlider(airfoil, "AngleOfAttackSlider", kAngleMin, kAngleMax, 0);
    sliderRow(0, "&Thickness:", thickness_, thicknessIndicator_, "ThicknessIndicator");
    sliderRow(1, "&Camber:", camber_, camberIndicator_, "CamberIndicator");
    sliderRow(2, "A&ngle of Attack:", angle_, angleIndicator_, "AngleOfAttackIndicator");
    flatPlate_ = new QCheckBox(QStringLiteral("Flat or curved plate with square edges"), airfoil);
    flatPlate_->setObjectName(QStringLiteral("NoAirfoilCheckBox"));
    ag->addWidget(flatPlate_, 3, 0, 1, 3);
    auto* fromMeasurements = new QPushButton(QStringLiteral("From Meas&urements..."), airfoil);
    fromMeasurements->setObjectName(QStringLiteral("BitBtn1"));
    auto* fromList = new QPushButton(QStringLiteral("Choose From List..."), airfoil);
    fromList->setObjectName(QStringLiteral("BitBtn2"));
    SetHelpTopic(fromMeasurements, kWingMeasurementsHelpTopic);
    SetHelpTopic(fromList, kAirfoilListHelpTopic);
    auto* choose = new QHBoxLayout;
    choose->addWidget(fromMeasurements);
    choose->addWidget(fromList);
    ag->addLayout(choose, 4, 0, 1, 3);
    v->addWidget(airfoil);

    image_ = new QLabel(this);
    image_->setObjectName(QStringLiteral("AirfoilImage"));
    image_->setFixedSize(kImageWidth, kImageHeight);
    image_->setAutoFillBackground(true);
    v->addWidget(image_, 0, Qt::AlignHCenter);

    auto* drag = new QGridLayout;
    const auto captions = DragClassCaptions();
    const char* groupNames[4] = {"LandingGearGroup", "SurfaceFinishGroup", "ProtrusionGroup", "FuselageGroup"};
    for (int i = 0; i < 4; ++i) {
        auto* box = new QGroupBox(Q(kDragGroupCaptions[i]), this);
        box->setObjectName(QString::fromLatin1(groupNames[i]));
        SetHelpTopic(box, kDragGroupsHelpTopic);
        auto* bv = new QVBoxLayout(box);
        groups_[i] = new QButtonGroup(box);
        groups_[i]->setExclusive(true);
        for (std::size_t item = 0; item < captions[i].size(); ++item) {
            auto* radio = new QRadioButton(Q(captions[i][item]), box);
            radio->setObjectName(QStringLiteral("%1Item%2").arg(QString::fromLatin1(groupNames[i])).arg(item));
            groups_[i]->addButton(radio, static_cast<int>(item));
            bv->addWidget(radio);
        }
        connect(groups_[i], &QButtonGroup::idClicked, this, [this] { ControlChanged(false); });
        drag->addWidget(box, i / 2, i % 2);
    }
    v->addLayout(drag);
    v->addLayout(ButtonRow());

    for (QSlider* slider : {thickness_, camber_, angle_})
        connect(slider, &QSlider::valueChanged, this, [this] { ControlChanged(true); });
    connect(flatPlate_, &QCheckBox::toggled, this, [this] { ControlChanged(true); });
    list_ = new TAirfoilListForm(*this, environment.dataFolder, environment.session->Locale(), this);
    measurements_ = new TWingMeasurementsForm(*this, Messages(), environment.session->Locale(), this);
    SetHelpTopic(list_, kAirfoilListHelpTopic);
    SetHelpTopic(measurements_, kWingMeasurementsHelpTopic);
    connect(fromMeasurements, &QPushButton::clicked, this, [this] {
        measurements_->SetLengthUnit(Q(UnitLabelsFor(Units()).length));
        measurements_->exec();
    });
    connect(fromList, &QPushButton::clicked, this, [this] { list_->exec(); });
    DeriveAirframe(airframe_, false);
    LoadWorkingAirframe(airframe_);
}

void TLiftCoefficientForm::changeEvent(QEvent* event) {
    // Coming back to the window takes the workbench's current wing, keeping the airfoil set here.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        TakeWingGeometry(WorkbenchAirframe(Fields(), Units().metric, Locale()));
    TToolForm::changeEvent(event);
}

void TLiftCoefficientForm::Refresh() {
    refreshing_ = true;
    const AirfoilControls controls = ControlsFromAirframe(airframe_);
    thickness_->setValue(controls.thickness);
    camber_->setValue(controls.camber);
    angle_->setValue(controls.angle);
    flatPlate_->setChecked(controls.flatPlate);
    for (int i = 0; i < 4; ++i) {
        groups_[i]->setExclusive(false);
        for (QAbstractButton* b : groups_[i]->buttons()) b->setChecked(groups_[i]->id(b) == controls.dragClass[i]);
        groups_[i]->setExclusive(true);
    }
    thicknessIndicator_->setText(Q(ThicknessIndicator(controls.thickness, Locale())));
    camberIndicator_->setText(Q(CamberIndicator(controls.camber, Locale())));
    angleIndicator_->setText(Q(AngleIndicator(controls.angle, Locale())));
    refreshing_ = false;
    RecomputeAirfoil(airframe_);
    Redraw();
}

void TLiftCoefficientForm::LoadWorkingAirframe(const AirframeDesc& airframe) {
    airframe_ = airframe;
    Refresh();
}

void TLiftCoefficientForm::TakeWingGeometry(const AirframeDesc& airframe) {
    airframe_.WingSpan = airframe.WingSpan;
    airframe_.WingArea = airframe.WingArea;
    airframe_.EmptyWeight = airframe.EmptyWeight;
    airframe_.MetricUnits = airframe.MetricUnits;
    airframe_.AspectRatio = airframe.AspectRatio;
    RecomputeAirfoil(airframe_);
    Redraw();
}

void TLiftCoefficientForm::TakeMeasurements(double angleDegrees, double camberPercent, double thicknessPercent) {
    ampvane::TakeMeasurements(airframe_, angleDegrees, camberPercent, thicknessPercent);
    Refresh();
}

void TLiftCoefficientForm::TakeListEntry(bool flatPlate, double camberPercent, double thicknessPercent) {
    ampvane::TakeListEntry(airframe_, flatPlate, camberPercent, thicknessPercent);
    Refresh();
}

void TLiftCoefficientForm::ControlChanged(bool) {
    if (refreshing_) return;
    AirfoilControls controls;
    controls.thickness = thickness_->value();
    controls.camber = camber_->value();
    controls.angle = angle_->value();
    controls.flatPlate = flatPlate_->isChecked();
    for (int i = 0; i < 4; ++i) controls.dragClass[i] = groups_[i]->checkedId();
    ApplyControls(controls, airframe_);
    thicknessIndicator_->setText(Q(ThicknessIndicator(controls.thickness, Locale())));
    camberIndicator_->setText(Q(CamberIndicator(controls.camber, Locale())));
    angleIndicator_->setText(Q(AngleIndicator(controls.angle, Locale())));
    RecomputeAirfoil(airframe_);
    Redraw();
}

QImage TLiftCoefficientForm::AirfoilPicture() const {
    QImage image(kImageWidth, kImageHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double scale = kImageWidth * 0.008;
    const double offset = (kImageWidth - 100 * scale) / 2;
    const double originY = kImageHeight * 19.0 / 30.0;
    const auto at = [&](ChordPoint c) { return QPointF(offset + c.x * scale, originY - c.y * scale); };
    const auto rotated = [&](ChordPoint c) { return at(RotateAboutMidChord(c, airframe_.AngleOfAttack)); };
    p.setPen(QPen(Qt::gray, 1, Qt::DotLine));
    p.drawLine(at({-10, 0}), at({110, 0}));
    p.setPen(QPen(QColor(0, 128, 0), 1));
    p.drawLine(rotated({-5, 0}), rotated({105, 0}));
    const OutlineColour colour = OutlineColourOf(airframe_);
    const QColor outline = colour == OutlineColour::Red     ? QColor(Qt::red)
                           : colour == OutlineColour::Olive ? QColor(128, 128, 0)
                                                            : QColor(Qt::blue);
    p.setPen(QPen(outline, 2));
    QPolygonF polygon;
    for (const ChordPoint& c : SectionOutline(airframe_)) polygon << rotated(c);
    p.drawPolyline(polygon);

    p.setPen(Qt::black);
    const CoefficientTexts texts = AirfoilCoefficientTexts(airframe_, Locale());
    const QFontMetrics metrics(p.font());
    const int line = metrics.height();
    for (int i = 0; i < 2; ++i) p.drawText(2, 2 + metrics.ascent() + i * line, Q(texts.topLeft[i]));
    for (int i = 0; i < 2; ++i)
        p.drawText(2, kImageHeight - 2 - metrics.descent() - (1 - i) * line, Q(texts.bottomLeft[i]));
    for (int i = 0; i < 4; ++i) {
        const QString text = Q(texts.topRight[i]);
        p.drawText(kImageWidth - 2 - metrics.horizontalAdvance(text), 2 + metrics.ascent() + i * line, text);
    }
    return image;
}

void TLiftCoefficientForm::Redraw() { image_->setPixmap(QPixmap::fromImage(AirfoilPicture())); }

void TLiftCoefficientForm::ApplyButtonClick() {
    ApplyToWorkbench([this](WorkbenchFields& fields) { ApplyAirframeCodes(airframe_, fields); });
}

// ---- airfoil list -------------------------------------------------------------------------------

TAirfoilListForm::TAirfoilListForm(TLiftCoefficientForm& estimator, const std::filesystem::path& dataFolder,
                                   const NumberLocale& locale, QWidget* parent)
    : QDialog(parent), estimator_(estimator), dataFolder_(dataFolder), locale_(locale) {
    setObjectName(QStringLiteral("AirfoilListForm"));
    setWindowTitle(QStringLiteral("Common Airfoils"));
    auto* v = new QVBoxLayout(this);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("AirfoilListBox"));
    v->addWidget(list_);
    auto* g = new QGridLayout;
    thickness_ = new QLineEdit(this);
    thickness_->setObjectName(QStringLiteral("ThicknessEdit"));
    thickness_->setReadOnly(true);
    camber_ = new QLineEdit(this);
    camber_->setObjectName(QStringLiteral("CamberEdit"));
    camber_->setReadOnly(true);
    g->addWidget(new QLabel(QStringLiteral("Thickness:"), this), 0, 0);
    g->addWidget(thickness_, 0, 1);
    g->addWidget(new QLabel(QStringLiteral("%"), this), 0, 2);
    g->addWidget(new QLabel(QStringLiteral("Camber:"), this), 1, 0);
    g->addWidget(camber_, 1, 1);
    g->addWidget(new QLabel(QStringLiteral("%"), this), 1, 2);
    v->addLayout(g);
    QPushButton* ok = OkCancelRow(*this, *v);
    connect(list_, &QListWidget::itemClicked, this, &TAirfoilListForm::AirfoilListBoxClick);
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] {
        AirfoilListBoxClick();
        OKButtonClick();
    });
    connect(ok, &QPushButton::clicked, this, &TAirfoilListForm::OKButtonClick);
}

void TAirfoilListForm::Reload() {
    NullMessageSink quiet;
    entries_ = AirfoilListEntries(ValueListEntries(dataFolder_, kAirfoilList, locale_, quiet));
    list_->clear();
    for (const AirfoilListEntry& e : entries_) list_->addItem(Q(e.name));
    if (!entries_.empty()) {
        index_ = std::min(index_, static_cast<int>(entries_.size()) - 1);
        list_->setCurrentRow(index_);
        AirfoilListBoxClick();
    }
}

void TAirfoilListForm::showEvent(QShowEvent* event) {
    Reload();
    QDialog::showEvent(event);
}

void TAirfoilListForm::AirfoilListBoxClick() {
    const int row = list_->currentRow();
    if (row < 0 || row >= static_cast<int>(entries_.size())) return;
    index_ = row;
    const AirfoilListEntry& e = entries_[row];
    shown_ = ShowAirfoilEntry(e, locale_);
    thickness_->setText(Q(shown_.thickness));
    camber_->setText(Q(shown_.camber));
    flatPlate_ = e.FlatPlate();
}

void TAirfoilListForm::OKButtonClick() {
    estimator_.TakeListEntry(flatPlate_, shown_.camberPercent, shown_.thicknessPercent);
    accept();
}

// ---- wing measurements --------------------------------------------------------------------------

TWingMeasurementsForm::TWingMeasurementsForm(TLiftCoefficientForm& estimator, MessageSink& messages,
                                             const NumberLocale& locale, QWidget* parent)
    : QDialog(parent), estimator_(estimator), messages_(messages), locale_(locale),
      typing_(new TypingMessages(messages, locale, this)) {
    setObjectName(QStringLiteral("WingMeasurementsForm"));
    setWindowTitle(QStringLiteral("Wing Airfoil Measurements"));
    auto* v = new QVBoxLayout(this);
    v->addWidget(new QLabel(QStringLiteral("From a datum line parallel to the chord line of the horizontal stabilizer"),
                            this));
    auto* g = new QGridLayout;
    const char* names[6] = {"LEHeightEdit", "TEHeightEdit", "ChordEdit",
                            "UpperHeightEdit", "LowerHeightEdit", "ChordHeightEdit"};
    const char* labels[6] = {"Leading Edge Height:", "Trailing Edge Height:", "Chord:",
                             "Upper Surface Height:", "Lower Surface Height:", "Chord Line Height:"};
    for (int i = 0; i < 6; ++i) {
        QLineEdit* input = inputs_[i] = new QLineEdit(this);
        input->setObjectName(QString::fromLatin1(names[i]));
        g->addWidget(new QLabel(QString::fromLatin1(labels[i]), this), i, 0);
        g->addWidget(input, i, 1);
        // Any one length unit does: only the ratios count.
        lengthUnits_[i] = new QLabel(this);
        lengthUnits_[i]->setObjectName(QString::fromLatin1(names[i]).replace(QStringLiteral("Edit"), QStringLiteral("Unit")));
        g->addWidget(lengthUnits_[i], i, 2);
        connect(input, &QLineEdit::textChanged, this,
                [this, input] { typing_->Typed(input, [this] { WingMeasurementChange(); }); });
    }
    SetLengthUnit(QStringLiteral("in"));
    const auto result = [&](int row, const char* label, const char* name, const QString& unit) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setReadOnly(true);
        g->addWidget(new QLabel(QString::fromLatin1(label), this), row, 0);
        g->addWidget(edit, row, 1);
        g->addWidget(new QLabel(unit, this), row, 2);
        return edit;
    };
    thickness_ = result(6, "Thickness:", "ThicknessEdit", QStringLiteral("%"));
    camber_ = result(7, "Camber:", "CamberEdit", QStringLiteral("%"));
    angle_ = result(8, "Angle of Attack:", "AngleOfAttackEdit", QStringLiteral("\u00B0"));
    v->addLayout(g);
    QPushButton* ok = OkCancelRow(*this, *v);
    connect(ok, &QPushButton::clicked, this, &TWingMeasurementsForm::OKButtonClick);
}

void TWingMeasurementsForm::WingMeasurementChange() {
    WingMeasurementInput input{S(inputs_[0]->text()), S(inputs_[1]->text()), S(inputs_[2]->text()),
                               S(inputs_[3]->text()), S(inputs_[4]->text()), S(inputs_[5]->text())};
    result_ = ComputeWingMeasurements(input, locale_, typing_->Sink());
    const auto show = [](QLineEdit* edit, const std::string& text, bool inRange) {
        edit->setText(Q(text));
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Text, inRange ? QColor(Qt::black) : QColor(Qt::red));
        edit->setPalette(palette);
    };
    show(thickness_, result_.thicknessText, result_.thicknessInRange);
    show(camber_, result_.camberText, result_.camberInRange);
    show(angle_, result_.angleText, result_.angleInRange);
}

void TWingMeasurementsForm::SetLengthUnit(const QString& unit) {
    for (QLabel* label : lengthUnits_) label->setText(unit);
}

void TWingMeasurementsForm::OKButtonClick() {
    typing_->Release();
    if (!AcceptWingMeasurements(result_, messages_)) return;
    estimator_.TakeMeasurements(*result_.angle, *result_.camber, *result_.thickness);
    accept();
}

} // namespace ampvane
