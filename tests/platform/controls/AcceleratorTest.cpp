#include "tests/platform/controls/MenuTesting.h"
