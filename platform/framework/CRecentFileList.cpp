#include "platform/framework/CRecentFileList.h"

#include <algorithm>
#include <filesystem>

#include "platform/framework/CCmdUI.h"
#include "platform/framework/CMenu.h"
#include "platform/framework/CWinApp.h"

CRecentFileList::CRecentFileList(UINT nStart, LPCSTR lpszSection, LPCSTR lpszEntryFormat, int nSize)
    : m_nStart(nStart),
      m_strSectionName(lpszSection ? lpszSection : ""),
      m_strEntryFormat(lpszEntryFormat ? lpszEntryFormat : ""),
      m_arrNames(static_cast<std::size_t>(std::max(0, nSize))) {}

std::string CRecentFileList::EntryName(int index) const {
    std::string name = m_strEntryFormat;
    if (const auto at = name.find("%d"); at != std::string::npos) name.replace(at, 2, std::to_string(index + 1));
    return name;
}

void CRecentFileList::Add(LPCSTR lpszPathName) {
    if (!lpszPathName || !*lpszPathName || m_arrNames.empty()) return;
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(lpszPathName, error);
    const std::string path = error ? std::string(lpszPathName) : absolute.lexically_normal().string();
    auto it = std::find(m_arrNames.begin(), m_arrNames.end(), path);
    if (it == m_arrNames.end()) it = m_arrNames.end() - 1;  // the oldest place goes
    std::rotate(m_arrNames.begin(), it, it + 1);
    m_arrNames.front() = path;
}

void CRecentFileList::Remove(int nIndex) {
    if (nIndex < 0 || nIndex >= GetSize()) return;
    m_arrNames.erase(m_arrNames.begin() + nIndex);
    m_arrNames.emplace_back();
}

void CRecentFileList::ReadList() {
    CWinApp* app = AfxGetApp();
    if (!app) return;
    std::size_t used = 0;
    std::fill(m_arrNames.begin(), m_arrNames.end(), std::string());
    for (int i = 0; i < GetSize(); ++i) {
        std::string path = app->GetProfileString(m_strSectionName.c_str(), EntryName(i).c_str(), "");
        // What another program wrote may repeat itself or leave gaps: the list stays compact.
        if (path.empty() || std::find(m_arrNames.begin(), m_arrNames.end(), path) != m_arrNames.end()) continue;
        m_arrNames[used++] = std::move(path);
    }
}

void CRecentFileList::WriteList() {
    CWinApp* app = AfxGetApp();
    if (!app) return;
    app->WriteProfileString(m_strSectionName.c_str(), nullptr, nullptr);
    for (int i = 0; i < GetSize(); ++i)
        if (!m_arrNames[static_cast<std::size_t>(i)].empty())
            app->WriteProfileString(m_strSectionName.c_str(), EntryName(i).c_str(),
                                    m_arrNames[static_cast<std::size_t>(i)].c_str());
}

void CRecentFileList::UpdateMenu(CCmdUI* pCmdUI) {
    if (m_arrNames.empty() || m_arrNames.front().empty()) {
        if (!m_strOriginal.empty()) pCmdUI->SetText(m_strOriginal.c_str());
        pCmdUI->Enable(FALSE);
        return;
    }
    CMenu* menu = pCmdUI->m_pMenu;
    if (!menu) return;
    if (m_strOriginal.empty()) menu->GetMenuString(pCmdUI->m_nID, m_strOriginal, MF_BYCOMMAND);
    for (int i = 0; i < GetSize(); ++i) menu->DeleteMenu(pCmdUI->m_nID + static_cast<UINT>(i), MF_BYCOMMAND);
    for (int i = 0; i < GetSize() && !m_arrNames[static_cast<std::size_t>(i)].empty(); ++i) {
        // An '&' in a path is shown, not taken for a mnemonic.
        std::string name;
        for (char c : m_arrNames[static_cast<std::size_t>(i)]) name += c == '&' ? std::string("&&") : std::string(1, c);
        const std::string text = "&" + std::to_string(i + 1) + " " + name;
        menu->InsertMenu(pCmdUI->m_nIndex++, MF_STRING | MF_BYPOSITION, pCmdUI->m_nID++, text.c_str());
    }
    --pCmdUI->m_nIndex;  // the last one added
    pCmdUI->m_nIndexMax = static_cast<UINT>(std::max(0, menu->GetMenuItemCount()));
    pCmdUI->m_bEnableChanged = TRUE;
}
