// Finding the shipped data: the installed data folder, then the program's folder, never the
// working directory.

#include "base/data_folders.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace almx {
namespace {

namespace fs = std::filesystem;

class DataFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/almx-data-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root = pattern;
        bin = root / "usr" / "bin";
        share = root / "usr" / "share" / "almanix";
        fs::create_directories(bin);
    }
    void TearDown() override {
        std::error_code error;
        fs::current_path(saved, error);
        fs::remove_all(root, error);
    }
    static void Touch(const fs::path& path) {
        fs::create_directories(path.parent_path());
        std::ofstream(path) << "x";
    }

    fs::path saved = fs::current_path();
    fs::path root;
    fs::path bin;
    fs::path share;
};

TEST_F(DataFolderTest, TheInstalledFolderComesBeforeTheProgramsFolder) {
    Touch(share / "holiday.alx");
    Touch(bin / "holiday.alx");
    EXPECT_EQ(DataFile(bin, "holiday.alx"), share / "holiday.alx");
    // Each item is looked up on its own: what only the program's folder has is found there.
    Touch(bin / "sfield.dat");
    EXPECT_EQ(DataFile(bin, "sfield.dat"), bin / "sfield.dat");
    // Folders count as items (the help pages).
    fs::create_directories(share / "help");
    EXPECT_EQ(DataFile(bin, "help"), share / "help");
}

TEST_F(DataFolderTest, ABuildTreeFindsItsDataBesideTheProgram) {
    const fs::path program = root / "build" / "src" / "app";
    Touch(program / "holiday.alx");
    EXPECT_EQ(DataFile(program, "holiday.alx"), program / "holiday.alx");
}

TEST_F(DataFolderTest, AMissingItemIsNamedWhereItBelongs) {
    // Nothing installed: beside the program, as a build tree has it.
    EXPECT_EQ(DataFile(bin, "sfield.dat"), bin / "sfield.dat");
    // An installed program: in its data folder, not in bin.
    fs::create_directories(share);
    EXPECT_EQ(DataFile(bin, "sfield.dat"), share / "sfield.dat");
}

TEST_F(DataFolderTest, TheWorkingDirectoryIsNeverSearched) {
    Touch(root / "work" / "holiday.alx");
    fs::current_path(root / "work");
    EXPECT_EQ(DataFile(bin, "holiday.alx"), bin / "holiday.alx");
    // A program folder that is unknown or relative would mean the working directory.
    for (const fs::path& unknown : {fs::path(), fs::path("."), fs::path("usr/bin")}) {
        const fs::path found = DataFile(unknown, "holiday.alx");
        EXPECT_TRUE(found.is_absolute()) << found;
        EXPECT_NE(found, root / "work" / "holiday.alx");
    }
}

TEST_F(DataFolderTest, TheRunningProgramsFolderIsItsOwn) {
    const fs::path folder = RunningProgramFolder();
    ASSERT_TRUE(folder.is_absolute());
    EXPECT_TRUE(fs::exists(folder / "almx_core_tests"));
}

}  // namespace
}  // namespace almx
