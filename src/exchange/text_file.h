#pragma once
// The plain text-file layer of the exchange engines. Every failure raises CVeltaFileException
// carrying a fixed message, ":" and the path. Text mode writes each line feed as CR LF and reads
// CR LF as one line feed; the bytes are passed through (callers convert encodings).

#include <cstdio>
#include <stdexcept>
#include <string>
#include <string_view>

namespace almx {

class CVeltaFileException : public std::runtime_error {
public:
    CVeltaFileException(std::string_view reason, const std::string& path);
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

namespace file_messages {
inline constexpr const char* kOpen = "ファイルのオープンに失敗しました";
inline constexpr const char* kClose = "ファイルのクローズに失敗しました";
inline constexpr const char* kWrite = "ファイルの書込に失敗しました";
inline constexpr const char* kRead = "ファイルの読込に失敗しました";
inline constexpr const char* kSeek = "ファイルのシークに失敗しました";
inline constexpr const char* kNoMemory = "ファイル読み込みバッファ確保エラー：";
}  // namespace file_messages

class TextFile {
public:
    TextFile() = default;
    // Opens at once; mode as for fopen ("rt", "wt", "at", "rb", "wb").
    TextFile(const std::string& path, std::string_view mode);
    ~TextFile();
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    void Open(const std::string& path, std::string_view mode);
    void Write(std::string_view text);
    // One line without its line end; false at the end of the file.
    bool ReadLine(std::string& line);
    // The rest of the file (line ends turned to "\n" in text mode).
    std::string ReadAll();
    void Seek(long offset, int origin = SEEK_SET);
    long Length();
    void Close();
    bool IsOpen() const { return file_ != nullptr; }
    const std::string& Path() const { return path_; }

private:
    [[noreturn]] void Fail(const char* reason) const;

    std::FILE* file_ = nullptr;
    std::string path_;
    bool text_ = true;
};

// Whole-file helpers on the same layer.
std::string ReadWholeFile(const std::string& path);  // raw bytes
// Turns CR LF into LF (text-mode reading of a whole buffer).
std::string CrLfToLf(std::string_view bytes);
std::string LfToCrLf(std::string_view text);

}  // namespace almx
