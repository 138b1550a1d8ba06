// The few Windows calls the radio makes: the registry, file mapping and the
// message box. On Windows this is <windows.h>; the native Linux build gets
// a small stand-in with the same names and signatures (windows_standin.cpp),
// so the radio's code is the same in both builds.
#pragma once

#if defined(_WIN32)
#include <windows.h>
#else

#include <cstddef>
#include <cstdint>

#define WINAPI
#define STANDIN_API __attribute__((visibility("default")))

using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using LONG = int32_t;
using BOOL = int;
using UINT = unsigned int;
using SIZE_T = size_t;
using LPBYTE = BYTE*;
using LPDWORD = DWORD*;
using LPCSTR = const char*;
using LPSTR = char*;
using LPVOID = void*;
using LPCVOID = const void*;
using HANDLE = void*;
using HWND = void*;
using REGSAM = DWORD;
using LSTATUS = LONG;

struct StandinKey;
using HKEY = StandinKey*;
using PHKEY = HKEY*;

struct SECURITY_ATTRIBUTES;
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;

#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(uintptr_t{0x80000001}))
#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(intptr_t{-1}))

constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;
constexpr LONG ERROR_ACCESS_DENIED = 5;
constexpr LONG ERROR_INVALID_HANDLE = 6;
constexpr LONG ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr LONG ERROR_INVALID_PARAMETER = 87;
constexpr LONG ERROR_MORE_DATA = 234;
constexpr LONG ERROR_ALREADY_EXISTS = 183;

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

constexpr DWORD PAGE_READWRITE = 0x04;
constexpr DWORD FILE_MAP_WRITE = 0x0002;

constexpr UINT MB_OK = 0;
constexpr int IDOK = 1;

extern "C" {
STANDIN_API LSTATUS WINAPI RegCreateKeyExA(HKEY key, LPCSTR sub_key, DWORD reserved, LPSTR class_name, DWORD options,
                                           REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY result,
                                           LPDWORD disposition);
STANDIN_API LSTATUS WINAPI RegOpenKeyExA(HKEY key, LPCSTR sub_key, DWORD options, REGSAM access, PHKEY result);
STANDIN_API LSTATUS WINAPI RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                                            LPDWORD size);
STANDIN_API LSTATUS WINAPI RegSetValueExA(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data,
                                          DWORD size);
STANDIN_API LSTATUS WINAPI RegCloseKey(HKEY key);
STANDIN_API LSTATUS WINAPI RegDeleteValueA(HKEY key, LPCSTR name);
STANDIN_API HANDLE WINAPI CreateFileMappingA(HANDLE file, LPSECURITY_ATTRIBUTES security, DWORD protect,
                                             DWORD size_high, DWORD size_low, LPCSTR name);
STANDIN_API LPVOID WINAPI MapViewOfFile(HANDLE mapping, DWORD access, DWORD offset_high, DWORD offset_low,
                                        SIZE_T size);
STANDIN_API BOOL WINAPI UnmapViewOfFile(LPCVOID view);
STANDIN_API BOOL WINAPI CloseHandle(HANDLE handle);
STANDIN_API DWORD WINAPI GetLastError();
STANDIN_API int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
}

#endif
