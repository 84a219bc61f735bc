#pragma once

#include <string>

// The record of the frame tests' companion module's dialog entry point (TestCompanionView.cpp):
// the dialog answers `answer` and, when that is Accepted, marks the text as edited.
struct TestDialogRecord
{
    std::string text;
    int answer = 1;
};

// The dialog entry point of the frame tests' companion module.
extern "C" __attribute__((visibility("default"))) int nvShowTestDialog(int abiVersion,
                                                                       TestDialogRecord* record);
