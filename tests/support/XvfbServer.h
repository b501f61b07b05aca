#pragma once
// A private X server for a test: Xvfb on a free display number, ended with the test.

#include <sys/types.h>

#include <string>

class XvfbServer {
public:
    XvfbServer(int width = 1024, int height = 768);
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    bool Started() const { return !display_.empty(); }
    // ":N", for XOpenDisplay and $DISPLAY.
    const std::string& Display() const { return display_; }
    const std::string& Error() const { return error_; }

private:
    pid_t pid_ = -1;
    std::string display_;
    std::string error_;
};
