// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/messages.h"

#include <gtest/gtest.h>

namespace ampvane {
namespace {

TEST(DefaultPrompter, PrefersOkThenYes) {
    EXPECT_EQ(DefaultPrompter::DefaultAnswer(OkButton | CancelButton | HelpButton), OkButton);
    EXPECT_EQ(DefaultPrompter::DefaultAnswer(YesButton | NoButtonAnswer), YesButton);
    EXPECT_EQ(DefaultPrompter::DefaultAnswer(NoButtonAnswer | CancelButton), NoButtonAnswer);
}

} // namespace
} // namespace ampvane
