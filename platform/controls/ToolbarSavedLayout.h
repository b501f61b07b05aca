#pragma once
// A toolbar's button layout as TB_SAVERESTOREA keeps it in the registry: a binary value holding
// "QTB1", a 32-bit count, then per button its command id, its image (a separator's width), its
// state and its style, little-endian, 12 bytes each. What comes back from the registry is checked
// before it is used: a value of another size, type or signature restores nothing.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/controls/ToolbarButton.h"
#include "platform/kernel/Registry.h"

class ToolbarSavedLayout {
public:
    struct Entry {
        int command = 0;
        int image = 0;
        BYTE state = 0;
        BYTE style = 0;
    };
    static constexpr std::size_t kMaxEntries = 4096;

    static std::vector<BYTE> Encode(const std::vector<ToolbarButton>& buttons);
    static std::optional<std::vector<Entry>> Decode(const std::vector<BYTE>& bytes);

    // ERROR_SUCCESS or the registry's error.
    static LONG Write(HKEY root, const char* subKey, const char* valueName, const std::vector<BYTE>& bytes);
    static LONG Read(HKEY root, const char* subKey, const char* valueName, std::vector<BYTE>& bytes);
};
