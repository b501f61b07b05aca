// quillbridge-log-viewer: the viewer of the Quillbridge service's logs. On the X display when one
// answers, headless otherwise. The framework's standard command line only.

#include "app/CPelorinApp.h"
#include "platform/drivers/DriverChoice.h"

namespace {

CPelorinApp theApp;

}  // namespace

int main(int argc, char** argv) {
    DriverChoice::Install();
    return AfxWinMain(argc, argv);
}
