#include "backends/win32/RegistryAutostartStore.h"

#include "backends/win32/WideText.h"

#include <windows.h>

namespace kx::platform::win32 {

namespace {

// Closes the key when it goes out of scope.
class OpenKey
{
public:
    OpenKey() = default;
    ~OpenKey()
    {
        if (m_key)
            RegCloseKey(m_key);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;

    HKEY* out() { return &m_key; }
    HKEY get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

text::Result failure(const std::wstring& key, const std::string& name, LSTATUS status)
{
    return text::Result::failure(
        "HKEY_CURRENT_USER\\" + toUtf8(key) + "\\" + name + ": " + systemErrorText(status));
}

} // namespace

RegistryAutostartStore::RegistryAutostartStore(Keys keys)
    : m_keys(std::move(keys))
{
}

std::string RegistryAutostartStore::commandLine(const std::string& program, const std::string& arguments)
{
    return arguments.empty() ? program : program + " " + arguments;
}

bool RegistryAutostartStore::hasEntry(const std::string& name)
{
    OpenKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, m_keys.run.c_str(), 0, KEY_QUERY_VALUE, key.out()) != ERROR_SUCCESS)
        return false;
    DWORD type = 0;
    DWORD size = 0;
    return RegQueryValueExW(key.get(), toWide(name).c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS;
}

text::Result RegistryAutostartStore::addEntry(
    const std::string& name, const std::string& program, const std::string& arguments)
{
    OpenKey key;
    LSTATUS status = RegCreateKeyExW(HKEY_CURRENT_USER,
        m_keys.run.c_str(),
        0,
        nullptr,
        REG_OPTION_NON_VOLATILE,
        KEY_SET_VALUE,
        nullptr,
        key.out(),
        nullptr);
    if (status != ERROR_SUCCESS)
        return failure(m_keys.run, name, status);
    const std::wstring data = toWide(commandLine(program, arguments));
    // REG_SZ data is stored with its terminating zero, which the byte count includes.
    status = RegSetValueExW(key.get(),
        toWide(name).c_str(),
        0,
        REG_SZ,
        reinterpret_cast<const BYTE*>(data.c_str()),
        static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    if (status != ERROR_SUCCESS)
        return failure(m_keys.run, name, status);
    return {};
}

text::Result RegistryAutostartStore::removeEntry(const std::string& name)
{
    OpenKey key;
    LSTATUS status = RegOpenKeyExW(HKEY_CURRENT_USER, m_keys.run.c_str(), 0, KEY_SET_VALUE, key.out());
    if (status == ERROR_FILE_NOT_FOUND)
        return {};
    if (status != ERROR_SUCCESS)
        return failure(m_keys.run, name, status);
    status = RegDeleteValueW(key.get(), toWide(name).c_str());
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        return failure(m_keys.run, name, status);
    return {};
}

std::string RegistryAutostartStore::startupFolder()
{
    OpenKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, m_keys.shellFolders.c_str(), 0, KEY_QUERY_VALUE, key.out())
        != ERROR_SUCCESS)
        return {};
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key.get(), L"Startup", nullptr, &type, nullptr, &size) != ERROR_SUCCESS
        || (type != REG_SZ && type != REG_EXPAND_SZ))
        return {};
    std::wstring folder(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(folder.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key.get(), L"Startup", nullptr, &type, reinterpret_cast<BYTE*>(folder.data()), &size)
        != ERROR_SUCCESS)
        return {};
    // The stored data may or may not end with its zero.
    folder.resize(size / sizeof(wchar_t));
    while (!folder.empty() && folder.back() == L'\0')
        folder.pop_back();
    return toUtf8(folder);
}

bool RegistryAutostartStore::isPlainFile(const std::string& path)
{
    const DWORD attributes = GetFileAttributesW(toWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES
        && !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
}

bool RegistryAutostartStore::clearAttributes(const std::string& path)
{
    return SetFileAttributesW(toWide(path).c_str(), FILE_ATTRIBUTE_NORMAL);
}

bool RegistryAutostartStore::deleteFile(const std::string& path) { return DeleteFileW(toWide(path).c_str()); }

} // namespace kx::platform::win32
