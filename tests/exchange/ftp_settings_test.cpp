// ".ftpset": the stored layout and its malformed forms, the file's mode, the document's open
// and saves, and the list of files an upload sends.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "../core/document_fixture.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "document/ftp_settings.h"
#include "exchange/ftp_upload.h"
#include "text/encoding.h"

namespace almx {
namespace {

using testing::ReadBytes;
using testing::WriteBytes;
namespace fs = std::filesystem;

FtpSettings Sample() {
    FtpSettings s;
    s.host = "ftp.example.jp:2121";
    s.user = "taro";
    s.password = "Pass12xyz";
    s.folder = "/公開/予定";
    s.passive = false;
    return s;
}

TEST(FtpSettingsFile, WritesTheArchiveLayoutAndReadsItBack) {
    FtpSettings s = Sample();
    s.tls = true;
    const std::string bytes = SerializeFtpSettings(s);
    std::string expected = "\x64";
    expected +=
        "\x13"
        "ftp.example.jp:2121";
    expected +=
        "\x04"
        "taro";
    expected += "\x09" + ScrambleFtpPassword("Pass12xyz");
    const std::string folder = text::ToShiftJis("/公開/予定");
    expected += static_cast<char>(folder.size()) + folder;
    expected += std::string("\x00\x01", 2);  // passive off, TLS on
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(bytes.find("Pass12xyz"), std::string::npos);
    ASSERT_TRUE(ParseFtpSettings(bytes).has_value());
    EXPECT_EQ(*ParseFtpSettings(bytes), s);
}

TEST(FtpSettingsFile, ThePasswordKeyStaysAsStoredFilesNeedIt) {
    // Digits wrap by 10, letters by 26, within their class; the key is 7305824196...
    EXPECT_EQ(ScrambleFtpPassword("abc123XYZ"), "hec605BZI");
    EXPECT_EQ(UnscrambleFtpPassword("hec605BZI"), "abc123XYZ");
    // A double-byte character is one position and keeps its bytes, trail bytes that look like
    // letters included.
    const std::string sjis = text::ToShiftJis("ソa");  // ソ is 0x83 0x5C
    const std::string scrambled = ScrambleFtpPassword(sjis);
    EXPECT_EQ(scrambled.substr(0, 2), sjis.substr(0, 2));
    EXPECT_EQ(scrambled[2], 'd');  // second position: key 3
    EXPECT_EQ(UnscrambleFtpPassword(scrambled), sjis);
}

TEST(FtpSettingsFile, OlderSixFieldFilesLongStringsAndUnkeptPasswords) {
    FtpSettings s = Sample();
    std::string six = SerializeFtpSettings(s);
    six.pop_back();  // no flags byte: written by the older program
    std::optional<FtpSettings> read = ParseFtpSettings(six);
    ASSERT_TRUE(read);
    EXPECT_FALSE(read->tls);
    EXPECT_EQ(read->password, "Pass12xyz");

    s.folder = std::string(300, 'f');  // the 0xFF and 16-bit length form
    s.user = std::string(70000, 'u');  // the 32-bit form
    const std::string longBytes = SerializeFtpSettings(s);
    EXPECT_EQ(longBytes.substr(1 + 1 + 19, 7), std::string("\xFF\xFF\xFF\x70\x11\x01\x00", 7));
    EXPECT_EQ(*ParseFtpSettings(longBytes), s);

    s.askPassword = true;
    const std::string unkept = SerializeFtpSettings(s);
    EXPECT_EQ(unkept.find(ScrambleFtpPassword("Pass12xyz")), std::string::npos);
    EXPECT_TRUE(ParseFtpSettings(unkept)->password.empty());
    EXPECT_TRUE(ParseFtpSettings(unkept)->askPassword);
}

TEST(FtpSettingsFile, MalformedFilesAreRefusedWhole) {
    const std::string good = SerializeFtpSettings(Sample());
    // Cut anywhere before the passive byte.
    for (std::size_t n = 0; n + 1 < good.size(); ++n) {
        EXPECT_FALSE(ParseFtpSettings(good.substr(0, n)).has_value()) << n;
    }
    // A length past the end of the file, in each form.
    EXPECT_FALSE(
        ParseFtpSettings(std::string("\x64\xFE"
                                     "abc",
                                     5)));
    EXPECT_FALSE(
        ParseFtpSettings(std::string("\x64\xFF\x00\x10"
                                     "abc",
                                     7)));
    EXPECT_FALSE(ParseFtpSettings(std::string("\x64\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 8)));
    // Bytes that are no Shift_JIS.
    std::string broken = good;
    broken[2] = '\x81';
    broken[3] = '\x7F';
    EXPECT_FALSE(ParseFtpSettings(broken));
}

class FtpSettingsDiskTest : public testing::DocumentTest {};

TEST_F(FtpSettingsDiskTest, TheFileIsTheOwnersAloneAndAFailedWriteSaysSo) {
    const std::string path = PathOf("a.ftpset");
    WriteBytes(path, "old");
    ::chmod(path.c_str(), 0644);
    ASSERT_TRUE(SaveFtpSettings(path, Sample()));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(ReadBytes(path), SerializeFtpSettings(Sample()));
    EXPECT_FALSE(SaveFtpSettings(PathOf("missing/a.ftpset"), Sample()));
    // No temporary file is left behind.
    EXPECT_EQ(Snapshot().size(), 1u);

    FtpSettings loaded;
    EXPECT_EQ(LoadFtpSettings(path, loaded), FtpSettingsLoad::Loaded);
    EXPECT_EQ(loaded, Sample());
    WriteBytes(PathOf("empty.ftpset"), "");
    EXPECT_EQ(LoadFtpSettings(PathOf("empty.ftpset"), loaded), FtpSettingsLoad::Missing);
    WriteBytes(PathOf("bad.ftpset"), "\x64\x40");
    EXPECT_EQ(LoadFtpSettings(PathOf("bad.ftpset"), loaded), FtpSettingsLoad::Malformed);
    EXPECT_EQ(FtpSettingsPath("/a/b/予定.alx"), "/a/b/予定.ftpset");
}

TEST_F(FtpSettingsDiskTest, TheDocumentReadsAtOpenAndWritesBesideANewName) {
    CAlmxDoc doc(Context());
    doc.Ftp() = Sample();  // set before the file had a name
    ASSERT_TRUE(doc.SaveTo(PathOf("first.alx")));
    EXPECT_EQ(ReadBytes(PathOf("first.ftpset")), SerializeFtpSettings(Sample()));
    ASSERT_TRUE(doc.SaveTo(PathOf("second.alx")));
    EXPECT_EQ(ReadBytes(PathOf("second.ftpset")), SerializeFtpSettings(Sample()));

    CAlmxDoc other(Context());
    ASSERT_TRUE(other.Open(PathOf("second.alx")));
    EXPECT_EQ(other.Ftp(), Sample());

    // A damaged settings file is told of and the document still opens.
    WriteBytes(PathOf("second.ftpset"), "\x64\x09xx");
    CAlmxDoc third(Context());
    ASSERT_TRUE(third.Open(PathOf("second.alx")));
    EXPECT_TRUE(third.Ftp().IsEmpty());
    EXPECT_TRUE(prompter.Saw("ftp設定ファイルを読み込めません。ftp設定は初期値になります"));
}

TEST_F(FtpSettingsDiskTest, TheSettingsCommandRefusesInjectionAndSaysWhenTheFileCannotBeWritten) {
    CAlmxDoc doc(Context());
    ASSERT_TRUE(doc.SaveTo(PathOf("a.alx")));
    FtpSettings edited = Sample();
    edited.folder = "www\r\nRMD /";
    EXPECT_FALSE(ApplyFtpSettings(doc, edited, prompter));
    EXPECT_TRUE(doc.Ftp().IsEmpty());
    edited = Sample();
    edited.host = "ftp.example.jp:0";
    EXPECT_FALSE(ApplyFtpSettings(doc, edited, prompter));
    EXPECT_FALSE(fs::exists(PathOf("a.ftpset")));

    edited = Sample();
    edited.askPassword = true;
    EXPECT_TRUE(ApplyFtpSettings(doc, edited, prompter));
    EXPECT_TRUE(doc.Ftp().password.empty());
    EXPECT_TRUE(ParseFtpSettings(ReadBytes(PathOf("a.ftpset")))->askPassword);

    // The folder cannot take the file: told, and the settings stay with the document.
    ::chmod(dir.c_str(), 0500);
    const bool writable = ::access(dir.c_str(), W_OK) == 0;  // root writes anyway
    EXPECT_TRUE(ApplyFtpSettings(doc, Sample(), prompter));
    ::chmod(dir.c_str(), 0700);
    EXPECT_EQ(doc.Ftp(), Sample());
    if (!writable) {
        EXPECT_TRUE(prompter.Saw("ftp設定ファイルを書き込めません"));
    }
}

TEST(FtpUploadPrepare, NothingToSendAndThePasswordAskedWhenNotKept) {
    MemorySettingsStore store;
    ScriptedPrompter prompter;
    FtpSettings settings = Sample();
    EXPECT_FALSE(PrepareFtpUpload(settings, store, prompter, [](const std::string&) {
                     return true;
                 }).has_value());
    EXPECT_EQ(prompter.Shown(), (std::vector<std::string>{"転送するファイルがありません"}));

    store.SetString("HtmlMonthOut", "Folder", "/pub");
    store.SetString("HtmlMonthOut", "TopName", "index");
    settings.askPassword = true;
    settings.password.clear();
    ScriptedPrompter cancelled;
    EXPECT_FALSE(PrepareFtpUpload(settings, store, cancelled, [](const std::string&) {
                     return true;
                 }).has_value());
    ScriptedPrompter answered;
    answered.ThenText("typed");
    std::optional<CVeltaFtp> ftp =
        PrepareFtpUpload(settings, store, answered, [](const std::string&) { return true; });
    ASSERT_TRUE(ftp.has_value());
    EXPECT_EQ(ftp->Settings().password, "typed");
    EXPECT_EQ(ftp->Files().front().remoteName, "index.html");
}

TEST(FtpUploadPlan, MonthsOfTheLastOutputInOrderSkippingMissingFiles) {
    MemorySettingsStore settings;
    settings.SetString("HtmlMonthOut", "Folder", "/pub");
    settings.SetString("HtmlMonthOut", "FileName", "sch");
    settings.SetString("HtmlMonthOut", "MobileFile", "m");
    settings.SetString("HtmlMonthOut", "MobileTop", "mtop");
    settings.SetInt("HtmlMonthOut", "StartYear", 2023);
    settings.SetInt("HtmlMonthOut", "StartMonth", 11);
    settings.SetInt("HtmlMonthOut", "EndYear", 2024);
    settings.SetInt("HtmlMonthOut", "EndMonth", 2);
    std::set<std::string> present = {
        "/pub/top.html",       "/pub/mtop.html",     "/pub/sch202311.html",   "/pub/sch202401.html",
        "/pub/sch202402.html", "/pub/m202312.html",  "/pub/m202312body.html", "/pub/almxsch.css",
        "/pub/almxtop.css",    "/pub/sch202403.html"};
    auto exists = [&](const std::string& p) { return present.count(p) > 0; };
    std::vector<std::string> names;
    for (const FtpFile& f : PlanFtpUpload(settings, exists)) {
        names.push_back(f.remoteName);
        EXPECT_EQ(f.localPath, "/pub/" + f.remoteName);
        EXPECT_TRUE(f.text);
    }
    // No TopName: no top page even though one lies there; 2023/12 month page missing.
    const std::vector<std::string> expected = {
        "mtop.html",      "sch202311.html", "m202312.html", "m202312body.html",
        "sch202401.html", "sch202402.html", "almxsch.css",  "almxtop.css"};
    EXPECT_EQ(names, expected);

    settings.SetInt("HtmlExport", "CssOut", 0);
    settings.SetString("HtmlMonthOut", "TopName", "top");
    names.clear();
    for (const FtpFile& f : PlanFtpUpload(settings, exists)) names.push_back(f.remoteName);
    EXPECT_EQ(names.front(), "top.html");
    EXPECT_EQ(names.back(), "sch202402.html");

    // Nothing output yet: no range, no folder.
    MemorySettingsStore fresh;
    fresh.SetString("HtmlMonthOut", "FileName", "sch");
    EXPECT_TRUE(PlanFtpUpload(fresh, [](const std::string&) { return true; }).empty());
    fresh.SetString("HtmlMonthOut", "Folder", "/pub/");
    fresh.SetString("HtmlMonthOut", "TopName", "../../etc/passwd");
    fresh.SetInt("HtmlExport", "CssOut", 0);
    EXPECT_TRUE(PlanFtpUpload(fresh, [](const std::string&) { return true; }).empty());
}

}  // namespace
}  // namespace almx
