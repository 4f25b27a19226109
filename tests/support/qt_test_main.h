// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>

#include <gtest/gtest.h>

// The main of a window test program: one QApplication (offscreen unless a platform is set) around
// every test.
inline int RunWindowTests(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
