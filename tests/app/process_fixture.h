#pragma once
// The main window over a small input folder of three files, ready for a batch.
#include "tests/app/window_fixture.h"

class ProcessFixture : public FilesWindowTest {
protected:
    void PrepareFiles() override
    {
        input_.Write(L"a.txt", "alpha");
        input_.Write(L"b.txt", "bravo");
        input_.Write(L"c.txt", "charlie");
    }
};
