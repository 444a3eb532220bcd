// Entry point of every test executable: sets up common controls and OLE the way the program
// does, so that GUI tests create the same windows the program creates.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <gtest/gtest.h>

#include <cstdio>

#include "support/LabNetwork.h"

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_TAB_CLASSES |
                                              ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    OleInitialize(nullptr);
    testing::InitGoogleTest(&argc, argv);
    int rc = RUN_ALL_TESTS();
    // A child run whose filter selected nothing (or only skipped tests) has proved nothing.
    const testing::UnitTest& run = *testing::UnitTest::GetInstance();
    char mustRun[8];
    if (GetEnvironmentVariableA(kMustRunATestVariable, mustRun, sizeof(mustRun)) > 0 &&
        run.successful_test_count() + run.failed_test_count() == 0) {
        printf("no test ran in this child process\n");
        rc = 3;
    }
    fflush(stdout);
    OleUninitialize();
    return rc;
}
