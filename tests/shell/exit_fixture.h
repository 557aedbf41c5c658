// The program running on a RADEON 9800 PRO with stored clocks, its frame made: the state every
// way out starts from.
#pragma once

#include "tests/shell/shell_fixture.h"

namespace kesttest {

class ExitTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        Load("9800pro");
        m_dir.Write("kest.txt", Le(390, 345));
        MakeFrame();
    }
};

}  // namespace kesttest
