#pragma once
// The per-user registry: keys under HKEY_CURRENT_USER\Software holding string, number and binary
// values, kept in one text file per settings root (docs/settings-on-linux.md). The functions
// return the error code itself, as the platform's do, and leave the last error alone.
//
// HKEY_CURRENT_USER and its "Software" key are always there and hold no values of their own; every
// key below Software\<root> lives in <root>'s file. Other hives are refused with
// ERROR_ACCESS_DENIED. Changes are kept in memory and written when a key is closed or flushed and
// at exit; a write merges them into what other processes wrote meanwhile.

#include <cstdint>

#include "platform/kernel/FileTime.h"
#include "platform/kernel/WinTypes.h"

struct HKEY__;
using HKEY = HKEY__*;
using PHKEY = HKEY*;
using REGSAM = DWORD;
using LSTATUS = LONG;

// The predefined keys, sign-extended as the platform's headers make them; the values zero-extended
// from 32 bits (a caller writing 0x80000001) are accepted too.
inline HKEY const HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(static_cast<std::intptr_t>(static_cast<LONG>(0x80000000)));
inline HKEY const HKEY_CURRENT_USER = reinterpret_cast<HKEY>(static_cast<std::intptr_t>(static_cast<LONG>(0x80000001)));
inline HKEY const HKEY_LOCAL_MACHINE =
    reinterpret_cast<HKEY>(static_cast<std::intptr_t>(static_cast<LONG>(0x80000002)));
inline HKEY const HKEY_USERS = reinterpret_cast<HKEY>(static_cast<std::intptr_t>(static_cast<LONG>(0x80000003)));
inline HKEY const HKEY_CURRENT_CONFIG =
    reinterpret_cast<HKEY>(static_cast<std::intptr_t>(static_cast<LONG>(0x80000005)));

// Value types.
constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_DWORD_LITTLE_ENDIAN = 4;
constexpr DWORD REG_DWORD_BIG_ENDIAN = 5;
constexpr DWORD REG_MULTI_SZ = 7;
constexpr DWORD REG_QWORD = 11;

// Access rights of a key handle.
constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_NOTIFY = 0x0010;
constexpr REGSAM KEY_CREATE_LINK = 0x0020;
constexpr REGSAM KEY_WOW64_64KEY = 0x0100;
constexpr REGSAM KEY_WOW64_32KEY = 0x0200;
constexpr REGSAM KEY_READ = 0x00020019;
constexpr REGSAM KEY_WRITE = 0x00020006;
constexpr REGSAM KEY_EXECUTE = KEY_READ;
constexpr REGSAM KEY_ALL_ACCESS = 0x000F003F;
constexpr REGSAM MAXIMUM_ALLOWED = 0x02000000;

// Options of RegCreateKeyExA: only lasting keys are offered.
constexpr DWORD REG_OPTION_RESERVED = 0;
constexpr DWORD REG_OPTION_NON_VOLATILE = 0;

// Dispositions of RegCreateKeyExA.
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Limits: a key name's length, a value name's length, a value's size (ours; the platform's is
// memory), a path's depth.
constexpr DWORD kRegistryMaxKeyName = 255;
constexpr DWORD kRegistryMaxValueName = 16383;
constexpr DWORD kRegistryMaxValueSize = 1u << 20;
constexpr DWORD kRegistryMaxDepth = 512;

LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options, REGSAM access,
                     const SECURITY_ATTRIBUTES* security, PHKEY result, LPDWORD disposition);
LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result);
// Writes the key's settings file when this process changed it.
LONG RegCloseKey(HKEY key);
// Writes the key's settings file now (every file for HKEY_CURRENT_USER); ERROR_CANTWRITE when the
// changes could not be saved (they stay in memory and are tried again on the next write).
LONG RegFlushKey(HKEY key);

// Null `data` asks for the size; a buffer too small gets ERROR_MORE_DATA and the size needed. A
// string stored without its terminating null gets one after the data when the buffer has room.
LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size);
LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE* data, DWORD size);
LONG RegDeleteValueA(HKEY key, LPCSTR valueName);
// Refused with ERROR_ACCESS_DENIED while the key has subkeys.
LONG RegDeleteKeyA(HKEY key, LPCSTR subKey);

// Subkeys come in case-insensitive order of their names, values in the order they were first set.
// Keys keep no write times: a last-write time asked for is zero.
// `nameLength` is in characters with the terminating null on the way in, without it on the way out.
LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength, LPDWORD reserved, LPSTR keyClass,
                   LPDWORD classLength, FILETIME* lastWriteTime);
LONG RegEnumValueA(HKEY key, DWORD index, LPSTR valueName, LPDWORD valueNameLength, LPDWORD reserved, LPDWORD type,
                   LPBYTE data, LPDWORD size);
LONG RegQueryInfoKeyA(HKEY key, LPSTR keyClass, LPDWORD classLength, LPDWORD reserved, LPDWORD subKeys,
                      LPDWORD maxSubKeyLength, LPDWORD maxClassLength, LPDWORD values, LPDWORD maxValueNameLength,
                      LPDWORD maxValueLength, LPDWORD securityDescriptorSize, FILETIME* lastWriteTime);
