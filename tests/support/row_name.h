#pragma once

#include <gtest/gtest.h>

#include <string>

namespace ormel::testing_support {

/// Names a parameterised test after its row's `name` field.
struct RowName {
  template <typename Row>
  std::string operator()(const ::testing::TestParamInfo<Row>& row) const {
    return row.param.name;
  }
};

}  // namespace ormel::testing_support
