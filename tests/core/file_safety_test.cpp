// What a save and an open must not lose: the untouched copy of a damaged file, the names,
// group and attributes of a saved file, and locks left behind by a crash or moved by Save As.

#include <grp.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "document/document_messages.h"
#include "document/schedule_file_writer.h"
#include "document_fixture.h"

namespace almx {
namespace {

namespace fs = std::filesystem;
namespace msg = doc_messages;
using testing::DocumentTest;
using testing::ReadBytes;
using testing::WriteBytes;

CAlmxData Schedule(const char* title) {
    CAlmxData r;
    r.title = title;
    r.start = DateTime::FromDate(2025, 5, 3);
    r.end = r.start;
    return r;
}

std::string FileOf(std::initializer_list<const char*> titles) {
    CAlmxArray content;
    for (const char* title : titles) content.records.push_back(Schedule(title));
    return WriteScheduleFile(content).bytes;
}

struct stat StatOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st;
}

// Fails half way through the bytes it is given.
class HalfWriter : public FileWriter {
  public:
    bool Write(int fd, std::string_view bytes) override {
        FileWriter::Write(fd, bytes.substr(0, bytes.size() / 2));
        return false;
    }
};

class FileSafetyTest : public DocumentTest {
  protected:
    std::string LockText(long pid, const char* computer = "desk-01") {
        return std::string("2025/05/01 09:00\r\n") + computer + "\r\n" +
               (pid > 0 ? std::to_string(pid) : std::string()) + "\r\n";
    }
    std::string AbandonedQuestion() {
        return std::string(msg::kAbandonedLockPrefix) + "2025/05/01 09:00" +
               msg::kAbandonedLockSuffix;
    }
    std::string InUseNotice() { return std::string(msg::kInUse) + "\n" + msg::kReadOnlyHelp; }
};

// A process id that no process has: a child that has ended and been reaped.
long EndedProcess() {
    pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    int status = 0;
    ::waitpid(child, &status, 0);
    return child;
}

TEST_F(FileSafetyTest, TheCopyOfADamagedFileOutlivesEverySave) {
    // Cut short, and with a byte Shift_JIS does not know: both lose data at the next save.
    const std::string whole = FileOf({"一", "二", "三"});
    // Cut inside a quoted cell: the last row cannot be read to its end.
    const std::string cut = whole.substr(0, whole.rfind(text::ToShiftJis("三")) + 2);
    std::string undecodable = FileOf({"一", "二"});
    undecodable.insert(undecodable.rfind(text::ToShiftJis("二")), "\xFF");
    for (const std::string& bytes : {cut, undecodable}) {
        SCOPED_TRACE(bytes.size());
        WriteBytes(PathOf("d.alx"), bytes);
        std::error_code error;
        fs::remove(PathOf("d.2"), error);
        fs::remove(PathOf("d.bak"), error);
        CAlmxDoc doc(Context());
        ASSERT_TRUE(doc.Open(PathOf("d.alx")));
        EXPECT_EQ(doc.SafetyBackup(), PathOf("d.2"));
        EXPECT_EQ(prompter.Shown().back(), msg::kUntouchedCopy + PathOf("d.2"));
        EXPECT_FALSE(fs::exists(PathOf("d.bak")));
        for (const char* title : {"四", "五"}) {
            doc.Records().push_back(Schedule(title));
            ASSERT_TRUE(doc.SaveTo(PathOf("d.alx")));
        }
        EXPECT_EQ(ReadBytes(PathOf("d.2")), bytes);
        EXPECT_NE(ReadBytes(PathOf("d.bak")), bytes);  // the save before rotated it
    }
    // A whole, clean file gets no copy and no notice.
    WriteBytes(PathOf("clean.alx"), whole);
    const std::size_t shown = prompter.Shown().size();
    CAlmxDoc doc(Context());
    ASSERT_TRUE(doc.Open(PathOf("clean.alx")));
    EXPECT_TRUE(doc.SafetyBackup().empty());
    EXPECT_EQ(prompter.Shown().size(), shown);
}

TEST_F(FileSafetyTest, AFileWithTwoNamesIsWrittenInPlaceAfterItsBackup) {
    const std::string old = FileOf({"旧"});
    WriteBytes(PathOf("a.alx"), old);
    ASSERT_EQ(::link(PathOf("a.alx").c_str(), PathOf("other.alx").c_str()), 0);
    const ino_t inode = StatOf(PathOf("a.alx")).st_ino;
    CAlmxDoc doc(Context());
    ASSERT_TRUE(doc.Open(PathOf("a.alx")));
    doc.Records().push_back(Schedule("新"));
    ASSERT_TRUE(doc.SaveTo(PathOf("a.alx")));
    const std::string saved = ReadBytes(PathOf("a.alx"));
    EXPECT_NE(saved.find(text::ToShiftJis("新")), std::string::npos);
    EXPECT_EQ(ReadBytes(PathOf("other.alx")), saved);
    EXPECT_EQ(StatOf(PathOf("a.alx")).st_ino, inode);
    EXPECT_EQ(StatOf(PathOf("a.alx")).st_nlink, 2u);
    EXPECT_EQ(ReadBytes(PathOf("a.bak")), old);
    EXPECT_EQ(StatOf(PathOf("a.bak")).st_nlink, 1u);

    // Shorter contents leave no tail of the longer ones.
    doc.Records().clear();
    ASSERT_TRUE(doc.SaveTo(PathOf("a.alx")));
    const std::string shorter = ReadBytes(PathOf("other.alx"));
    EXPECT_EQ(shorter, WriteScheduleFile(doc.Array()).bytes);
    EXPECT_LT(shorter.size(), saved.size());
    EXPECT_EQ(ReadBytes(PathOf("a.bak")), saved);

    // A write that fails part way puts the old bytes back under both names.
    const std::string before = ReadBytes(PathOf("a.alx"));
    HalfWriter failing;
    doc.SetFileWriter(&failing);
    doc.Records().push_back(Schedule("失敗"));
    EXPECT_FALSE(doc.SaveTo(PathOf("a.alx")));
    EXPECT_EQ(prompter.Shown().back(), msg::kCannotWrite);
    EXPECT_EQ(ReadBytes(PathOf("a.alx")), before);
    EXPECT_EQ(ReadBytes(PathOf("other.alx")), before);
    EXPECT_EQ(ReadBytes(PathOf("a.bak")), before);
    EXPECT_EQ(StatOf(PathOf("a.alx")).st_ino, inode);
}

TEST_F(FileSafetyTest, ASaveKeepsTheGroupModeAndExtendedAttributes) {
    WriteBytes(PathOf("g.alx"), FileOf({"共有"}));
    ::chmod(PathOf("g.alx").c_str(), 0640);
    // A group of our own other than the one new files get; root may give any.
    gid_t group = 0;
    gid_t groups[64];
    const int count = ::getgroups(64, groups);
    for (int i = 0; i < count; ++i) {
        if (groups[i] != ::getegid()) group = groups[i];
    }
    if (group == 0 && ::geteuid() == 0) group = ::getegid() + 4242;
    const bool withGroup = group != 0 && ::chown(PathOf("g.alx").c_str(), -1, group) == 0;
    const bool withAttribute =
        ::setxattr(PathOf("g.alx").c_str(), "user.almx.note", "kept", 4, 0) == 0;
    if (!withGroup && !withAttribute) {
        GTEST_SKIP() << "no second group and no extended attributes here";
    }
    CAlmxDoc doc(Context());
    ASSERT_TRUE(doc.Open(PathOf("g.alx")));
    doc.Records().push_back(Schedule("追加"));
    ASSERT_TRUE(doc.SaveTo(PathOf("g.alx")));
    const struct stat saved = StatOf(PathOf("g.alx"));
    EXPECT_EQ(saved.st_mode & 07777, 0640u);
    EXPECT_EQ(saved.st_uid, ::geteuid());
    if (withGroup) {
        EXPECT_EQ(saved.st_gid, group);
    }
    if (withAttribute) {
        char value[16] = {};
        EXPECT_EQ(::getxattr(PathOf("g.alx").c_str(), "user.almx.note", value, sizeof value), 4);
        EXPECT_STREQ(value, "kept");
    }
    EXPECT_NE(ReadBytes(PathOf("g.alx")).find(text::ToShiftJis("追加")), std::string::npos);
    // The backup is readable by no one the file was not readable by.
    EXPECT_EQ(StatOf(PathOf("g.bak")).st_mode & 0777, 0640u);
}

TEST_F(FileSafetyTest, AnotherUsersFileStaysTheirsWhenRootSavesIt) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root may give a file to another user";
    WriteBytes(PathOf("u.alx"), FileOf({"他人"}));
    ASSERT_EQ(::chown(PathOf("u.alx").c_str(), 4243, 4243), 0);
    CAlmxDoc doc(Context());
    ASSERT_TRUE(doc.Open(PathOf("u.alx")));
    doc.Records().push_back(Schedule("追加"));
    ASSERT_TRUE(doc.SaveTo(PathOf("u.alx")));
    EXPECT_EQ(StatOf(PathOf("u.alx")).st_uid, 4243u);
    EXPECT_EQ(StatOf(PathOf("u.alx")).st_gid, 4243u);
}

TEST_F(FileSafetyTest, ASharedFileOfAnotherUserIsWrittenInPlaceAndStaysTheirs) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as two users";
    // A file of user 4243 that user 4244 may write through their group, in a folder both share.
    ::chmod(dir.c_str(), 0777);
    WriteBytes(PathOf("shared.alx"), FileOf({"持ち主"}));
    ASSERT_EQ(::chown(PathOf("shared.alx").c_str(), 4243, 4244), 0);
    ::chmod(PathOf("shared.alx").c_str(), 0660);
    const ino_t inode = StatOf(PathOf("shared.alx")).st_ino;
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgid(4244) != 0 || ::setuid(4244) != 0) ::_exit(2);
        CAlmxDoc doc(Context());
        if (!doc.Open(PathOf("shared.alx"))) ::_exit(3);
        doc.Records().push_back(Schedule("同僚"));
        ::_exit(doc.SaveTo(PathOf("shared.alx")) ? 0 : 4);
    }
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    const struct stat saved = StatOf(PathOf("shared.alx"));
    EXPECT_EQ(saved.st_uid, 4243u);
    EXPECT_EQ(saved.st_gid, 4244u);
    EXPECT_EQ(saved.st_ino, inode);
    EXPECT_EQ(saved.st_mode & 0777, 0660u);
    EXPECT_NE(ReadBytes(PathOf("shared.alx")).find(text::ToShiftJis("同僚")), std::string::npos);
    EXPECT_EQ(ReadBytes(PathOf("shared.bak")), FileOf({"持ち主"}));
}

TEST_F(FileSafetyTest, ALockLeftByAnEndedProgramOfOursIsOfferedForRemoval) {
    settings.SetInt("System", "SharedFile", 1);
    WriteBytes(PathOf("s.alx"), FileOf({"自分"}));
    const std::string lockPath = PathOf("s.alx.lock");
    const long ended = EndedProcess();

    // No keeps today's read-only open and the lock file as it was.
    WriteBytes(lockPath, LockText(ended));
    {
        CAlmxDoc doc(Context());
        prompter.Then(Answer::No);
        ASSERT_TRUE(doc.Open(PathOf("s.alx")));
        EXPECT_TRUE(prompter.Saw(AbandonedQuestion()));
        EXPECT_EQ(prompter.Shown().back(), InUseNotice());
        EXPECT_TRUE(doc.IsReadOnly());
        EXPECT_EQ(ReadBytes(lockPath), LockText(ended));
    }
    // Yes removes it, and the file opens writable with a lock of its own.
    CAlmxDoc doc(Context());
    prompter.Then(Answer::Yes);
    ASSERT_TRUE(doc.Open(PathOf("s.alx")));
    EXPECT_EQ(prompter.Shown().back(), AbandonedQuestion());
    EXPECT_FALSE(doc.IsReadOnly());
    EXPECT_TRUE(doc.Lock().Held());
    EXPECT_EQ(ReadBytes(lockPath),
              "2025/05/03 14:07\r\ndesk-01\r\n" + std::to_string(::getpid()) + "\r\n");
    doc.Records().push_back(Schedule("保存"));
    EXPECT_TRUE(doc.SaveTo(PathOf("s.alx")));
    EXPECT_TRUE(doc.Close());
    EXPECT_FALSE(fs::exists(lockPath));
}

TEST_F(FileSafetyTest, LiveLocksAndLocksOfOthersAreNeverOffered) {
    WriteBytes(PathOf("s.alx"), FileOf({"共有"}));
    const std::string lockPath = PathOf("s.alx.lock");
    const long ended = EndedProcess();
    // This very process holds it (another document of ours); another computer's lock, even
    // with an ended process id; a lock that does not say who took it.
    for (const std::string& lock :
         {LockText(::getpid()), LockText(ended, "desk-02"), LockText(0), std::string("garbage")}) {
        SCOPED_TRACE(lock);
        WriteBytes(lockPath, lock);
        const std::size_t asked = prompter.Shown().size();
        CAlmxDoc doc(Context());
        ASSERT_TRUE(doc.Open(PathOf("s.alx")));
        EXPECT_TRUE(doc.IsReadOnly());
        EXPECT_EQ(prompter.Shown().size(), asked + 1);
        EXPECT_EQ(prompter.Shown().back(), InUseNotice());
        EXPECT_EQ(ReadBytes(lockPath), lock);
    }

    // A running process that is not ours (its id reused by another program) holds nothing.
    pid_t sleeper = ::fork();
    ASSERT_GE(sleeper, 0);
    if (sleeper == 0) {
        ::execl("/bin/sleep", "sleep", "30", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    const std::string comm = "/proc/" + std::to_string(sleeper) + "/comm";
    for (int i = 0; i < 500 && ReadBytes(comm) != "sleep\n"; ++i) ::usleep(10000);
    ASSERT_EQ(ReadBytes(comm), "sleep\n");
    EXPECT_TRUE(IsRunningInstance(::getpid()));
    EXPECT_FALSE(IsRunningInstance(sleeper));
    EXPECT_FALSE(IsRunningInstance(ended));
    // Killed and not yet reaped: a zombie of our own program runs no more.
    pid_t zombie = ::fork();
    ASSERT_GE(zombie, 0);
    if (zombie == 0) ::_exit(0);
    const std::string zombieStat = "/proc/" + std::to_string(zombie) + "/stat";
    for (int i = 0; i < 500 && ReadBytes(zombieStat).find(") Z") == std::string::npos; ++i) {
        ::usleep(10000);
    }
    EXPECT_FALSE(IsRunningInstance(zombie));
    ::waitpid(zombie, nullptr, 0);
    WriteBytes(lockPath, LockText(sleeper));
    CAlmxDoc doc(Context());
    prompter.Then(Answer::Yes);
    ASSERT_TRUE(doc.Open(PathOf("s.alx")));
    EXPECT_TRUE(prompter.Saw(AbandonedQuestion()));
    EXPECT_FALSE(doc.IsReadOnly());
    EXPECT_FALSE(fs::exists(lockPath));
    ::kill(sleeper, SIGKILL);
    ::waitpid(sleeper, nullptr, 0);
}

TEST_F(FileSafetyTest, SaveAsMovesTheLockToTheNewFile) {
    settings.SetInt("System", "SharedFile", 1);
    WriteBytes(PathOf("old.alx"), FileOf({"移動"}));
    CAlmxDoc doc(Context());
    ASSERT_TRUE(doc.Open(PathOf("old.alx")));
    ASSERT_TRUE(fs::exists(PathOf("old.alx.lock")));

    // A failed Save As keeps the old lock and leaves none at the new name.
    EXPECT_FALSE(doc.SaveTo(PathOf("missing/new.alx")));
    EXPECT_TRUE(fs::exists(PathOf("old.alx.lock")));
    EXPECT_FALSE(fs::exists(PathOf("missing/new.alx.lock")));
    EXPECT_EQ(doc.Lock().Path(), PathOf("old.alx"));

    ASSERT_TRUE(doc.SaveTo(PathOf("new.alx")));
    EXPECT_FALSE(fs::exists(PathOf("old.alx.lock")));
    EXPECT_TRUE(fs::exists(PathOf("new.alx.lock")));
    EXPECT_EQ(doc.Lock().Path(), PathOf("new.alx"));
    // A second program now finds the new file in use.
    CAlmxDoc second(Context());
    ASSERT_TRUE(second.Open(PathOf("new.alx")));
    EXPECT_TRUE(second.IsReadOnly());
    CAlmxDoc third(Context());
    ASSERT_TRUE(third.Open(PathOf("old.alx")));
    EXPECT_FALSE(third.IsReadOnly());
    EXPECT_TRUE(third.Close());

    EXPECT_TRUE(doc.Close());
    EXPECT_FALSE(fs::exists(PathOf("new.alx.lock")));

    // Without "SharedFile" Save As takes no lock and leaves none behind.
    settings.SetInt("System", "SharedFile", 0);
    CAlmxDoc plain(Context());
    ASSERT_TRUE(plain.Open(PathOf("old.alx")));
    ASSERT_TRUE(plain.SaveTo(PathOf("plain.alx")));
    EXPECT_FALSE(fs::exists(PathOf("plain.alx.lock")));
    EXPECT_FALSE(plain.Lock().Held());
}

}  // namespace
}  // namespace almx
