// Trimming of typed names and the server-name form.
#include "options/NameText.h"

#include <gtest/gtest.h>

TEST(NameText, ServerNamesGetTwoBackslashesWhateverWasTyped) {
    EXPECT_EQ(normalizeServerName("srv"), "\\\\srv");
    EXPECT_EQ(normalizeServerName("  \\\\srv  "), "\\\\srv");
    EXPECT_EQ(normalizeServerName("\\srv"), "\\\\srv");
    EXPECT_EQ(normalizeServerName("\t\\ \\\\srv\r\n"), "\\\\srv");
    EXPECT_EQ(normalizeServerName("\\\\\\\\srv"), "\\\\srv");
    // Inner blanks and backslashes stay: only the ends are touched.
    EXPECT_EQ(normalizeServerName(" my srv\\share "), "\\\\my srv\\share");
    // Blanks or backslashes alone leave nothing to add.
    EXPECT_EQ(normalizeServerName("   "), "");
    EXPECT_EQ(normalizeServerName("\\\\"), "");
    EXPECT_EQ(normalizeServerName(" \\ \\ "), "");
    EXPECT_EQ(normalizeServerName(""), "");
}

TEST(NameText, TrimmingTakesEverySpaceKindFromBothEnds) {
    EXPECT_EQ(trimName(" \t\n\v\f\rname with  blanks\r\n\t "), "name with  blanks");
    EXPECT_EQ(trimName(" \t "), "");
    EXPECT_EQ(trimName("\\\\srv"), "\\\\srv");
}
