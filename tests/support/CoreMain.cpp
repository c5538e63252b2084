// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "support/TestSupport.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    testsupport::pinGermanLocale();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
