#include "platform/framework/CCommandLineInfo.h"

#include <strings.h>

namespace {

bool Is(const std::string& flag, const char* name) { return strcasecmp(flag.c_str(), name) == 0; }

}  // namespace

void CCommandLineInfo::ParseParam(const char* pszParam, BOOL bFlag, BOOL) {
    if (!pszParam) return;
    if (bFlag)
        ParseFlag(pszParam);
    else
        ParseParamNotFlag(pszParam);
}

void CCommandLineInfo::ParseFlag(const std::string& flag) {
    if (Is(flag, "pt")) {
        m_nShellCommand = FilePrintTo;
    } else if (Is(flag, "p")) {
        m_nShellCommand = FilePrint;
    } else if (Is(flag, "Register") || Is(flag, "RegServer")) {
        m_nShellCommand = AppRegister;
    } else if (Is(flag, "Unregister") || Is(flag, "UnregServer")) {
        m_nShellCommand = AppUnregister;
    } else if (Is(flag, "dde")) {
        m_nShellCommand = FileDDE;
    } else if (Is(flag, "Embedding")) {
        m_bRunEmbedded = TRUE;
        m_bShowSplash = FALSE;
    } else if (Is(flag, "Automation")) {
        m_bRunAutomated = TRUE;
        m_bShowSplash = FALSE;
    } else if (Is(flag, "nologo")) {
        m_bShowSplash = FALSE;
    }
}

void CCommandLineInfo::ParseParamNotFlag(const char* param) {
    // /pt takes the file, then the printer, driver and port.
    if (m_strFileName.empty())
        m_strFileName = param;
    else if (m_nShellCommand == FilePrintTo && m_strPrinterName.empty())
        m_strPrinterName = param;
    else if (m_nShellCommand == FilePrintTo && m_strDriverName.empty())
        m_strDriverName = param;
    else if (m_nShellCommand == FilePrintTo && m_strPortName.empty())
        m_strPortName = param;
    if (m_nShellCommand == FileNew && !m_strFileName.empty()) m_nShellCommand = FileOpen;
}
