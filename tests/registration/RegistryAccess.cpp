#include "tests/registration/RegistryAccess.h"

#include "installer/ProductNames.h"
#include "win32/UniqueHandle.h"

namespace registrytest {

std::wstring RegistryValue::units() const {
    std::wstring text(data.size() / sizeof(wchar_t), L'\0');
    if (!text.empty())
        memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
    return text;
}

std::optional<RegistryValue> QueryValue(HKEY root, const std::wstring& key,
                                        const std::wstring& name) {
    win32::UniqueRegistryKey handle;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_QUERY_VALUE, handle.put()) != ERROR_SUCCESS)
        return std::nullopt;
    RegistryValue value;
    DWORD bytes = 0;
    if (RegQueryValueExW(handle.get(), name.c_str(), nullptr, &value.type, nullptr, &bytes) !=
        ERROR_SUCCESS)
        return std::nullopt;
    value.data.resize(bytes);
    if (RegQueryValueExW(handle.get(), name.c_str(), nullptr, &value.type, value.data.data(),
                         &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    value.data.resize(bytes);
    return value;
}

bool KeyExists(HKEY root, const std::wstring& key) {
    win32::UniqueRegistryKey handle;
    return RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, handle.put()) == ERROR_SUCCESS;
}

int ValueCount(HKEY root, const std::wstring& key) {
    win32::UniqueRegistryKey handle;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, handle.put()) != ERROR_SUCCESS)
        return -1;
    DWORD values = 0;
    if (RegQueryInfoKeyW(handle.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         &values, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return -1;
    return static_cast<int>(values);
}

void SetRawValue(HKEY root, const std::wstring& key, const std::wstring& name, DWORD type,
                 const void* data, DWORD bytes) {
    win32::UniqueRegistryKey handle;
    if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, handle.put(),
                        nullptr) == ERROR_SUCCESS)
        RegSetValueExW(handle.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), bytes);
}

void DeleteTree(HKEY root, const std::wstring& key) {
    RegDeleteTreeW(root, key.c_str());
}

void DeleteValue(HKEY root, const std::wstring& key, const std::wstring& name) {
    win32::UniqueRegistryKey handle;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_SET_VALUE, handle.put()) == ERROR_SUCCESS)
        RegDeleteValueW(handle.get(), name.c_str());
}

void RemoveProductRegistration() {
    DeleteTree(HKEY_LOCAL_MACHINE, product::kCompanyKey);
    DeleteTree(HKEY_CURRENT_USER, product::kCompanyKey);
    DeleteTree(HKEY_LOCAL_MACHINE,
               std::wstring(product::kUninstallKey) + L"\\" + product::kEntryName);
    DeleteValue(HKEY_LOCAL_MACHINE, product::kRunKey, product::kEntryName);
}

} // namespace registrytest
