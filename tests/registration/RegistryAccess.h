#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// Reads the registry back through the plain Win32 interface, independent of the code under
// test, and removes what the tests leave behind.
namespace registrytest {

struct RegistryValue {
    DWORD type{REG_NONE};
    std::vector<BYTE> data;

    // The data as UTF-16 text, all of it (a terminating NUL included when stored).
    std::wstring units() const;
};

std::optional<RegistryValue> QueryValue(HKEY root, const std::wstring& key,
                                        const std::wstring& name);
bool KeyExists(HKEY root, const std::wstring& key);
// Number of values directly in the key; -1 when it cannot be opened.
int ValueCount(HKEY root, const std::wstring& key);

// Creates the key when missing and stores raw data of any type in it.
void SetRawValue(HKEY root, const std::wstring& key, const std::wstring& name, DWORD type,
                 const void* data, DWORD bytes);
void DeleteTree(HKEY root, const std::wstring& key);
void DeleteValue(HKEY root, const std::wstring& key, const std::wstring& name);

// Every key and value the client's registration touches, removed so that each test starts and
// ends without them, whatever order the tests run in.
void RemoveProductRegistration();

} // namespace registrytest
