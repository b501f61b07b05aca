#pragma once
// The recent-file list: the last documents opened, newest first, kept in the profile section
// `section` as values "File1".."FileN" (with entryFormat "File%d").

#include <string>
#include <vector>

#include "platform/kernel/WinTypes.h"

class CCmdUI;

class CRecentFileList {
public:
    CRecentFileList(UINT nStart, LPCSTR lpszSection, LPCSTR lpszEntryFormat, int nSize);

    int GetSize() const { return static_cast<int>(m_arrNames.size()); }
    const std::string& operator[](int nIndex) const { return m_arrNames[static_cast<std::size_t>(nIndex)]; }
    // The path (made absolute) goes first; an older copy of it goes, the oldest drops off.
    virtual void Add(LPCSTR lpszPathName);
    virtual void Remove(int nIndex);
    virtual void ReadList();   // from the application's profile
    virtual void WriteList();  // to it: the section holds exactly the list
    // The menu item of the first recent-file command becomes one item per entry ("&1 path");
    // an empty list leaves that item, greyed.
    virtual void UpdateMenu(CCmdUI* pCmdUI);
    virtual ~CRecentFileList() = default;

    UINT m_nStart;
    std::string m_strSectionName;
    std::string m_strEntryFormat;

protected:
    std::string EntryName(int index) const;
    std::vector<std::string> m_arrNames;  // empty strings are unused places
    std::string m_strOriginal;            // the menu item's own text, shown while the list is empty
};
