// Names parameterized tests after the `name` of their case.
#pragma once

#include <gtest/gtest.h>

#include <string>

template <typename Case>
std::string ParamName(const testing::TestParamInfo<Case>& info)
{
    return info.param.name;
}
