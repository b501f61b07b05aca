#pragma once
// The user-interface thread's object: its main window, its message loop with idle processing, and
// the first look at each message (PreTranslateMessage).

#include "platform/framework/CCmdTarget.h"

class CWnd;

class CWinThread : public CCmdTarget {
    DECLARE_DYNAMIC(CWinThread)

public:
    CWinThread();
    ~CWinThread() override;

    virtual BOOL InitInstance();
    virtual int ExitInstance();  // the exit code: WM_QUIT's wParam
    // Takes and dispatches messages until WM_QUIT, with OnIdle whenever the queue runs empty;
    // then ExitInstance.
    virtual int Run();
    virtual BOOL PumpMessage();  // FALSE at WM_QUIT
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Count 0: command-state updates of the main window and its bars (WM_IDLEUPDATECMDUI);
    // count 1: temporary wrappers go. TRUE asks for another call.
    virtual BOOL OnIdle(LONG lCount);
    virtual CWnd* GetMainWnd() { return m_pMainWnd; }

    CWnd* m_pMainWnd = nullptr;
    MSG m_msgCur{};

private:
    bool waitingInRun_ = false;  // inside Run's own wait: no handler is on the stack
};

// The thread object of the calling user-interface thread (the application).
CWinThread* AfxGetThread();
