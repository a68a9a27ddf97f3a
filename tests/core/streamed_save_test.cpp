// Saves whose bytes are made while they are written: the old file survives every failure, and
// no temporary file is left behind.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/file_io.h"

namespace almx {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void Write(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Fails at its nth write, after writing half of that block.
class FailingAt : public FileWriter {
  public:
    explicit FailingAt(int n) : n_(n) {}
    bool Write(int fd, std::string_view bytes) override {
        if (++calls_ < n_) return FileWriter::Write(fd, bytes);
        FileWriter::Write(fd, bytes.substr(0, bytes.size() / 2));
        return false;
    }
    int calls_ = 0;

  private:
    int n_;
};

class NoSync : public FileWriter {
  public:
    bool Sync(int) override { return false; }
};

class StreamedSaveTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string name = (fs::temp_directory_path() / "almx-stream-XXXXXX").string();
        ASSERT_NE(::mkdtemp(name.data()), nullptr);
        dir = name;
    }
    void TearDown() override {
        std::error_code error;
        fs::permissions(dir, fs::perms::owner_all, error);
        fs::remove_all(dir, error);
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }
    // Three blocks of 100 KB each, told apart by their letter.
    static ByteMaker Blocks(int* made = nullptr) {
        return [made](const ByteSink& sink) {
            for (char c : {'a', 'b', 'c'}) {
                if (!sink(std::string(100000, c))) return false;
                if (made) ++*made;
            }
            return true;
        };
    }

    fs::path dir;
};

TEST_F(StreamedSaveTest, BlocksArriveInOrderAndReplaceTheFileKeepingItsMode) {
    const fs::path path = dir / "out.csv";
    Write(path, "old");
    ::chmod(path.c_str(), 0640);
    FileWriter writer;
    ASSERT_TRUE(SaveReplacingStreamed(path.string(), Blocks(), writer));
    EXPECT_EQ(Read(path),
              std::string(100000, 'a') + std::string(100000, 'b') + std::string(100000, 'c'));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(Names(), std::vector<std::string>{"out.csv"});

    // A new file is made as well.
    ASSERT_TRUE(SaveReplacingStreamed((dir / "new.csv").string(), Blocks(), writer));
    EXPECT_EQ(fs::file_size(dir / "new.csv"), 300000u);
}

TEST_F(StreamedSaveTest, AFailureAtAnyPointLeavesTheOldFileAndNoTemporary) {
    const fs::path path = dir / "out.csv";
    for (int failAt = 1; failAt <= 3; ++failAt) {
        Write(path, "old bytes");
        FailingAt writer(failAt);
        int made = 0;
        EXPECT_FALSE(SaveReplacingStreamed(path.string(), Blocks(&made), writer)) << failAt;
        // The maker stops at the failed write.
        EXPECT_EQ(made, failAt - 1);
        EXPECT_EQ(Read(path), "old bytes");
        EXPECT_EQ(Names(), std::vector<std::string>{"out.csv"});
    }
    NoSync noSync;
    EXPECT_FALSE(SaveReplacingStreamed(path.string(), Blocks(), noSync));
    EXPECT_EQ(Read(path), "old bytes");

    // A maker that gives up part way.
    FileWriter writer;
    const ByteMaker givesUp = [](const ByteSink& sink) { return sink("new") && false; };
    EXPECT_FALSE(SaveReplacingStreamed(path.string(), givesUp, writer));
    EXPECT_EQ(Read(path), "old bytes");
    EXPECT_EQ(Names(), std::vector<std::string>{"out.csv"});
}

TEST_F(StreamedSaveTest, AFileWithTwoNamesIsWrittenInPlaceAndPutBackOnFailure) {
    const fs::path path = dir / "out.csv";
    const fs::path second = dir / "second.csv";
    Write(path, std::string(500000, 'o'));
    fs::create_hard_link(path, second);

    FailingAt failing(2);
    EXPECT_FALSE(SaveReplacingStreamed(path.string(), Blocks(), failing));
    EXPECT_EQ(Read(path), std::string(500000, 'o'));
    EXPECT_EQ(Read(second), std::string(500000, 'o'));

    // A shorter file cuts the old bytes off; both names see it.
    FileWriter writer;
    ASSERT_TRUE(SaveReplacingStreamed(path.string(), Blocks(), writer));
    EXPECT_EQ(fs::file_size(path), 300000u);
    EXPECT_EQ(Read(second), Read(path));
    EXPECT_EQ(Read(path).substr(200000), std::string(100000, 'c'));
}

TEST_F(StreamedSaveTest, AFolderInTheWayOrAReadOnlyFolderFailsBeforeTheMakerRuns) {
    FileWriter writer;
    int made = 0;
    fs::create_directory(dir / "folder");
    EXPECT_FALSE(SaveReplacingStreamed((dir / "folder").string(), Blocks(&made), writer));
    EXPECT_EQ(made, 0);
    EXPECT_TRUE(fs::is_directory(dir / "folder"));

    if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    const fs::path path = dir / "out.csv";
    Write(path, "old");
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(SaveReplacingStreamed(path.string(), Blocks(&made), writer));
    EXPECT_EQ(made, 0);
    fs::permissions(dir, fs::perms::owner_all);
    EXPECT_EQ(Read(path), "old");
}

}  // namespace
}  // namespace almx
