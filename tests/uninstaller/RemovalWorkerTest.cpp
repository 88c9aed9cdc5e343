#include "uninstaller/RemovalThread.h"
#include "uninstaller/RemovalWorker.h"

#include "tests/support/TestSupport.h"
#include "tests/uninstaller/TreeFixtures.h"
#include "uninstaller/UninstallerConstants.h"

#include <gtest/gtest.h>

namespace {

using namespace uninstalltest;

class RemovalWorkerTest : public ::testing::Test {
protected:
    // Counts, then deletes the tree at `root` as the worker does, without pauses; returns the
    // percentages posted.
    std::vector<LPARAM> Remove(const fs::path& root, const std::wstring& ownPath = {}) {
        unsigned long total = 0;
        CountFolders(root.wstring(), total);
        folderTotal = total;
        unsigned long done = 0;
        const TreeRemoval removal{messages.get(), ownPath, 0, nullptr};
        EXPECT_TRUE(DeleteTree(root.wstring(), done, total, removal));
        EXPECT_EQ(done, total);
        return messages.Take(uninstall::RemovalProgressMessage);
    }

    testsupport::ScratchFolder scratch{"removal"};
    MessageWindow messages;
    unsigned long folderTotal = 0;
};

TEST_F(RemovalWorkerTest, ThreeFoldersPostAThirdEachAndEndAtOneHundred) {
    const fs::path root = scratch.path() / L"inst";
    WriteFile(root / L"a" / L"1.txt", "1");
    WriteFile(root / L"b" / L"2.txt", "2");
    WriteFile(root / L"top.dll", "3");
    EXPECT_EQ(Remove(root), (std::vector<LPARAM>{33, 66, 100}));
    EXPECT_FALSE(Exists(root));
}

TEST_F(RemovalWorkerTest, ManyFoldersPostTheTruncatedPercentageOfEach) {
    const fs::path hundred = scratch.path() / L"hundred";
    // Nested and side by side, 100 folders with the root.
    for (int i = 0; i < 33; ++i)
        WriteFile(hundred / std::to_wstring(i) / L"x" / L"y" / L"f.bin", std::string(i, 'z'));
    const auto progress = Remove(hundred);
    ASSERT_EQ(progress.size(), 100u);
    EXPECT_EQ(folderTotal, 100u);
    EXPECT_EQ(progress[28], 28) << "the 29th folder";
    EXPECT_EQ(progress[56], 56) << "the 57th folder";
    EXPECT_EQ(progress.back(), 100);
    EXPECT_FALSE(Exists(hundred));

    const fs::path fifty = scratch.path() / L"fifty";
    for (int i = 0; i < 49; ++i)
        fs::create_directories(fifty / std::to_wstring(i));
    const auto half = Remove(fifty);
    ASSERT_EQ(half.size(), 50u);
    EXPECT_EQ(half[28], 57) << "the 29th of 50 folders";
}

TEST_F(RemovalWorkerTest, DotNamesAndTheOwnFileStayForTheDelayedCommand) {
    const fs::path root = scratch.path() / L"inst";
    const fs::path own = root / L"tamro" / L"uninstall.exe";
    WriteFile(own, "me");
    WriteFile(root / L"tamro" / L"tamro.exe", "client");
    WriteFile(root / L".cache", "cache");
    WriteFile(root / L".git" / L"config", "git");
    WriteFile(root / L"data" / L".keep", "keep");
    WriteFile(root / L"data" / L"sub" / L"movie.swf", "swf");

    // The own path compares without regard to case.
    std::wstring ownUpper = own.wstring();
    CharUpperBuffW(ownUpper.data(), static_cast<DWORD>(ownUpper.size()));
    const auto progress = Remove(root, ownUpper);
    EXPECT_EQ(folderTotal, 4u) << "root, tamro, data, data\\sub; .git is not entered";
    EXPECT_EQ(progress, (std::vector<LPARAM>{25, 50, 75, 100}));

    EXPECT_TRUE(Exists(own));
    EXPECT_FALSE(Exists(root / L"tamro" / L"tamro.exe"));
    EXPECT_EQ(Snapshot(root / L".git"), (TreeSnapshot{{L"config", "git"}}));
    EXPECT_TRUE(Exists(root / L".cache"));
    EXPECT_TRUE(Exists(root / L"data" / L".keep"));
    EXPECT_FALSE(Exists(root / L"data" / L"sub"));
}

TEST_F(RemovalWorkerTest, ReadOnlyFoldersAreRemovedAfterTheirContent) {
    const fs::path root = scratch.path() / L"inst";
    WriteFile(root / L"locked" / L"inner" / L"f.txt", "f");
    SetFileAttributesW((root / L"locked").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW((root / L"locked" / L"inner").c_str(),
                       FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    Remove(root);
    EXPECT_FALSE(Exists(root));
}

TEST_F(RemovalWorkerTest, RootsInOtherScriptsAndWithShellCharactersGoAndTheirNeighboursStay) {
    const fs::path parent = scratch.path() / L"A & B ^ 100% 聊天";
    const fs::path root = parent / L"한국어 설치 %PATH% ^&";
    const fs::path neighbour = parent / L"한국어 설치";
    WriteFile(root / L"tamro" / L"资料.dat", "data");
    WriteFile(root / L"플래시" / L"영화.swf", "movie");
    WriteFile(neighbour / L"keep.txt", "keep");
    WriteFile(parent / L"beside.txt", "beside");
    const TreeSnapshot before = Snapshot(neighbour);

    EXPECT_EQ(Remove(root).back(), 100);
    EXPECT_FALSE(Exists(root));
    EXPECT_EQ(Snapshot(neighbour), before);
    EXPECT_TRUE(Exists(parent / L"beside.txt"));
}

// Links inside the install folder, made by the client, a user or a tool: what they point to
// must survive, and a link back to the root must not make the walk go round.
class LinkRemovalTest : public RemovalWorkerTest {
protected:
    void TearDown() override {
        for (const auto& [link, kind] : links)
            RemoveFolderLink(link, kind);
    }

    LinkKind Link(const fs::path& link, const fs::path& target) {
        const LinkKind kind = MakeFolderLink(link, target);
        links.emplace_back(link, kind);
        return kind;
    }

    // Windows removes the link itself, as rmdir does. Wine 8 cannot remove a Unix link
    // through RemoveDirectoryW (nor DeleteFileW), so there the link stays: the one known
    // difference these tests tolerate.
    static void ExpectLinkRemoved(const fs::path& link, LinkKind kind) {
        if (kind == LinkKind::UnixLink) {
            EXPECT_TRUE(Exists(link)) << "Wine now removes Unix links: tighten this test";
        } else {
            EXPECT_FALSE(Exists(link));
        }
    }

    std::vector<std::pair<fs::path, LinkKind>> links;
};

TEST_F(LinkRemovalTest, JunctionToAFolderOutsideLeavesItsFilesAlone) {
    const fs::path outside = scratch.path() / L"Documents";
    WriteFile(outside / L"letter.txt", "dear");
    WriteFile(outside / L"photos" / L"1.jpg", "jpeg");
    const TreeSnapshot before = Snapshot(outside);

    const fs::path root = scratch.path() / L"inst";
    WriteFile(root / L"tamro" / L"tamro.exe", "client");
    const LinkKind kind = Link(root / L"tamro" / L"docs", outside);
    ASSERT_NE(kind, LinkKind::None) << "no way to make a folder link here";

    const auto progress = Remove(root);
    EXPECT_EQ(folderTotal, 3u) << "root, tamro, and the link as one folder";
    EXPECT_EQ(progress, (std::vector<LPARAM>{33, 66, 100}));
    EXPECT_EQ(Snapshot(outside), before);
    ExpectLinkRemoved(root / L"tamro" / L"docs", kind);
    EXPECT_FALSE(Exists(root / L"tamro" / L"tamro.exe"));
    if (kind != LinkKind::UnixLink) {
        EXPECT_FALSE(Exists(root));
    }
}

TEST_F(LinkRemovalTest, LinkToTheRootItselfEndsTheWalk) {
    const fs::path root = scratch.path() / L"inst";
    WriteFile(root / L"tamro" / L"a.txt", "a");
    const LinkKind kind = Link(root / L"tamro" / L"again", root);
    ASSERT_NE(kind, LinkKind::None);

    const auto progress = Remove(root);
    EXPECT_EQ(folderTotal, 3u);
    EXPECT_EQ(progress.size(), 3u);
    ExpectLinkRemoved(root / L"tamro" / L"again", kind);
    EXPECT_FALSE(Exists(root / L"tamro" / L"a.txt"));
}

// The pause after each folder gives another process time to replace a folder the walk has
// listed but not yet entered. What the link leads to must survive; the link itself goes.
TEST_F(LinkRemovalTest, FoldersSwappedForLinksDuringTheWalkCostTheLinksAtMost) {
    const fs::path outside = scratch.path() / L"Documents";
    WriteFile(outside / L"letter.txt", "dear");
    WriteFile(outside / L"photos" / L"1.jpg", "jpeg");
    const TreeSnapshot before = Snapshot(outside);

    const fs::path root = scratch.path() / L"inst";
    const std::vector<std::wstring> names = {L"a", L"b", L"c", L"d"};
    for (const std::wstring& name : names)
        WriteFile(root / name / L"f.txt", "f");

    RemovalThread thread;
    ASSERT_TRUE(thread.Start({messages.get(), root.wstring(), {}, 2500}));
    MSG msg{};
    ASSERT_GT(GetMessageW(&msg, messages.get(), uninstall::RemovalProgressMessage,
                          uninstall::RemovalProgressMessage),
              0);
    // The first folder is through and the worker pauses; the others are listed, not entered.
    std::vector<std::pair<fs::path, LinkKind>> swapped;
    for (const std::wstring& name : names) {
        const fs::path folder = root / name;
        if (!Exists(folder) ||
            !MoveFileW(folder.c_str(), (scratch.path() / (L"moved-" + name)).c_str()))
            continue;
        const LinkKind kind = Link(folder, outside);
        ASSERT_NE(kind, LinkKind::None);
        swapped.emplace_back(folder, kind);
    }
    ASSERT_FALSE(swapped.empty());
    thread.Wait();

    EXPECT_EQ(Snapshot(outside), before);
    for (const auto& [link, kind] : swapped)
        ExpectLinkRemoved(link, kind);
}

// The worker thread: counting, deleting with pauses, the end handed over by a message, and a
// stop that takes effect at the next folder.
TEST_F(RemovalWorkerTest, WorkerPostsItsProgressThenTheEnd) {
    const fs::path root = scratch.path() / L"inst";
    WriteFile(root / L"a" / L"b" / L"f.txt", "f");
    RemovalThread thread;
    ASSERT_TRUE(thread.Start({messages.get(), root.wstring(), {}, 1}));
    EXPECT_FALSE(thread.Start({messages.get(), root.wstring(), {}, 1})) << "once only";
    RemovalThread nowhere;
    EXPECT_FALSE(nowhere.Start({messages.get(), L"", {}, 1})) << "no root, no walk from \\";
    EXPECT_FALSE(nowhere.Start({messages.get(), L"C:", {}, 1}));
    thread.Wait();
    EXPECT_EQ(messages.Take(uninstall::RemovalProgressMessage), (std::vector<LPARAM>{33, 66, 100}));
    EXPECT_TRUE(messages.TakeOne(uninstall::RemovalFinishedMessage));
    EXPECT_FALSE(Exists(root));
}

TEST_F(RemovalWorkerTest, StopTakesEffectAtTheNextFolderAndNothingEndsTheRemoval) {
    const fs::path root = scratch.path() / L"inst";
    for (int i = 0; i < 5; ++i)
        WriteFile(root / (L"folder" + std::to_wstring(i)) / L"f.txt", "f");
    RemovalThread thread;
    ASSERT_TRUE(thread.Start({messages.get(), root.wstring(), {}, 2000}));
    MSG msg{};
    ASSERT_GT(GetMessageW(&msg, messages.get(), uninstall::RemovalProgressMessage,
                          uninstall::RemovalProgressMessage),
              0);
    const DWORD stopAt = GetTickCount();
    thread.RequestStop();
    thread.Wait();
    EXPECT_LT(GetTickCount() - stopAt, 1000u) << "the pause ends at the stop";
    EXPECT_TRUE(messages.Take(uninstall::RemovalProgressMessage).empty());
    EXPECT_FALSE(messages.TakeOne(uninstall::RemovalFinishedMessage));
    int left = 0;
    for (int i = 0; i < 5; ++i)
        left += Exists(root / (L"folder" + std::to_wstring(i)) / L"f.txt");
    EXPECT_EQ(left, 4) << "one folder was removed before the stop";
}

TEST_F(RemovalWorkerTest, StoppedBeforeItBeginsTheWorkerDeletesNothing) {
    const fs::path root = scratch.path() / L"inst";
    WriteFile(root / L"a" / L"f.txt", "f");
    const TreeSnapshot before = Snapshot(root);
    win32::StopSignal stop;
    stop.Set();
    unsigned long done = 0;
    const TreeRemoval removal{messages.get(), {}, 0, &stop};
    EXPECT_FALSE(DeleteTree(root.wstring(), done, 2, removal));
    EXPECT_EQ(Snapshot(root), before);
    EXPECT_TRUE(messages.Take(uninstall::RemovalProgressMessage).empty());
}

} // namespace
