// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/ui/wiring_wizard_form.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

#include <cstring>

#include "help/ui/help_viewer.h"
#include "picture/picture.h"

namespace ampvane {

namespace {

QSlider* MakeSlider(QWidget* parent, const char* name, Qt::Orientation orientation, int high) {
    auto* slider = new QSlider(orientation, parent);
    slider->setObjectName(QString::fromLatin1(name));
    slider->setRange(1, high);
    slider->setPageStep(1);
    slider->setTickPosition(QSlider::TicksBelow);
    if (orientation == Qt::Vertical) slider->setInvertedAppearance(true);
    return slider;
}

} // namespace

TWiringWizardForm::TWiringWizardForm(const ToolEnvironment& environment, QWidget* parent)
    : TToolForm(environment, QStringLiteral("Ampvane Wiring Wizard"), kWiringHelpTopic, parent) {
    setObjectName(QStringLiteral("WiringWizardForm"));
    auto* v = new QVBoxLayout(this);
    auto* sliders = new QGridLayout;
    batteries_ = MakeSlider(this, "NumBatteriesSlider", Qt::Horizontal, kMaxBatteries);
    escs_ = MakeSlider(this, "NumESCsSlider", Qt::Horizontal, kMaxSpeedControls);
    parallelMotors_ = MakeSlider(this, "NumParallelMotorsPerESCSlider", Qt::Horizontal, kMaxParallelMotors);
    motorRows_ = MakeSlider(this, "NumSeriesMotorsTimesESCsSlider", Qt::Vertical, kMaxMotorRows);
    const char* captions[3] = {"&Batteries", "Speed &Controls", "&Motors"};
    QSlider* horizontal[3] = {batteries_, escs_, parallelMotors_};
    // Each slider's count beside it: the diagram alone does not say how many a slider stands at.
    const auto count = [this](QSlider* slider) {
        auto* label = new QLabel(this);
        label->setObjectName(slider->objectName().replace(QStringLiteral("Slider"), QStringLiteral("Count")));
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("00")));
        counts_.push_back({slider, label});
        return label;
    };
    for (int i = 0; i < 3; ++i) {
        auto* label = new QLabel(QString::fromLatin1(captions[i]), this);
        label->setBuddy(horizontal[i]);
        sliders->addWidget(label, 0, 2 * i);
        sliders->addWidget(horizontal[i], 1, 2 * i);
        sliders->addWidget(count(horizontal[i]), 1, 2 * i + 1);
    }
    v->addLayout(sliders);
    auto* diagramRow = new QHBoxLayout;
    panel_ = new QLabel(this);
    panel_->setObjectName(QStringLiteral("WiringPanel"));
    panel_->setFixedSize(kBatteryPanelWidth + kSpeedControlPanelWidth + kMotorPanelWidth, kWiringPanelHeight);
    diagramRow->addWidget(panel_);
    auto* rows = new QVBoxLayout;
    rows->addWidget(count(motorRows_), 0, Qt::AlignHCenter);
    rows->addWidget(motorRows_, 1, Qt::AlignHCenter);
    diagramRow->addLayout(rows);
    v->addLayout(diagramRow);
    error_ = StatusLabel(Q(kNotPossibleText), QStringLiteral("ErrorLabel"));
    v->addWidget(error_);
    auto* options = new QHBoxLayout;
    alwaysParallel_ = new QCheckBox(QStringLiteral("Parallel All Ba&tteries"), this);
    alwaysParallel_->setObjectName(QStringLiteral("AlwaysParallelCheckBox"));
    usingBec_ = new QCheckBox(QStringLiteral("Using B&EC"), this);
    usingBec_->setObjectName(QStringLiteral("ESCHasBECCheckBox"));
    seriesParallel_ = new QRadioButton(QStringLiteral("Se&ries-Parallel"), this);
    seriesParallel_->setObjectName(QStringLiteral("SeriesParallelButton"));
    parallelSeries_ = new QRadioButton(QStringLiteral("Para&llel-Series"), this);
    parallelSeries_->setObjectName(QStringLiteral("ParallelSeriesButton"));
    brushless_ = new QCheckBox(QStringLiteral("Br&ushless"), this);
    brushless_->setObjectName(QStringLiteral("BrushlessCheckBox"));
    for (QWidget* w : std::initializer_list<QWidget*>{alwaysParallel_, usingBec_, seriesParallel_, parallelSeries_,
                                                      brushless_}) {
        options->addWidget(w);
        SetHelpTopic(w, kWiringOptionsHelpTopic);
    }
    v->addLayout(options);
    auto* buttons = ButtonRow();
    save_ = new QPushButton(QStringLiteral("&Save..."), this);
    save_->setObjectName(QStringLiteral("SaveButton"));
    print_ = new QPushButton(QStringLiteral(" &Print..."), this);
    print_->setObjectName(QStringLiteral("PrintButton"));
    buttons->insertWidget(0, print_);
    SetHelpTopic(save_, kWiringSavePrintHelpTopic);
    SetHelpTopic(print_, kWiringSavePrintHelpTopic);
    buttons->insertWidget(0, save_);
    v->addLayout(buttons);

    for (QSlider* s : {batteries_, escs_, parallelMotors_, motorRows_})
        connect(s, &QSlider::valueChanged, this, &TWiringWizardForm::ControlChanged);
    for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{alwaysParallel_, usingBec_, seriesParallel_,
                                                                      parallelSeries_, brushless_})
        connect(b, &QAbstractButton::toggled, this, &TWiringWizardForm::ControlChanged);
    connect(save_, &QPushButton::clicked, this, &TWiringWizardForm::SaveButtonClick);
    connect(print_, &QPushButton::clicked, this, &TWiringWizardForm::PrintButtonClick);
    UpdateWindow();
}

void TWiringWizardForm::showEvent(QShowEvent* event) {
    FormShow();
    TToolForm::showEvent(event);
}

void TWiringWizardForm::FormShow() {
    loading_ = true;
    state_ = WiringFromWorkbench(Fields());
    batteries_->setValue(state_.batteries);
    escs_->setValue(state_.speedControls);
    parallelMotors_->setValue(state_.parallelMotors);
    motorRows_->setValue(state_.motorRows);
    alwaysParallel_->setChecked(state_.alwaysParallel);
    usingBec_->setChecked(state_.usingBec);
    (state_.seriesParallel ? seriesParallel_ : parallelSeries_)->setChecked(true);
    brushless_->setChecked(state_.brushless);
    loading_ = false;
    UpdateWindow();
}

void TWiringWizardForm::ControlChanged() {
    if (loading_) return;
    state_.batteries = batteries_->value();
    state_.speedControls = escs_->value();
    state_.parallelMotors = parallelMotors_->value();
    state_.motorRows = motorRows_->value();
    state_.alwaysParallel = alwaysParallel_->isChecked();
    state_.usingBec = usingBec_->isChecked();
    state_.seriesParallel = !parallelSeries_->isChecked();
    state_.brushless = brushless_->isChecked();
    UpdateWindow();
}

void TWiringWizardForm::UpdateWindow() {
    const WiringView view = WiringViewOf(state_);
    panel_->setPixmap(QPixmap::fromImage(Diagram()));
    SetApplyEnabled(view.possible);
    save_->setEnabled(view.possible);
    print_->setEnabled(view.possible);
    error_->setVisible(!view.possible);
    for (auto [slider, label] : counts_) label->setNum(slider->value());
    alwaysParallel_->setEnabled(view.alwaysParallelEnabled);
    seriesParallel_->setEnabled(view.arrangementEnabled);
    parallelSeries_->setEnabled(view.arrangementEnabled);
}

QImage TWiringWizardForm::Diagram() const {
    const WiringDrawing drawing = DrawWiring(state_);
    QImage image(drawing.width, drawing.height, QImage::Format_RGB888);
    image.fill(Qt::white);
    QPainter p(&image);
    const bool many = Environment().moreThan256Colours;
    for (const WiringRect& r : drawing.rects) p.fillRect(r.x, r.y, r.w, r.h, QColor::fromRgb(WiringRgb(r.colour, many)));
    return image;
}

std::string TWiringWizardForm::SaveDiagram(const std::string& fileName) const {
    const QImage image = Diagram();
    RgbImage picture(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(picture.Row(y), image.constScanLine(y), static_cast<std::size_t>(image.width()) * 3);
    switch (PictureFormatForFileName(fileName)) {
    case PictureFormat::Jpeg: return WriteJpeg(fileName, picture);
    case PictureFormat::Png: return WritePng(fileName, picture);
    default: return WriteBmp(fileName, picture);
    }
}

void TWiringWizardForm::SaveButtonClick() {
    QString selected;
    QString name = QFileDialog::getSaveFileName(
        this, QStringLiteral("Save Wiring Diagram"), QString(),
        QStringLiteral("PNG Files (*.png);;JPEG Files (*.jpg *.jpeg);;Windows Bitmap Files (*.bmp)"), &selected);
    if (name.isEmpty()) return;
    // A name typed without an extension takes the chosen file type's.
    if (QFileInfo(name).suffix().isEmpty())
        name += selected.startsWith(QStringLiteral("JPEG")) ? QStringLiteral(".jpg")
                : selected.startsWith(QStringLiteral("Windows")) ? QStringLiteral(".bmp")
                                                                 : QStringLiteral(".png");
    const std::string error = SaveDiagram(S(name));
    if (!error.empty()) Messages().Report(ErrorMessage(error));
}

void TWiringWizardForm::PrintDiagram(QPrinter& printer) const {
    const QImage image = Diagram();
    QPainter p(&printer);
    const int pageWidth = p.viewport().width();
    const int k = std::max(1, pageWidth / image.width());
    const int margin = (pageWidth - k * image.width()) / 2;
    p.drawImage(QRect(margin, margin, k * image.width(), k * image.height()), image);
}

void TWiringWizardForm::PrintButtonClick() {
    QPrinter printer;
    printer.setPageOrientation(QPageLayout::Portrait);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) return;
    PrintDiagram(printer);
}

void TWiringWizardForm::ApplyButtonClick() {
    // An arrangement that is not possible writes nothing, so the workbench has nothing to show again.
    if (!WiringViewOf(state_).possible) return;
    ApplyToWorkbench([this](WorkbenchFields& fields) { (void)ApplyWiring(state_, fields); });
}

} // namespace ampvane
