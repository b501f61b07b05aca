#pragma once
// The application object: it makes the channel to the service before anything else and keeps it
// for the whole run, builds the document, frame and view through a single-document template,
// and runs the About box.

#include <memory>
#include <string>

#include "channel/ServiceChannel.h"
#include "channel/ServiceProtocol.h"
#include "platform/framework/CWinApp.h"

class CPelorinApp : public CWinApp {
public:
    // The service name is the Quillbridge service's; tests give a private one.
    explicit CPelorinApp(std::string serviceName = kDefaultServiceName);

    BOOL InitInstance() override;
    int ExitInstance() override;

    // Borrowed by the frame; null when it could not be made (the frame then reports the service
    // as not responding).
    std::unique_ptr<ServiceChannel> channel;

protected:
    DECLARE_MESSAGE_MAP()
    void OnAppAbout();
    void OnHelp() {}

private:
    std::string serviceName_;
};
