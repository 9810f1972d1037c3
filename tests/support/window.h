#pragma once

#include "app/form1.h"
#include "fakedialogs.h"

#include <memory>

// The window with dialogs the test answers, made afresh for each test.
struct WindowFixture {
    WindowFixture() : form(std::make_unique<trameda::Form1>(dialogs)) {}
    FakeDialogs dialogs;
    std::unique_ptr<trameda::Form1> form;
};
