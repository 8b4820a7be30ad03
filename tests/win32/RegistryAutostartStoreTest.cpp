#include "backends/win32/RegistryAutostartStore.h"
#include "backends/win32/WideText.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <optional>

namespace kx::platform::win32 {
namespace {

const wchar_t* const kRunKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

struct StoredValue
{
    DWORD type = 0;
    std::wstring data; // with whatever terminating zero was stored
};

// Reads a value below HKEY_CURRENT_USER the plain way, independent of the store.
std::optional<StoredValue> readValue(const std::wstring& key, const std::wstring& name)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS)
        return std::nullopt;
    StoredValue value;
    DWORD size = 0;
    std::optional<StoredValue> result;
    if (RegQueryValueExW(handle, name.c_str(), nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        value.data.resize(size / sizeof(wchar_t));
        if (RegQueryValueExW(handle,
                name.c_str(),
                nullptr,
                &value.type,
                reinterpret_cast<BYTE*>(value.data.data()),
                &size)
            == ERROR_SUCCESS)
            result = value;
    }
    RegCloseKey(handle);
    return result;
}

// Writes a REG_SZ value, creating the key if needed.
void writeValue(const std::wstring& key, const std::wstring& name, const std::wstring& data)
{
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER,
                  key.c_str(),
                  name.c_str(),
                  REG_SZ,
                  data.c_str(),
                  static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))),
        ERROR_SUCCESS);
}

// The test runs in a private Wine prefix, but it still leaves the Run key as it found it.
class RegistryAutostart : public ::testing::Test
{
protected:
    void TearDown() override
    {
        (void)store.removeEntry("[Kalmotex]");
        (void)store.removeEntry("Kalmotex");
        RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey);
    }

    static constexpr const wchar_t* kTestKey = L"Software\\Kalmotex test";
    RegistryAutostartStore store;
};

TEST_F(RegistryAutostart, entryIsTheProgramPathUnquotedWithItsArgument)
{
    const auto added
        = store.addEntry("[Kalmotex]", "C:\\Program Files\\Kalmotex\\Kalmotex.exe", "/AUTOSTART");
    ASSERT_TRUE(added.ok()) << added.error();
    const auto stored = readValue(kRunKey, L"[Kalmotex]");
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->type, static_cast<DWORD>(REG_SZ));
    // Stored with its terminating zero, as every REG_SZ writer does.
    EXPECT_EQ(stored->data, std::wstring(L"C:\\Program Files\\Kalmotex\\Kalmotex.exe /AUTOSTART") + L'\0');
    EXPECT_TRUE(store.hasEntry("[Kalmotex]"));
    EXPECT_FALSE(store.hasEntry("Kalmotex"));

    // Added again, the data is replaced; a path beyond ASCII survives.
    ASSERT_TRUE(store.addEntry("[Kalmotex]", "C:\\Users\\Jürgen Ω\\Kalmotex.exe", "/AUTOSTART").ok());
    EXPECT_EQ(readValue(kRunKey, L"[Kalmotex]")->data,
        std::wstring(L"C:\\Users\\Jürgen Ω\\Kalmotex.exe /AUTOSTART") + L'\0');
}

TEST_F(RegistryAutostart, removingDeletesOnlyTheNamedValueAndAMissingOneIsNoFailure)
{
    writeValue(kRunKey, L"Kalmotex", L"C:\\alt\\Kalmotex.exe");
    ASSERT_TRUE(store.addEntry("[Kalmotex]", "C:\\Kalmotex.exe", "/AUTOSTART").ok());

    const auto removedStale = store.removeEntry("Kalmotex");
    EXPECT_TRUE(removedStale.ok()) << removedStale.error();
    EXPECT_FALSE(readValue(kRunKey, L"Kalmotex").has_value());
    EXPECT_TRUE(store.hasEntry("[Kalmotex]"));

    EXPECT_TRUE(store.removeEntry("[Kalmotex]").ok());
    EXPECT_FALSE(readValue(kRunKey, L"[Kalmotex]").has_value());
    EXPECT_FALSE(store.hasEntry("[Kalmotex]"));
    const auto again = store.removeEntry("[Kalmotex]");
    EXPECT_TRUE(again.ok()) << again.error();
}

TEST_F(RegistryAutostart, missingRunKeyIsCreatedOnAddAndIsNoFailureOnRemove)
{
    RegistryAutostartStore elsewhere({ std::wstring(kTestKey) + L"\\Run", L"" });
    EXPECT_FALSE(elsewhere.hasEntry("[Kalmotex]"));
    EXPECT_TRUE(elsewhere.removeEntry("[Kalmotex]").ok());
    ASSERT_TRUE(elsewhere.addEntry("[Kalmotex]", "C:\\Kalmotex.exe", "/AUTOSTART").ok());
    EXPECT_TRUE(elsewhere.hasEntry("[Kalmotex]"));
}

TEST_F(RegistryAutostart, startupFolderComesFromTheShellFoldersValue)
{
    RegistryAutostartStore noFolder({ kRunKey, std::wstring(kTestKey) + L"\\Shell Folders" });
    EXPECT_EQ(noFolder.startupFolder(), "");
    writeValue(std::wstring(kTestKey) + L"\\Shell Folders", L"Startup", L"C:\\Users\\Jürgen\\Autostart");
    EXPECT_EQ(noFolder.startupFolder(), "C:\\Users\\Jürgen\\Autostart");
}

TEST_F(RegistryAutostart, readOnlyShortcutIsMadeDeletableAndDeleted)
{
    wchar_t folder[MAX_PATH] = {};
    ASSERT_GT(GetTempPathW(MAX_PATH, folder), 0u);
    const std::string path = toUtf8(folder) + "[Kalmotex] ä.lnk";
    {
        std::ofstream(toWide(path).c_str()) << "shortcut";
    }
    ASSERT_TRUE(SetFileAttributesW(toWide(path).c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_TRUE(store.isPlainFile(path));
    EXPECT_FALSE(store.isPlainFile(toUtf8(folder))); // a folder is no shortcut

    EXPECT_TRUE(store.clearAttributes(path));
    EXPECT_EQ(GetFileAttributesW(toWide(path).c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_TRUE(store.deleteFile(path));
    EXPECT_EQ(GetFileAttributesW(toWide(path).c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(store.isPlainFile(path));
    EXPECT_FALSE(store.deleteFile(path));

    // A hidden shortcut is not the user's: it is left alone.
    {
        std::ofstream(toWide(path).c_str()) << "shortcut";
    }
    SetFileAttributesW(toWide(path).c_str(), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_FALSE(store.isPlainFile(path));
    SetFileAttributesW(toWide(path).c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(toWide(path).c_str());
}

} // namespace
} // namespace kx::platform::win32
