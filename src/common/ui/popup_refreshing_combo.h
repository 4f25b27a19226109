// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QComboBox>

#include <functional>

namespace ampvane {

// A drop-down list that refills itself just before it drops down, so that what was stored meanwhile
// is there.
class PopupRefreshingCombo final : public QComboBox {
public:
    using QComboBox::QComboBox;
    std::function<void()> beforePopup;
    void showPopup() override {
        if (beforePopup) beforePopup();
        QComboBox::showPopup();
    }
};

} // namespace ampvane
