#include "test_folder.h"

#include <gtest/gtest.h>

#include <string>

std::filesystem::path FolderForCurrentTest(std::string_view prefix)
{
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(prefix) + test->test_suite_name() + "-" + test->name();
    for (char& c : name) {
        if (c == '/')
            c = '-';
    }
    return std::filesystem::temp_directory_path() / name;
}
