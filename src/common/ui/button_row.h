// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHBoxLayout>
#include <QPushButton>

// The row of push buttons along the foot of a window.

namespace ampvane {

class ButtonRow {
public:
    explicit ButtonRow(QWidget* window) : window_(window), layout_(new QHBoxLayout) {}

    // A button with its caption and object name (tests find it by that name), added at the right.
    QPushButton* Add(const QString& caption, const char* name, bool enabled = true) {
        auto* button = new QPushButton(caption, window_);
        button->setObjectName(QString::fromLatin1(name));
        button->setEnabled(enabled);
        layout_->addWidget(button);
        return button;
    }
    QPushButton* Add(const char* caption, const char* name, bool enabled = true) {
        return Add(QString::fromUtf8(caption), name, enabled);
    }
    void AddStretch() { layout_->addStretch(); }
    // The row's layout, for the window's own layout to take.
    QHBoxLayout* Layout() const { return layout_; }

private:
    QWidget* window_;
    QHBoxLayout* layout_;
};

} // namespace ampvane
