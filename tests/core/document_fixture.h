#pragma once
// A temporary folder, scripted answers, in-memory settings and a fixed clock for document
// tests, and helpers to read and write files there.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "base/clock.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "document/document.h"
#include "links/file_launcher.h"
#include "text/encoding.h"

namespace almx::testing {

namespace fs = std::filesystem;

inline std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The header line of the file, UTF-8.
inline constexpr const char* kHeaderLine =
    "\"区分\",\"開始年月日\",\"開始時間\",\"終了年月日\",\"終了時間\",\"スケジュール\","
    "\"時刻設定1\",\"時刻設定2\",\"月間表示\",\"休日\",\"色\",\"リンクファイル\",\"チェック\","
    "\"アラーム\",\"ジャンル\",\"時刻表示\",\"繰返タイプ\",\"繰返開始日\",\"繰返終了日\",\"間隔\","
    "\"位置指定\",\"有効月\",\"平日のみ\",\"除外日\",\"場所\",\"メモ\"\r\n";

// UTF-8 lines with "\n" or CR LF ends, written as a Shift_JIS file with CR LF.
inline std::string SjisFile(std::string_view utf8) {
    std::string crlf;
    for (char c : utf8) {
        if (c == '\n' && (crlf.empty() || crlf.back() != '\r')) crlf += '\r';
        crlf += c;
    }
    return text::ToShiftJis(crlf);
}

// Removes the file as the desktop's trash would take it away, or refuses to.
class RecordingTrash : public FileTrash {
  public:
    bool MoveToTrash(const std::string& path) override {
        trashed.push_back(path);
        std::error_code error;
        return works && fs::remove(path, error);
    }
    std::vector<std::string> trashed;
    bool works = true;
};

class DocumentTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/almx-doc-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
        // The 2003 update was offered long ago unless a test says otherwise.
        settings.SetInt("System", "HolidayChangeFlag1", 1);
    }
    void TearDown() override {
        std::error_code error;
        fs::remove_all(dir, error);
    }

    DocumentContext Context() {
        DocumentContext context;
        context.settings = &settings;
        context.prompter = &prompter;
        context.clock = &clock;
        context.programFolder = dir.string();
        context.computerName = "desk-01";
        context.trash = &trash;
        return context;
    }

    std::string PathOf(const std::string& name) const { return (dir / name).string(); }

    // Every file of the folder with its bytes.
    std::map<std::string, std::string> Snapshot() const {
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::directory_iterator(dir)) {
            files[entry.path().filename().string()] =
                entry.is_regular_file() ? ReadBytes(entry.path()) : std::string("<dir>");
        }
        return files;
    }

    fs::path dir;
    MemorySettingsStore settings;
    ScriptedPrompter prompter;
    RecordingTrash trash;
    ManualClock clock{DateTime::FromParts(2025, 5, 3, 14, 7)};
};

}  // namespace almx::testing
