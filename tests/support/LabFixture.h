// A test fixture for tests that walk the lab network: skipped where the lab provider is not
// loaded, and failed when a test leaves an enumeration open.
#pragma once

#include <gtest/gtest.h>

#include "support/LabNetwork.h"

class LabNetworkTest : public testing::Test {
protected:
    void SetUp() override {
        if (!LabNetwork::providerLoaded())
            GTEST_SKIP() << "the lab provider is not registered in this prefix";
        openBefore = LabNetwork::openEnumerations();
    }
    void TearDown() override {
        if (LabNetwork::providerLoaded()) {
            EXPECT_EQ(LabNetwork::openEnumerations(), openBefore) << "an enumeration stayed open";
        }
    }

    unsigned openBefore = 0; // enumerations open when the test began
};
