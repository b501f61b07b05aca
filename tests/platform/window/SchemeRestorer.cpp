#include "tests/platform/window/SchemeRestorer.h"

#include "platform/graphics/SystemColors.h"

SchemeRestorer::SchemeRestorer() {
    for (int i = 0; i <= COLOR_MENUBAR; ++i) {
        indexes_.push_back(i);
        colors_.push_back(GetSysColor(i));
    }
}

SchemeRestorer::~SchemeRestorer() {
    SetSysColors(static_cast<int>(indexes_.size()), indexes_.data(), colors_.data());
}
