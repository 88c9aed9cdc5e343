#include "installer/Registration.h"
#include "tests/registration/RegistryAccess.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

using registrytest::QueryValue;

namespace {

const std::wstring kMachineProduct = L"Software\\Tolma\\tamr";
const std::wstring kUserProduct = L"Software\\Tolma\\orvia\\tamr";
const std::wstring kUninstallEntry =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\tamro";
const std::wstring kRun = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::wstring kRecorded = L"Software\\Tolma\\tamr";

// A stored REG_SZ whose byte count includes exactly one terminating NUL.
::testing::AssertionResult HasString(HKEY root, const std::wstring& key, const std::wstring& name,
                                     const std::wstring& expected) {
    const auto value = QueryValue(root, key, name);
    if (!value)
        return ::testing::AssertionFailure() << "no value " << ::testing::PrintToString(name);
    if (value->type != REG_SZ)
        return ::testing::AssertionFailure() << "type " << value->type;
    if (value->data.size() != (expected.size() + 1) * sizeof(wchar_t))
        return ::testing::AssertionFailure() << "byte count " << value->data.size();
    if (value->units() != expected + L'\0')
        return ::testing::AssertionFailure() << "data " << ::testing::PrintToString(value->units());
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult HasDword(HKEY root, const std::wstring& key, const std::wstring& name,
                                    DWORD expected) {
    const auto value = QueryValue(root, key, name);
    if (!value)
        return ::testing::AssertionFailure() << "no value " << ::testing::PrintToString(name);
    if (value->type != REG_DWORD || value->data.size() != sizeof(DWORD))
        return ::testing::AssertionFailure()
               << "type " << value->type << ", " << value->data.size() << " bytes";
    DWORD stored = 0;
    std::memcpy(&stored, value->data.data(), sizeof(stored));
    if (stored != expected)
        return ::testing::AssertionFailure() << "data " << stored;
    return ::testing::AssertionSuccess();
}

UninstallEntryFacts Facts(const std::wstring& uninstaller, const std::wstring& folder = L"X:\\f",
                          DWORD sizeKb = 0) {
    UninstallEntryFacts facts;
    facts.uninstallerPath = uninstaller;
    facts.installFolder = folder;
    facts.estimatedSizeKb = sizeKb;
    return facts;
}

class RegistrationTest : public ::testing::Test {
protected:
    void SetUp() override { registrytest::RemoveProductRegistration(); }
    void TearDown() override { registrytest::RemoveProductRegistration(); }
};

TEST_F(RegistrationTest, DefaultFolderInstallationWritesTheDocumentedLayout) {
    const std::wstring folder = L"C:\\Program Files\\Tolma\\Orvia\\tamro";
    const std::wstring client = ClientExecutablePath(folder);
    const std::wstring uninstaller = UninstallerPath(folder);
    EXPECT_EQ(client, L"C:\\Program Files\\Tolma\\Orvia\\tamro\\tamro\\tamro.exe");
    EXPECT_EQ(uninstaller, L"C:\\Program Files\\Tolma\\Orvia\\tamro\\tamro\\UnInstall.exe");

    ShortcutInfo info;
    info.target = client;
    EXPECT_TRUE(WriteUninstallEntry(info, Facts(uninstaller, folder, 41230)));
    EXPECT_TRUE(ProductKeys(folder, client, true));

    EXPECT_TRUE(HasString(HKEY_LOCAL_MACHINE, kMachineProduct, L"AppName", client));
    EXPECT_TRUE(HasString(HKEY_LOCAL_MACHINE, kMachineProduct, L"InstallDir", folder));
    EXPECT_EQ(registrytest::ValueCount(HKEY_LOCAL_MACHINE, kMachineProduct), 2);

    EXPECT_TRUE(HasString(HKEY_CURRENT_USER, kUserProduct, L"AppName", client));
    EXPECT_TRUE(HasString(HKEY_CURRENT_USER, kUserProduct, L"InstallDir", folder));
    EXPECT_TRUE(HasString(HKEY_CURRENT_USER, kUserProduct, L"locale", L"hans"));
    EXPECT_EQ(registrytest::ValueCount(HKEY_CURRENT_USER, kUserProduct), 3);

    EXPECT_TRUE(HasString(HKEY_LOCAL_MACHINE, kUninstallEntry, L"DisplayIcon", uninstaller));
    EXPECT_TRUE(HasString(HKEY_LOCAL_MACHINE, kUninstallEntry, L"DisplayName", L"Tamro"));
    EXPECT_TRUE(HasString(HKEY_LOCAL_MACHINE, kUninstallEntry, L"DisplayVersion", L"2.6.3.2"));
    EXPECT_TRUE(HasString(HKEY_LOCAL_MACHINE, kUninstallEntry, L"Publisher", L"Tolma网络"));
    // Quoted, so that the space in "Program Files" cannot make it start C:\Program.exe.
    EXPECT_TRUE(HasString(HKEY_LOCAL_MACHINE, kUninstallEntry, L"UninstallString",
                          L"\"C:\\Program Files\\Tolma\\Orvia\\tamro\\tamro\\UnInstall.exe\""));
    EXPECT_TRUE(HasString(HKEY_LOCAL_MACHINE, kUninstallEntry, L"InstallLocation", folder));
    EXPECT_TRUE(HasDword(HKEY_LOCAL_MACHINE, kUninstallEntry, L"EstimatedSize", 41230));
    EXPECT_TRUE(HasDword(HKEY_LOCAL_MACHINE, kUninstallEntry, L"NoModify", 1));
    EXPECT_TRUE(HasDword(HKEY_LOCAL_MACHINE, kUninstallEntry, L"NoRepair", 1));
    EXPECT_TRUE(HasString(HKEY_LOCAL_MACHINE, kUninstallEntry, L"QuietUninstallString",
                          L"\"C:\\Program Files\\Tolma\\Orvia\\tamro\\tamro\\UnInstall.exe\" /S"));
    EXPECT_EQ(registrytest::ValueCount(HKEY_LOCAL_MACHINE, kUninstallEntry), 10);

    // The folder the next run proposes is read from a key the installer never writes.
    EXPECT_FALSE(registrytest::KeyExists(HKEY_CURRENT_USER, kRecorded));
    EXPECT_EQ(ReadRecordedInstallDir(), L"");
}

TEST_F(RegistrationTest, EditionChoosesLocaleAndASecondInstallationOverwrites) {
    const std::wstring first = L"D:\\Apps\\Tolma\\Orvia\\tamro";
    ProductKeys(first, ClientExecutablePath(first), false);
    EXPECT_TRUE(HasString(HKEY_CURRENT_USER, kUserProduct, L"locale", L"hant"));

    const std::wstring second = L"E:\\聊天\\tamro";
    ProductKeys(second, ClientExecutablePath(second), true);
    EXPECT_TRUE(HasString(HKEY_CURRENT_USER, kUserProduct, L"locale", L"hans"));
    EXPECT_TRUE(HasString(HKEY_CURRENT_USER, kUserProduct, L"InstallDir", second));
    EXPECT_TRUE(HasString(HKEY_LOCAL_MACHINE, kMachineProduct, L"AppName",
                          L"E:\\聊天\\tamro\\tamro\\tamro.exe"));
    EXPECT_EQ(registrytest::ValueCount(HKEY_CURRENT_USER, kUserProduct), 3);
}

TEST_F(RegistrationTest, UninstallEntryUsesTheRecordNamesAndRejectsPathNames) {
    ShortcutInfo info;
    info.displayName = L"Tamro 测试";
    UninstallEntryFacts facts = Facts(L"X:\\u.exe");
    facts.version = L"3.0.1.7";
    EXPECT_TRUE(WriteUninstallEntry(info, facts));
    EXPECT_TRUE(HasString(HKEY_LOCAL_MACHINE, kUninstallEntry, L"DisplayVersion", L"3.0.1.7"));
    EXPECT_TRUE(HasString(HKEY_LOCAL_MACHINE, kUninstallEntry, L"DisplayName", L"Tamro 测试"));
    EXPECT_TRUE(
        HasString(HKEY_LOCAL_MACHINE, kUninstallEntry, L"UninstallString", L"\"X:\\u.exe\""));

    // An empty entry name must not turn the Uninstall key itself into the entry.
    const std::wstring uninstall = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    for (const wchar_t* name : {L"", L"tamro\\nested"}) {
        info.entryName = name;
        EXPECT_FALSE(WriteUninstallEntry(info, Facts(L"X:\\v.exe")));
    }
    EXPECT_FALSE(QueryValue(HKEY_LOCAL_MACHINE, uninstall, L"DisplayIcon"));
    EXPECT_FALSE(registrytest::KeyExists(HKEY_LOCAL_MACHINE, kUninstallEntry + L"\\nested"));
    EXPECT_TRUE(HasString(HKEY_LOCAL_MACHINE, kUninstallEntry, L"DisplayIcon", L"X:\\u.exe"));
}

TEST_F(RegistrationTest, WriteStringValueNeedsAnExistingKey) {
    EXPECT_FALSE(WriteStringValue(HKEY_CURRENT_USER, L"Software\\Tolma\\missing", L"v", L"x"));
    EXPECT_FALSE(registrytest::KeyExists(HKEY_CURRENT_USER, L"Software\\Tolma\\missing"));
    EXPECT_FALSE(registrytest::KeyExists(HKEY_CURRENT_USER, L"Software\\Tolma"));

    registrytest::SetRawValue(HKEY_CURRENT_USER, kUserProduct, L"seed", REG_DWORD, "\0\0\0", 4);
    EXPECT_TRUE(WriteStringValue(HKEY_CURRENT_USER, kUserProduct.c_str(), L"empty", L""));
    EXPECT_TRUE(HasString(HKEY_CURRENT_USER, kUserProduct, L"empty", L""));
    // Replacing a value of another type leaves a string.
    EXPECT_TRUE(WriteStringValue(HKEY_CURRENT_USER, kUserProduct.c_str(), L"seed", L"网络"));
    EXPECT_TRUE(HasString(HKEY_CURRENT_USER, kUserProduct, L"seed", L"网络"));
}

TEST_F(RegistrationTest, LogonStartIsSetAndRemovedWithoutTouchingOtherEntries) {
    const std::wstring client = L"C:\\Program Files\\Tolma\\Orvia\\tamro\\tamro\\tamro.exe";
    const std::wstring neighbour = L"orvia-registration-test-neighbour";
    registrytest::SetRawValue(HKEY_LOCAL_MACHINE, kRun, neighbour, REG_SZ, L"n.exe",
                              sizeof(L"n.exe"));

    SetLogonStart(false, client);
    EXPECT_FALSE(QueryValue(HKEY_LOCAL_MACHINE, kRun, L"tamro"));

    SetLogonStart(true, client);
    EXPECT_TRUE(HasString(HKEY_LOCAL_MACHINE, kRun, L"tamro", client));
    SetLogonStart(false, client);
    EXPECT_FALSE(QueryValue(HKEY_LOCAL_MACHINE, kRun, L"tamro"));
    SetLogonStart(true, client);
    EXPECT_TRUE(HasString(HKEY_LOCAL_MACHINE, kRun, L"tamro", client));

    EXPECT_TRUE(HasString(HKEY_LOCAL_MACHINE, kRun, neighbour, L"n.exe"));
    registrytest::DeleteValue(HKEY_LOCAL_MACHINE, kRun, neighbour);
}

void StoreRecorded(DWORD type, const void* data, DWORD bytes) {
    registrytest::SetRawValue(HKEY_CURRENT_USER, kRecorded, L"InstallDir", type, data, bytes);
}

void StoreRecordedText(const std::wstring& text) {
    StoreRecorded(REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

TEST_F(RegistrationTest, RecordedInstallDirPresentEmptyOrMissing) {
    EXPECT_EQ(ReadRecordedInstallDir(), L"");

    registrytest::SetRawValue(HKEY_CURRENT_USER, kRecorded, L"other", REG_SZ, L"x", sizeof(L"x"));
    EXPECT_EQ(ReadRecordedInstallDir(), L"");

    StoreRecordedText(L"D:\\Apps\\Tolma\\Orvia\\tamro");
    EXPECT_EQ(ReadRecordedInstallDir(), L"D:\\Apps\\Tolma\\Orvia\\tamro");

    StoreRecordedText(L"");
    EXPECT_EQ(ReadRecordedInstallDir(), L"");
}

TEST_F(RegistrationTest, RecordedInstallDirLongerThan255CharactersIsNotProposed) {
    const std::wstring fits = L"C:\\" + std::wstring(252, L'f');
    ASSERT_EQ(fits.size(), 255u);
    StoreRecordedText(fits);
    EXPECT_EQ(ReadRecordedInstallDir(), fits);

    // Stored without its NUL the same text still fits.
    StoreRecorded(REG_SZ, fits.c_str(), static_cast<DWORD>(fits.size() * sizeof(wchar_t)));
    EXPECT_EQ(ReadRecordedInstallDir(), fits);

    // 256 characters fill the whole buffer with no room for a NUL; longer ones overflow it.
    for (std::size_t length : {256u, 257u, 1000u}) {
        StoreRecordedText(std::wstring(length, L'x'));
        EXPECT_EQ(ReadRecordedInstallDir(), L"") << length;
        StoreRecorded(REG_SZ, std::wstring(length, L'y').c_str(),
                      static_cast<DWORD>(length * sizeof(wchar_t)));
        EXPECT_EQ(ReadRecordedInstallDir(), L"") << length << " without NUL";
    }
}

TEST_F(RegistrationTest, RecordedInstallDirOfAnotherTypeIsReadAsText) {
    // Odd byte count and no NUL: the half unit at the end is not part of the text.
    const unsigned char odd[] = {'A', 0, 'B', 0, 'C'};
    StoreRecorded(REG_BINARY, odd, sizeof(odd));
    EXPECT_EQ(ReadRecordedInstallDir(), L"AB");

    const std::uint32_t dword = 0x00420041;
    StoreRecorded(REG_DWORD, &dword, sizeof(dword));
    EXPECT_EQ(ReadRecordedInstallDir(), L"AB");

    const wchar_t multi[] = L"D:\\one\0D:\\two\0";
    StoreRecorded(REG_MULTI_SZ, multi, sizeof(multi));
    EXPECT_EQ(ReadRecordedInstallDir(), L"D:\\one");

    const std::vector<unsigned char> full(512, 0x41);
    StoreRecorded(REG_BINARY, full.data(), static_cast<DWORD>(full.size()));
    EXPECT_EQ(ReadRecordedInstallDir(), L"");

    const std::vector<unsigned char> oddFull(511, 0x41);
    StoreRecorded(REG_BINARY, oddFull.data(), static_cast<DWORD>(oddFull.size()));
    EXPECT_EQ(ReadRecordedInstallDir(), std::wstring(255, L'\x4141'));
}

} // namespace
