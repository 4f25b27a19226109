// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QString>

#include <optional>

class QCheckBox;
class QLabel;
class QPagedPaintDevice;
class QPushButton;

namespace ampvane {

// "Ampvane Tip of the Day": one further tip of the tip file per opening, "Tell Me More..." for a tip
// with a help topic, printing.
class TTipOfDayForm final : public QDialog {
    Q_OBJECT
public:
    explicit TTipOfDayForm(QWidget* parent = nullptr);

    // The tip file, the number of the tip shown last and the show-at-start-up flag; the form updates
    // the last two as the user moves on and ticks the box.
    void SetTipsFile(const QString& path) { tipsFile_ = path; }
    void SetLastTip(int lastTip) { lastTip_ = lastTip; }
    int LastTip() const { return lastTip_; }
    void SetShowAtStartup(bool show) { showAtStartup_ = show; }
    bool ShowAtStartup() const { return showAtStartup_; }

    // Opens modally with the next tip (FormShow).
    int Run();

    void NextTipButtonClick();
    void MoreButtonClick();
    void PrintButtonClick();
    void TipOfDayCheckBoxClick();
    void TipOfDayLabelClick();
    // Prints the tip onto a device (the print button's job after the dialog); false when nothing printed.
    bool PrintTip(QPagedPaintDevice& device) const;

    QString TipText() const;
    std::optional<int> TipTopic() const { return tipTopic_; }

    QLabel* TipLabel;
    QCheckBox* TipOfDayCheckBox;
    QLabel* TipOfDayLabel;
    QPushButton* MoreButton;
    QPushButton* PrintButton;
    QPushButton* CloseButton;
    QPushButton* NextTipButton;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString tipsFile_;
    QString tipText_;
    int lastTip_ = 0;
    bool showAtStartup_ = true;
    std::optional<int> tipTopic_;
};

} // namespace ampvane
