// The fixture of the engine tests: fresh global state and recording services for each test.
#pragma once

#include <gtest/gtest.h>

#include "pictures/QtPictureCodec.h"
#include "support/Grid.h"
#include "support/RecordingServices.h"

namespace dt::testing {

class EngineTest : public ::testing::Test {
 protected:
  EngineTest() {
    ResetGlobalState();
    InstallQtPictureCodec();
  }
  ~EngineTest() override { ResetGlobalState(); }
  RecordingServices services;
  ImageEngine engine;
};

}  // namespace dt::testing
