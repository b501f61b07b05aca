#pragma once
// Framework tests: an application object that records what it would have shown the user, on a
// headless display, with the window tests' helpers.

#include <ostream>
#include <string>
#include <vector>

#include "platform/framework/CCmdUI.h"
#include "platform/framework/CRect.h"
#include "platform/framework/CWinApp.h"
#include "tests/platform/window/WindowTesting.h"

class TestApp : public CWinApp {
public:
    TestApp() : CWinApp("Framework Test") {}

    int DoMessageBox(LPCSTR lpszPrompt, UINT, UINT) override {
        shown.emplace_back(lpszPrompt);
        return answer;
    }
    BOOL DoPromptFileName(std::string& fileName, UINT, DWORD, BOOL, CDocTemplate*) override {
        if (chosenFile.empty()) return FALSE;
        fileName = chosenFile;
        return TRUE;
    }

    std::vector<std::string> shown;  // texts of the message boxes, in order
    int answer = 1;                  // IDOK
    std::string chosenFile;          // the file dialog's answer; empty: cancelled
    std::vector<std::string> trail;  // handlers that ran, for the tests to read
};

inline void PrintTo(const CRect& r, std::ostream* out) {
    *out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

// Records what an update rule said: -1 for nothing.
class RecordingCmdUI : public CCmdUI {
public:
    int enabled = -1, checked = -1;
    void Enable(BOOL on) override {
        enabled = on;
        m_bEnableChanged = TRUE;
    }
    void SetCheck(int check) override { checked = check; }
};

// The running test application's trail.
inline std::vector<std::string>& Trail() { return static_cast<TestApp*>(AfxGetApp())->trail; }

class FrameworkTest : public WindowTest {
protected:
    void TearDown() override { WindowTest::TearDown(); }

    TestApp app;
};
