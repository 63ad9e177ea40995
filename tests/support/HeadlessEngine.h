#pragma once
// A fixture with an engine object but no services, for tests of the object model.
#include <gtest/gtest.h>

#include "engine/Qor.h"

class HeadlessEngine : public ::testing::Test {
protected:
    void SetUp() override { engine = new Qor(Qor::Headless{}); }
    void TearDown() override {
        delete engine;
        engine = nullptr;
    }
    Qor* engine = nullptr;
};
