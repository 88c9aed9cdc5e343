#include "uninstaller/RemovalGuard.h"
#include "uninstaller/RemovalPaths.h"

#include "tests/registration/RegistryAccess.h"
#include "tests/support/TestSupport.h"
#include "tests/uninstaller/TreeFixtures.h"

#include <gtest/gtest.h>

#include <knownfolders.h>
#include <shlobj.h>

namespace {

using namespace uninstalltest;

const std::wstring kUninstallEntry =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\tamro";

// An installed uninstaller far from every protected folder, with the client beside it.
RemovalFacts InstalledFacts() {
    RemovalFacts facts;
    facts.ownPath = L"D:\\Apps\\Tolma\\Orvia\\tamro\\tamro\\uninstall.exe";
    facts.ownLongPath = facts.ownPath;
    facts.clientBesideUs = true;
    facts.protectedFolders = {L"C:\\Windows", L"C:\\Program Files", L"C:\\Users", L"C:\\Users\\u",
                              L"C:\\Users\\u\\Documents"};
    facts.protectedParents = {L"C:\\Users"};
    return facts;
}

void SetUninstallString(const std::wstring& text) {
    registrytest::SetRawValue(HKEY_LOCAL_MACHINE, kUninstallEntry, L"UninstallString", REG_SZ,
                              text.c_str(),
                              static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

RemovalRefusal Judge(const RemovalFacts& facts) {
    return JudgeRemoval(facts).refusal;
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
        {L"C:\\Users\\other\\tamro\\uninstall.exe", RemovalRefusal::ProtectedFolder},   // a profile
        {L"C:\\Users\\u\\Documents\\Apps\\tamro\\uninstall.exe", RemovalRefusal::None}, // below
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
    facts.resolvedRoot = L"C:\\Users\\u";
    EXPECT_EQ(Judge(facts), RemovalRefusal::ProtectedFolder);
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

} // namespace
