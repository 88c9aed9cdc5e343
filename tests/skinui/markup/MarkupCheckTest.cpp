#include "skinui/markup/SkinMarkup.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <sys/wait.h>

using namespace skinui::markup;

namespace {

struct CheckRun {
    int status{-1};
    std::string output;
};

CheckRun Check(const std::filesystem::path& file) {
    CheckRun run;
    std::string command = std::string(MARKUPCHECK_PATH) + " '" + file.string() + "' 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return run;
    char buffer[4096];
    std::size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.output.append(buffer, got);
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::filesystem::path Write(const testsupport::ScratchFolder& folder, const char* name,
                            const std::string& bytes) {
    std::filesystem::path path = folder.path() / name;
    std::ofstream(path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

TEST(MarkupCheckTest, PrintsTreeIndentedByLevel) {
    testsupport::ScratchFolder folder("markupcheck");
    CheckRun run =
        Check(Write(folder, "ok.xml",
                    "\xEF\xBB\xBF<?xml version=\"1.0\"?><Window size=\"1,2\">"
                    "<Font name=\"\xE5\xBE\xAE\"/><VerticalLayout><Button text=\"a&amp;b\"/>"
                    "</VerticalLayout></Window>"));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "Window size=\"1,2\"\n  Font name=\"\xE5\xBE\xAE\"\n  VerticalLayout\n"
                          "    Button text=\"a&b\"\n");
    CheckRun utf16 = Check(Write(folder, "le.xml", std::string("\xFF\xFE<\0a\0/\0>\0", 10)));
    EXPECT_EQ(utf16.status, 0);
    EXPECT_EQ(utf16.output, "a\n");
}

TEST(MarkupCheckTest, ReportsParserAndFileErrors) {
    testsupport::ScratchFolder folder("markupcheck");
    CheckRun bad = Check(Write(folder, "bad.xml", "<Window><Button text='x'/></Window>"));
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.output, "error: Expected attribute value at: 'x'/></Window>\n");
    CheckRun empty = Check(Write(folder, "empty.xml", ""));
    EXPECT_EQ(empty.output, "error: File is empty at: \n");
    CheckRun noElement = Check(Write(folder, "comment.xml", "<?xml version=\"1.0\"?><!-- -->"));
    EXPECT_EQ(noElement.status, 1);
    EXPECT_EQ(noElement.output, "error: the file has no element\n");
    CheckRun missing = Check(folder.path() / "none.xml");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.output, "error: Error opening file at: \n");
}

TEST(MarkupCheckTest, FileOfExactlyTheLimitLoadsOneByteMoreDoesNot) {
    testsupport::ScratchFolder folder("markupcheck");
    std::string head = "<Window>";
    std::string tail = "</Window>";
    std::string text = head + std::string(kMaxSkinFileSize - head.size() - tail.size(), 'x') + tail;
    ASSERT_EQ(text.size(), 4194304u);
    CheckRun exact = Check(Write(folder, "exact.xml", text));
    EXPECT_EQ(exact.status, 0);
    EXPECT_EQ(exact.output, "Window\n");
    text.insert(head.size(), "x");
    CheckRun over = Check(Write(folder, "over.xml", text));
    EXPECT_EQ(over.status, 1);
    EXPECT_EQ(over.output, "error: File too large at: \n");
}

} // namespace
