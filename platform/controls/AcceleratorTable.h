#pragma once
// Accelerator tables: keys that run commands. TranslateAcceleratorA turns a matching key
// message into WM_COMMAND (WM_SYSCOMMAND for an item of the system menu) with 1 in the high word,
// sent to the window; a command whose item in the window's menu is greyed or disabled is not
// sent (the menu's owner first gets WM_INITMENU and WM_INITMENUPOPUP to update its items).
// Tables are process-wide, behind checked handles; the program's are registered by id.

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/window/WindowTypes.h"

struct HACCEL__;
using HACCEL = HACCEL__*;

struct ACCEL {
    BYTE fVirt;
    WORD key;
    WORD cmd;
};

constexpr BYTE FVIRTKEY = 0x01;
constexpr BYTE FNOINVERT = 0x02;
constexpr BYTE FSHIFT = 0x04;
constexpr BYTE FCONTROL = 0x08;
constexpr BYTE FALT = 0x10;

HACCEL CreateAcceleratorTableA(const ACCEL* entries, int count);
BOOL DestroyAcceleratorTable(HACCEL table);
// Copies up to `count` entries out; with no buffer, the number of entries.
int CopyAcceleratorTableA(HACCEL table, ACCEL* entries, int count);
HACCEL LoadAcceleratorsA(HINSTANCE instance, LPCSTR name);
// TRUE when the message was an accelerator (sent, or swallowed because its item is greyed).
int TranslateAcceleratorA(HWND hwnd, HACCEL table, const MSG* msg);

class AcceleratorTable {
public:
    static AcceleratorTable& Instance();

    // The program's tables by id or name, as LoadAcceleratorsA takes them.
    void Register(LPCSTR name, std::vector<ACCEL> entries);
    std::optional<std::vector<ACCEL>> Find(LPCSTR name);

    HACCEL Add(std::vector<ACCEL> entries);
    bool Remove(HACCEL handle);
    std::optional<std::vector<ACCEL>> Entries(HACCEL handle);

private:
    struct Slot {
        std::vector<ACCEL> entries;
        std::uint32_t generation = 0;
        bool used = false;
    };
    static std::string KeyOf(LPCSTR name);
    Slot* SlotOf(HACCEL handle);

    std::mutex lock_;
    std::map<std::string, std::vector<ACCEL>> resources_;
    std::vector<Slot> slots_;
};
