// The network walk's failure texts and the no-network case, through the real WNet calls.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "network/CNetwork.h"
#include "support/LabNetwork.h"
#include "support/NetworkTestSupport.h"
#include "toolkit/MessageBoxes.h"

namespace {

std::string systemText(DWORD code) {
    char text[256] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0x400,
                   text, sizeof(text), nullptr);
    return text;
}

int32_t countingFilter(void* user, NETRESOURCEA*, uint32_t) {
    ++*static_cast<int*>(user);
    return 1;
}

int32_t acceptAll(void*, NETRESOURCEA*) {
    return 1;
}

int32_t errorHookSeven(void* user, DWORD code, const char* functionName) {
    auto* seen = static_cast<std::vector<std::string>*>(user);
    seen->push_back(std::string(functionName) + ":" + std::to_string(code));
    return 7;
}

} // namespace

TEST(CNetworkText, SystemFailureKeepsTheSystemTextAndItsLineEnd) {
    const std::string text = CNetwork::formatError(ERROR_ACCESS_DENIED, "WNetOpenEnum");
    EXPECT_EQ(text,
              "WNetOpenEnum failed; Result is 5 (\"" + systemText(ERROR_ACCESS_DENIED) + "\")");
    EXPECT_NE(systemText(ERROR_ACCESS_DENIED), "");
}

TEST(CNetworkText, CodeWithoutSystemTextLeavesEmptyQuotesAndPrintsSigned) {
    EXPECT_EQ(CNetwork::formatError(0xE000FFF1, "WNetEnumResource"),
              "WNetEnumResource failed; Result is -536805391 (\"\")");
}

TEST(CNetworkText, TextIsCutAt511Characters) {
    const std::string longName(700, 'x');
    EXPECT_EQ(CNetwork::formatError(0xE000FFF1, longName.c_str()).size(), 511u);
}

TEST(CNetworkText, ProviderTextLosesItsLineEndAndTheCodePrintsSigned) {
    EXPECT_EQ(CNetwork::formatProviderError("Lab Net", 77, "server is resting\r\n"),
              "Lab Net failed with code 77 (\"server is resting\")");
    // Whatever the last two characters are, they go; a shorter text stays whole.
    EXPECT_EQ(CNetwork::formatProviderError("Lab Net", 0xFFFFFFFF, "down."),
              "Lab Net failed with code -1 (\"dow\")");
    EXPECT_EQ(CNetwork::formatProviderError("Lab Net", 5, "x"),
              "Lab Net failed with code 5 (\"x\")");
    EXPECT_EQ(CNetwork::formatProviderError("", 5, ""), " failed with code 5 (\"\")");
    EXPECT_EQ(CNetwork::formatProviderError(std::string(600, 'n').c_str(), 5, "t").size(), 511u);
}

// Needs a machine (prefix) with no network provider at all; the lab's tests run it in a child
// process that does not load the lab provider.
TEST(CNetworkNoNetwork, OneStopBoxWithTheSystemTextAndTheWalkEndsWithZero) {
    if (!LabNetwork::providerDisabled() && !netsupport::noNetworkHere())
        GTEST_SKIP() << "a network provider is present";
    ASSERT_TRUE(netsupport::noNetworkHere());
    BoxRecorder boxes;
    int filtered = 0;
    CNetworkHooks network(&filtered, acceptAll, countingFilter);
    EXPECT_EQ(network.enumerate(RESOURCEDISPLAYTYPE_SERVER, 9), 0);
    EXPECT_EQ(filtered, 0);
    ASSERT_EQ(boxes.size(), 1u);
    const MessageBoxRequest box = boxes[0];
    EXPECT_EQ(box.text, "CNetwork: WNetOpenEnum failed; Result is 1222 (\"" +
                            systemText(ERROR_NO_NETWORK) + "\")\n");
    EXPECT_EQ(box.caption, "Corvask");
    EXPECT_EQ(box.type, UINT(MB_OK | MB_ICONSTOP));
    EXPECT_EQ(network.lastErrorText(),
              "WNetOpenEnum failed; Result is 1222 (\"" + systemText(ERROR_NO_NETWORK) + "\")");
}

TEST(CNetworkNoNetwork, AnErrorHookDecidesTheResultAndNoBoxIsShown) {
    if (!LabNetwork::providerDisabled() && !netsupport::noNetworkHere())
        GTEST_SKIP() << "a network provider is present";
    ASSERT_TRUE(netsupport::noNetworkHere());
    BoxRecorder boxes;
    std::vector<std::string> seen;
    CNetworkHooks network(&seen, nullptr, nullptr, errorHookSeven);
    EXPECT_EQ(network.enumerate(RESOURCEDISPLAYTYPE_SERVER, 9), 7);
    EXPECT_EQ(seen, std::vector<std::string>{"WNetOpenEnum:1222"});
    EXPECT_EQ(boxes.size(), 0u);
}
