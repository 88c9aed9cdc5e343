#include "uninstaller/RemovalGuard.h"
#include "uninstaller/RemovalPaths.h"

#include "tests/registration/RegistryAccess.h"
#include "tests/support/TestSupport.h"
#include "tests/uninstaller/TreeFixtures.h"

#include <gtest/gtest.h>

#include "win32/UniqueHandle.h"

#include <knownfolders.h>
#include <shlobj.h>

namespace {

using namespace uninstalltest;

const std::wstring kUninstallEntry =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\tamro";

// The volume a drive or share path lies on, as GetVolumePathNameW gives it.
std::wstring VolumeOf(const std::wstring& path) {
    if (path.size() >= 2 && path[1] == L':')
        return path.substr(0, 2) + L"\\";
    const std::size_t server = path.find(L'\\', 2);
    const std::size_t share = path.find(L'\\', server + 1);
    return share == std::wstring::npos ? path + L"\\" : path.substr(0, share + 1);
}

// The facts for a root that exists and lies on an ordinary volume, where nothing is linked.
RemovalFacts Located(RemovalFacts facts) {
    facts.resolvedRoot = RemovalRootOf(facts.ownPath);
    facts.rootVolume = VolumeOf(facts.resolvedRoot);
    facts.resolvedRootVolume = facts.rootVolume;
    return facts;
}

// An installed uninstaller far from every protected folder, with the client beside it.
RemovalFacts InstalledFacts() {
    RemovalFacts facts;
    facts.ownPath = L"D:\\Apps\\Tolma\\Orvia\\tamro\\tamro\\uninstall.exe";
    facts.ownLongPath = facts.ownPath;
    facts.clientBesideUs = true;
    facts.protectedFolders = {L"C:\\Windows", L"C:\\Program Files", L"C:\\Users", L"C:\\Users\\u",
                              L"C:\\Users\\u\\Documents"};
    facts.protectedParents = {L"C:\\Users"};
    return Located(facts);
}

void SetUninstallString(const std::wstring& text) {
    registrytest::SetRawValue(HKEY_LOCAL_MACHINE, kUninstallEntry, L"UninstallString", REG_SZ,
                              text.c_str(),
                              static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

RemovalRefusal Judge(const RemovalFacts& facts) {
    return JudgeRemoval(Located(facts)).refusal;
}

TEST(RemovalGuard, NothingIsAllowedBeforeTheChecksHaveRun) {
    EXPECT_FALSE(RemovalVerdict{}.allowed());
}

TEST(RemovalGuard, AnInstalledUninstallerMayRemoveItsInstallFolder) {
    const RemovalVerdict verdict = JudgeRemoval(InstalledFacts());
    EXPECT_TRUE(verdict.allowed());
    EXPECT_EQ(verdict.root, L"D:\\Apps\\Tolma\\Orvia\\tamro");
}

TEST(RemovalGuard, OwnFolderMustBeNamedTamroInAnyCase) {
    RemovalFacts facts = InstalledFacts();
    facts.ownPath = L"C:\\Users\\u\\Downloads\\uninstall.exe";
    EXPECT_EQ(Judge(facts), RemovalRefusal::NotInClientFolder);
    facts.ownPath = L"D:\\Apps\\tamro-copy\\uninstall.exe";
    EXPECT_EQ(Judge(facts), RemovalRefusal::NotInClientFolder);
    facts.ownPath = L"D:\\Apps\\TAMRO\\uninstall.exe";
    EXPECT_EQ(Judge(facts), RemovalRefusal::None);
}

TEST(RemovalGuard, WithoutTheClientTheUninstallEntryMustNameThisVeryFile) {
    RemovalFacts facts = InstalledFacts();
    facts.clientBesideUs = false;
    EXPECT_EQ(Judge(facts), RemovalRefusal::NotInstalledHere) << "no entry";

    facts.registeredCommand = L"\"D:\\Apps\\Tolma\\Orvia\\tamro\\tamro\\UnInstall.exe\"";
    EXPECT_EQ(Judge(facts), RemovalRefusal::None) << "quoted, other case";
    facts.registeredCommand = L"D:\\APPS\\Tolma\\Orvia\\tamro\\tamro\\UnInstall.exe";
    EXPECT_EQ(Judge(facts), RemovalRefusal::None) << "unquoted";

    facts.registeredCommand = L"\"E:\\Other\\tamro\\UnInstall.exe\"";
    EXPECT_EQ(Judge(facts), RemovalRefusal::NotInstalledHere) << "another installation";

    // Short (8.3) and long spellings of the same file match through their long forms.
    facts.ownPath = L"D:\\APPS~1\\tamro\\tamro\\uninstall.exe";
    facts.ownLongPath = L"D:\\Apps Folder\\tamro\\tamro\\uninstall.exe";
    facts.registeredCommand = L"\"D:\\Apps Folder\\tamro\\tamro\\UnInstall.exe\"";
    facts.registeredLongPath = L"D:\\Apps Folder\\tamro\\tamro\\UnInstall.exe";
    EXPECT_EQ(Judge(facts), RemovalRefusal::None);
}

TEST(RemovalGuard, RootMayNotBeOrContainAProtectedFolder) {
    RemovalFacts facts = InstalledFacts();
    const std::pair<const wchar_t*, RemovalRefusal> cases[] = {
        {L"C:\\tamro\\uninstall.exe", RemovalRefusal::ProtectedFolder},             // drive root
        {L"\\\\srv\\share\\tamro\\uninstall.exe", RemovalRefusal::ProtectedFolder}, // share root
        {L"C:\\Windows\\tamro\\uninstall.exe", RemovalRefusal::ProtectedFolder},    // equal
        {L"c:\\users\\u\\documents\\tamro\\uninstall.exe", RemovalRefusal::ProtectedFolder},
        {L"C:\\Users\\tamro\\uninstall.exe", RemovalRefusal::ProtectedFolder}, // the Users folder
        {L"C:\\Users\\other\\tamro\\uninstall.exe", RemovalRefusal::ProtectedFolder}, // a profile
        {L"C:\\Users\\u\\Documents\\Apps\\Tolma\\tamro\\uninstall.exe", RemovalRefusal::None},
        {L"\\\\srv\\share\\apps\\tamro\\uninstall.exe", RemovalRefusal::None},
        {L"C:\\Program Files\\Tolma\\Orvia\\tamro\\tamro\\uninstall.exe", RemovalRefusal::None},
    };
    for (const auto& [own, expected] : cases) {
        facts.ownPath = own;
        facts.ownLongPath = own;
        EXPECT_EQ(Judge(facts), expected) << ::testing::PrintToString(std::wstring(own));
    }

    // A root that is a link to a protected folder is judged by where it leads as well.
    facts.ownPath = L"D:\\Linked\\tamro\\uninstall.exe";
    facts.ownLongPath = facts.ownPath;
    facts = Located(facts);
    facts.resolvedRoot = L"C:\\Users\\u";
    EXPECT_EQ(JudgeRemoval(facts).refusal, RemovalRefusal::ProtectedFolder);
}

// Every user's profile, wherever the profile list puts it, and the folders one or two levels
// inside it; deeper folders are where a user may install things.
TEST(RemovalGuard, NoProfileNorAFolderOneOrTwoLevelsInsideOneIsARoot) {
    RemovalFacts facts = InstalledFacts();
    facts.profiles = {L"C:\\Users\\u", L"C:\\Users\\bob", L"E:\\Profiles\\carol"};
    for (const wchar_t* root :
         {L"C:\\Users\\bob", L"C:\\Users\\bob\\Desktop", L"C:\\Users\\bob\\Documents",
          L"C:\\Users\\bob\\AppData\\Roaming", L"C:\\Users\\bob\\AppData\\Local",
          L"C:\\Users\\bob\\Desktop\\Games", L"C:\\users\\BOB\\Saved Games", L"E:\\Profiles\\carol",
          L"E:\\Profiles\\carol\\OneDrive", L"E:\\Profiles\\carol\\OneDrive\\Apps", L"E:\\Profiles",
          // Not in the list, but directly inside the profiles folder.
          L"C:\\Users\\dave\\Documents\\Apps"}) {
        facts.ownPath = std::wstring(root) + L"\\tamro\\uninstall.exe";
        facts.ownLongPath = facts.ownPath;
        EXPECT_EQ(Judge(facts), RemovalRefusal::ProtectedFolder)
            << ::testing::PrintToString(std::wstring(root));
    }
    for (const wchar_t* root : {L"C:\\Users\\bob\\Games\\Tolma\\Orvia\\tamro",
                                L"E:\\Profiles\\carol\\Apps\\Tolma\\tamro", L"E:\\Profiles2\\x"}) {
        facts.ownPath = std::wstring(root) + L"\\tamro\\uninstall.exe";
        facts.ownLongPath = facts.ownPath;
        EXPECT_EQ(Judge(facts), RemovalRefusal::None)
            << ::testing::PrintToString(std::wstring(root));
    }

    // A root that leads into a profile is judged by where it leads.
    facts.ownPath = L"D:\\Linked\\tamro\\uninstall.exe";
    facts.ownLongPath = facts.ownPath;
    facts = Located(facts);
    facts.resolvedRoot = L"E:\\Profiles\\carol\\Documents";
    EXPECT_EQ(JudgeRemoval(facts).refusal, RemovalRefusal::ProtectedFolder);
}

TEST(RemovalGuard, ARootThatCannotBePinnedDownIsRefused) {
    RemovalFacts facts = Located(InstalledFacts());
    facts.resolvedRoot.clear();
    EXPECT_EQ(JudgeRemoval(facts).refusal, RemovalRefusal::UncertainFolder) << "no final path";
    facts = Located(InstalledFacts());
    facts.rootVolume.clear();
    EXPECT_EQ(JudgeRemoval(facts).refusal, RemovalRefusal::UncertainFolder) << "no volume path";

    for (const wchar_t* own :
         {L"\\\\?\\GLOBALROOT\\Device\\HarddiskVolume2\\Apps\\x\\tamro\\uninstall.exe",
          L"\\\\.\\C:\\Apps\\x\\tamro\\uninstall.exe",
          L"\\\\?\\Volume{0b1c2d3e-0000-0000-0000-100000000000}\\Apps\\x\\tamro\\uninstall.exe",
          L"D:\\Apps\\Orvia.\\tamro\\uninstall.exe", L"D:\\Apps\\Orvia \\tamro\\uninstall.exe",
          L"D:\\Apps.\\Orvia\\tamro\\uninstall.exe", L"D:\\Apps\\..\\tamro\\uninstall.exe",
          L"\\\\?\\D:\\Apps\\Orvia...\\tamro\\uninstall.exe"}) {
        facts.ownPath = own;
        facts.ownLongPath = own;
        EXPECT_EQ(Judge(facts), RemovalRefusal::UncertainFolder)
            << ::testing::PrintToString(std::wstring(own));
    }
    facts.ownPath = L"\\??\\C:\\Apps\\x\\tamro\\uninstall.exe";
    EXPECT_FALSE(JudgeRemoval(Located(facts)).allowed());
    // The long-path form of an ordinary folder is no device path.
    facts.ownPath = L"\\\\?\\D:\\Apps\\Orvia\\tamro\\uninstall.exe";
    facts.ownLongPath = facts.ownPath;
    facts = Located(facts);
    facts.resolvedRoot = L"D:\\Apps\\Orvia";
    EXPECT_EQ(JudgeRemoval(facts).refusal, RemovalRefusal::None);
}

TEST(RemovalGuard, VolumeRootsAndMountPointsAreRefused) {
    RemovalFacts facts = Located(InstalledFacts());
    // D:\Apps\Tolma\Orvia\tamro is where another volume is mounted.
    facts.rootVolume = L"D:\\Apps\\Tolma\\Orvia\\tamro\\";
    EXPECT_EQ(JudgeRemoval(facts).refusal, RemovalRefusal::ProtectedFolder);
    facts = Located(InstalledFacts());
    facts.resolvedRoot = L"F:\\Mounted";
    facts.resolvedRootVolume = L"F:\\Mounted\\";
    EXPECT_EQ(JudgeRemoval(facts).refusal, RemovalRefusal::ProtectedFolder) << "a link to one";
}

// The facts as read from this machine: the system's folders are found and protected, the
// client file and the uninstall entry are seen.
class GatheredFactsTest : public ::testing::Test {
protected:
    void SetUp() override { registrytest::RemoveProductRegistration(); }
    void TearDown() override { registrytest::RemoveProductRegistration(); }
};

TEST_F(GatheredFactsTest, SystemAndUserFoldersAreProtected) {
    for (const KNOWNFOLDERID* id :
         {&FOLDERID_Windows, &FOLDERID_System, &FOLDERID_ProgramFiles, &FOLDERID_ProgramData,
          &FOLDERID_Profile, &FOLDERID_Desktop, &FOLDERID_Documents, &FOLDERID_RoamingAppData,
          &FOLDERID_LocalAppData, &FOLDERID_CommonPrograms, &FOLDERID_Public}) {
        const std::wstring folder = KnownFolder(*id).wstring();
        ASSERT_FALSE(folder.empty());
        const std::wstring own = folder + L"\\tamro\\uninstall.exe";
        RemovalFacts facts = GatherRemovalFacts(own);
        facts.clientBesideUs = true;
        EXPECT_EQ(JudgeRemoval(facts).refusal, RemovalRefusal::ProtectedFolder)
            << ::testing::PrintToString(folder);
    }
}

TEST_F(GatheredFactsTest, ClientFileAndUninstallEntryAreRead) {
    testsupport::ScratchFolder scratch("guard");
    const fs::path own = scratch.path() / L"inst" / L"tamro" / L"uninstall.exe";
    WriteFile(own, "uninstaller");
    EXPECT_EQ(CheckRemoval(own.wstring()).refusal, RemovalRefusal::NotInstalledHere);

    // A folder named like the client is not the client.
    fs::create_directories(own.parent_path() / L"tamro.exe");
    EXPECT_EQ(CheckRemoval(own.wstring()).refusal, RemovalRefusal::NotInstalledHere);

    SetUninstallString(L"\"C:\\elsewhere\\tamro\\UnInstall.exe\"");
    EXPECT_EQ(CheckRemoval(own.wstring()).refusal, RemovalRefusal::NotInstalledHere);

    SetUninstallString(L"\"" + own.parent_path().wstring() + L"\\UnInstall.exe\"");
    const RemovalVerdict verdict = CheckRemoval(own.wstring());
    EXPECT_TRUE(verdict.allowed());
    EXPECT_TRUE(SamePath(verdict.root, (scratch.path() / L"inst").wstring()));

    registrytest::RemoveProductRegistration();
    fs::remove(own.parent_path() / L"tamro.exe");
    WriteFile(own.parent_path() / L"tamro.exe", "client");
    EXPECT_TRUE(CheckRemoval(own.wstring()).allowed());
}

// Other users' profiles: one in the profiles folder, one that only the profile list names,
// and a folder that a loaded user hive redirects its documents to.
class OtherProfilesTest : public GatheredFactsTest {
protected:
    void SetUp() override {
        GatheredFactsTest::SetUp();
        ASSERT_FALSE(profiles.empty());
        win32::UniqueRegistryKey key;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kListedProfileKey, 0, nullptr, 0,
                                  KEY_WRITE | KEY_WOW64_64KEY, nullptr, key.put(), nullptr),
                  ERROR_SUCCESS);
        SetString(key.get(), L"ProfileImagePath", carol.wstring(), REG_EXPAND_SZ);
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kShellFoldersKey, 0, nullptr, 0, KEY_WRITE,
                                  nullptr, shellFolders.put(), nullptr),
                  ERROR_SUCCESS);
        SetString(shellFolders.get(), kRedirectedValue, redirected.wstring(), REG_SZ);
    }

    void TearDown() override {
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kListedProfileKey, KEY_WOW64_64KEY, 0);
        if (shellFolders)
            RegDeleteValueW(shellFolders.get(), kRedirectedValue);
        testsupport::RemoveTree(bob);
        GatheredFactsTest::TearDown();
    }

    static void SetString(HKEY key, const wchar_t* name, const std::wstring& text, DWORD type) {
        ASSERT_EQ(RegSetValueExW(key, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                                 static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }

    // An installed uninstaller whose root is `root`.
    static std::wstring Installed(const fs::path& root) {
        WriteFile(root / L"tamro" / L"uninstall.exe", "uninstaller");
        WriteFile(root / L"tamro" / L"tamro.exe", "client");
        return (root / L"tamro" / L"uninstall.exe").wstring();
    }

    static constexpr wchar_t kListedProfileKey[] =
        L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\S-1-5-21-1-2-3-4242";
    static constexpr wchar_t kShellFoldersKey[] =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    static constexpr wchar_t kRedirectedValue[] = L"{0A4F5E5C-0RVI-A0TE-ST00-000000000001}";

    testsupport::ScratchFolder scratch{"profiles"};
    const fs::path profiles = KnownFolder(FOLDERID_UserProfiles);
    const fs::path bob = profiles / L"orvia-bob";
    const fs::path carol = scratch.path() / L"Profiles" / L"carol";
    const fs::path redirected = scratch.path() / L"Redirected" / L"Docs";
    win32::UniqueRegistryKey shellFolders;
};

TEST_F(OtherProfilesTest, TheirFoldersAreRefusedAndDeeperOnesAllowed) {
    for (const fs::path& root :
         {bob, bob / L"Desktop", bob / L"Documents", bob / L"AppData" / L"Roaming",
          bob / L"Desktop" / L"Games", carol, carol / L"OneDrive", carol / L"Saved Games",
          carol / L"AppData" / L"Local" / L"Programs", carol.parent_path(), redirected,
          redirected.parent_path()}) {
        const RemovalVerdict verdict = CheckRemoval(Installed(root));
        EXPECT_EQ(verdict.refusal, RemovalRefusal::ProtectedFolder)
            << ::testing::PrintToString(root.wstring());
    }
    for (const fs::path& root : {bob / L"Games" / L"Tolma" / L"Orvia" / L"tamro",
                                 carol / L"Apps" / L"Tolma" / L"tamro", redirected / L"Apps"}) {
        const RemovalVerdict verdict = CheckRemoval(Installed(root));
        EXPECT_TRUE(verdict.allowed()) << ::testing::PrintToString(root.wstring());
    }
}

} // namespace
