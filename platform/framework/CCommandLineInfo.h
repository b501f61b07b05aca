#pragma once
// The standard command line: a file to open (or print), or the switches /p, /pt, /dde,
// /Automation, /Embedding, /Register (/RegServer), /Unregister (/UnregServer), /nologo.

#include <string>

#include "platform/kernel/WinTypes.h"

class CCommandLineInfo {
public:
    enum NewShellCommand {
        FileNew,
        FileOpen,
        FilePrint,
        FilePrintTo,
        FileDDE,
        AppRegister,
        AppUnregister,
        FileNothing = -1
    };

    virtual ~CCommandLineInfo() = default;

    // One argument: a switch (after '-' or '/') or a plain parameter.
    virtual void ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast);

    BOOL m_bShowSplash = TRUE;
    BOOL m_bRunEmbedded = FALSE;
    BOOL m_bRunAutomated = FALSE;
    NewShellCommand m_nShellCommand = FileNew;
    std::string m_strFileName;
    std::string m_strPrinterName;
    std::string m_strDriverName;
    std::string m_strPortName;

private:
    void ParseFlag(const std::string& flag);
    void ParseParamNotFlag(const char* param);
};
