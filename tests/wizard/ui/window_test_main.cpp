// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/qt_test_main.h"

int main(int argc, char** argv) { return RunWindowTests(argc, argv); }
