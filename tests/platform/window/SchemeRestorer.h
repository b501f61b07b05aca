#pragma once
// Tests that change the colour scheme hold one: the colours in use when it was made are put back
// (through SetSysColors, so live windows hear of it) when it goes, and the next test starts from
// the classic scheme.

#include <vector>

#include "platform/window/Windows.h"

class SchemeRestorer {
public:
    SchemeRestorer();
    ~SchemeRestorer();
    SchemeRestorer(const SchemeRestorer&) = delete;
    SchemeRestorer& operator=(const SchemeRestorer&) = delete;

private:
    std::vector<int> indexes_;
    std::vector<COLORREF> colors_;
};
