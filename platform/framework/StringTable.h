#pragma once
// The string table: texts by id, registered from data tables (the program's resources register
// theirs at start-up; tests register their own). The framework's own texts are there by default
// and a program's text of the same id replaces them. Safe from any thread.

#include <initializer_list>
#include <string>
#include <utility>

#include "platform/graphics/GdiTypes.h"

class StringTable {
public:
    static void Register(UINT id, std::string text);
    static void Register(std::initializer_list<std::pair<UINT, const char*>> entries);
    static void Unregister(UINT id);  // the framework's default, if any, shows again
    // False when there is no string of that id.
    static bool Find(UINT id, std::string& text);
};

// Copies string `id` into `buffer` (cut to size - 1, terminated); its length, 0 when there is none.
int LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int size);
// String `id`, or empty.
std::string AfxLoadString(UINT id);
// The n-th piece of `full` between separators; FALSE (and empty) when there are fewer pieces.
BOOL AfxExtractSubString(std::string& out, const std::string& full, int n, char separator = '\n');
