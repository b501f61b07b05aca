// A second process for the registry tests; it finds the settings through the XDG_CONFIG_HOME it
// inherits.
//   dump <key>: prints each value of HKEY_CURRENT_USER\<key> as "<name> <type> <data>" (name and
//     data in hex, "-" when empty), then "end".
//   write <key> <prefix> <count>: <count> times opens the key, sets the number i as value
//     <prefix><i> and closes the key; then prints "done".
//   hold <key> <name> <text>: sets the value, prints "ready" and keeps the key open until a line
//     "close" (closes it, prints "closed") or "exit" (leaves main with the key still open).

#include <cstdio>
#include <iostream>
#include <string>

#include "platform/kernel/Registry.h"

namespace {

std::string Hex(const void* bytes, std::size_t size) {
    if (size == 0) return "-";
    std::string out;
    char pair[3];
    for (std::size_t i = 0; i < size; ++i) {
        std::snprintf(pair, sizeof pair, "%02x", static_cast<const unsigned char*>(bytes)[i]);
        out += pair;
    }
    return out;
}

int Dump(const char* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return 3;
    std::string name(kRegistryMaxValueName + 1, '\0');
    std::string data(kRegistryMaxValueSize, '\0');
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD size = static_cast<DWORD>(data.size());
        DWORD type = 0;
        LONG error = RegEnumValueA(key, i, name.data(), &nameLength, nullptr, &type,
                                   reinterpret_cast<BYTE*>(data.data()), &size);
        if (error == ERROR_NO_MORE_ITEMS) break;
        if (error != ERROR_SUCCESS) return 4;
        std::printf("%s %u %s\n", Hex(name.data(), nameLength).c_str(), type, Hex(data.data(), size).c_str());
    }
    std::printf("end\n");
    return RegCloseKey(key) == ERROR_SUCCESS ? 0 : 5;
}

int Write(const char* path, const std::string& prefix, int count) {
    for (int i = 0; i < count; ++i) {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
            return 3;
        DWORD value = static_cast<DWORD>(i);
        std::string name = prefix + std::to_string(i);
        if (RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4) != ERROR_SUCCESS)
            return 4;
        if (RegCloseKey(key) != ERROR_SUCCESS) return 5;
    }
    std::printf("done\n");
    return 0;
}

int Hold(const char* path, const char* name, const std::string& text) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return 3;
    if (RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1)) != ERROR_SUCCESS)
        return 4;
    std::printf("ready\n");
    std::fflush(stdout);
    std::string command;
    while (std::getline(std::cin, command)) {
        if (command == "exit") return 0;
        if (command == "close") {
            std::printf(RegCloseKey(key) == ERROR_SUCCESS ? "closed\n" : "failed\n");
            std::fflush(stdout);
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string command = argc > 1 ? argv[1] : "";
    if (command == "dump" && argc == 3) return Dump(argv[2]);
    if (command == "write" && argc == 5) return Write(argv[2], argv[3], std::stoi(argv[4]));
    if (command == "hold" && argc == 5) return Hold(argv[2], argv[3], argv[4]);
    return 2;
}
