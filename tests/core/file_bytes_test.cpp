// Writing a file so that a failure never destroys what was there, and names
// printed without the control characters they may hold.
#include "core/file_bytes.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/failure.h"
#include "core/printable.h"

namespace radmtf {
namespace {

namespace fs = std::filesystem;

class ReplaceFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() / ("radmtf-replace-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directory(folder);
    }
    void TearDown() override { fs::remove_all(folder); }
    static std::string Contents(const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::size_t Entries() const
    {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
    }
    static FailureCode CodeOf(const auto& call)
    {
        try {
            call();
        } catch (const Failure& failure) {
            return failure.code();
        }
        ADD_FAILURE() << "no failure";
        return FailureCode::kNotInteger;
    }
    fs::path folder;
};

TEST_F(ReplaceFileTest, ReplacesWholeKeepingPermissionsAndFollowingLinks)
{
    const fs::path file = folder / "out.csv";
    ReplaceFile(file.string(), "first");
    EXPECT_EQ(Contents(file), "first");
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ReplaceFile(file.string(), "second, longer");
    EXPECT_EQ(Contents(file), "second, longer");
    EXPECT_EQ(fs::status(file).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    // Through a link, the target changes and the link stays a link.
    const fs::path link = folder / "link.csv";
    fs::create_symlink(file, link);
    ReplaceFile(link.string(), "third");
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Contents(file), "third");
    EXPECT_EQ(Entries(), 2u);  // no temporary left
}

TEST_F(ReplaceFileTest, RefusesWhatIsNoRegularFileAndLeavesItAsItWas)
{
    const fs::path fifo = folder / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(CodeOf([&] { ReplaceFile(fifo.string(), "x"); }), FailureCode::kNotRegularTarget);
    EXPECT_TRUE(fs::is_fifo(fifo));
    const fs::path sub = folder / "sub";
    fs::create_directory(sub);
    EXPECT_EQ(CodeOf([&] { ReplaceFile(sub.string(), "x"); }), FailureCode::kNotRegularTarget);
    EXPECT_TRUE(fs::is_directory(sub));
    EXPECT_EQ(CodeOf([&] { ReplaceFile((folder / "none" / "out.csv").string(), "x"); }),
              FailureCode::kCannotCreate);
    EXPECT_EQ(Entries(), 2u);
}

TEST_F(ReplaceFileTest, AFailedWriteLeavesTheOldFileAndNoTemporary)
{
    const fs::path file = folder / "report.pdf";
    ReplaceFile(file.string(), "old");
    // A child whose files may not grow past 1 kB: the write fails part way
    // through, as on a full disk.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1024, 1024};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        try {
            ReplaceFile(file.string(), std::string(100000, 'n'));
        } catch (const Failure& failure) {
            ::_exit(failure.code() == FailureCode::kCannotCreate ? 0 : 2);
        }
        ::_exit(1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(Contents(file), "old");
    EXPECT_EQ(Entries(), 1u);
}

TEST(PrintableText, EscapesControlCharactersAndBrokenUtf8Only)
{
    EXPECT_EQ(PrintableText("a\x1b]0;title\x07.dcm"), "a\\x1b]0;title\\x07.dcm");
    EXPECT_EQ(PrintableText("line\nnext\r\t\x7f"), "line\\x0anext\\x0d\\x09\\x7f");
    EXPECT_EQ(PrintableText("\xc2\x9b"
                            "31m"),
              "\\xc2\\x9b31m");                                   // C1 CSI
    EXPECT_EQ(PrintableText("\x9b\xff\xc3"), "\\x9b\\xff\\xc3");  // no UTF-8
    EXPECT_EQ(PrintableText("\xc0\xaf"), "\\xc0\\xaf");           // overlong
    EXPECT_EQ(PrintableText("画像 é.dcm"), "画像 é.dcm");
}

}  // namespace
}  // namespace radmtf
