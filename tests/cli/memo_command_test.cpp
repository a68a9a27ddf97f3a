// almx memo, run as the program.

#include <gtest/gtest.h>

#include "cli_fixture.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/record_array.h"
#include "document/schedule_file_writer.h"

namespace almx {
namespace {

namespace fs = std::filesystem;

using cli_test::ReadText;

class AlmxMemo : public cli_test::AlmxProcessTest {
  protected:
    using Result = cli_test::Result;
    AlmxMemo() : AlmxProcessTest("almx-memo-cli") {}

    Result Run(const std::string& arguments) { return RunAlmx("memo " + arguments); }

    std::string Write(const std::string& name, std::vector<CMemoData> memos) {
        CAlmxArray doc;
        doc.memoPages = std::move(memos);
        const std::string bytes = WriteScheduleFile(doc).bytes;
        std::ofstream(dir / name, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return Quoted(name);
    }
};

TEST_F(AlmxMemo, PrintsListsAndSearchesTheMemosInUtf8) {
    const std::string file =
        Write("m.alx", {{"買い物", "パン\n牛乳"}, {"仕事\tメモ", "会議の準備\nABC 資料"}});
    Result all = Run(file);
    EXPECT_EQ(all.status, 0);
    EXPECT_EQ(all.out, "買い物\n\tパン\n\t牛乳\n仕事 メモ\n\t会議の準備\n\tABC 資料\n");

    EXPECT_EQ(Run(file + " --list").out, "0\t買い物\n1\t仕事 メモ\n");

    Result found = Run(file + " --search abc");
    EXPECT_EQ(found.status, 0);
    EXPECT_EQ(found.out, "1\t仕事 メモ\tABC 資料\n");
    Result cased = Run(file + " --search abc --case");
    EXPECT_EQ(cased.status, 1);
    EXPECT_EQ(cased.out, "");
    EXPECT_EQ(cased.err, "見つかりませんでした\n");
    // Mode 2 wants every word; mode 1 any of them.
    EXPECT_EQ(Run(file + " --search 'パン 会議' --mode 2").status, 1);
    EXPECT_EQ(Run(file + " --search 'パン 会議' --mode 1").out,
              "0\t買い物\tパン\n1\t仕事 メモ\t会議の準備\n");
}

TEST_F(AlmxMemo, AFileWithoutMemosShowsTheDefaultPageAndBadArgumentsAreRefused) {
    const std::string file = Write("empty.alx", {});
    EXPECT_EQ(Run(file).out, "メモ\n");
    EXPECT_EQ(Run(file + " --list --search x").status, 2);
    EXPECT_EQ(Run(file + " --search ''").status, 2);
    EXPECT_EQ(Run(file + " --search x --mode 3").status, 2);
    EXPECT_EQ(Run("'" + (dir / "missing.alx").string() + "'").status, 1);
}

}  // namespace
}  // namespace almx
