// Update.exe as a test starts it: in a folder named after the running test.
#pragma once

#include "driver/update_process.h"
#include "tests/support/simulator_session.h"
#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class TestedUpdate : public UpdateProcess {
public:
    explicit TestedUpdate(const LaunchOptions& options = LaunchOptions())
        : UpdateProcess(FolderForCurrentTest("update-"), options)
    {
        EXPECT_TRUE(Started()) << "Update.exe did not start: error " << StartError();
    }

    // The simulator's trace, each call up to its status.
    std::vector<std::string> TraceCalls() const { return CallsOf(Trace()); }
};
