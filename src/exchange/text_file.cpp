#include "exchange/text_file.h"

#include <new>
#include <vector>

namespace almx {

CVeltaFileException::CVeltaFileException(std::string_view reason, const std::string& path)
    : std::runtime_error(std::string(reason) + ":" + path), path_(path) {}

TextFile::TextFile(const std::string& path, std::string_view mode) { Open(path, mode); }

TextFile::~TextFile() {
    if (file_) std::fclose(file_);
}

void TextFile::Fail(const char* reason) const { throw CVeltaFileException(reason, path_); }

void TextFile::Open(const std::string& path, std::string_view mode) {
    if (file_) Close();
    path_ = path;
    text_ = mode.find('b') == std::string_view::npos;
    std::string fopenMode;
    for (char c : mode) {
        if (c != 't') fopenMode += c;
    }
    if (fopenMode.find('b') == std::string::npos) fopenMode += 'b';
    file_ = std::fopen(path.c_str(), fopenMode.c_str());
    if (!file_) Fail(file_messages::kOpen);
}

void TextFile::Write(std::string_view text) {
    if (!file_) Fail(file_messages::kWrite);
    std::string converted;
    if (text_ && text.find('\n') != std::string_view::npos) {
        converted = LfToCrLf(text);
        text = converted;
    }
    if (!text.empty() && std::fwrite(text.data(), 1, text.size(), file_) != text.size()) {
        Fail(file_messages::kWrite);
    }
}

bool TextFile::ReadLine(std::string& line) {
    if (!file_) Fail(file_messages::kRead);
    line.clear();
    int c;
    bool any = false;
    while ((c = std::fgetc(file_)) != EOF) {
        any = true;
        if (c == '\n') break;
        line += static_cast<char>(c);
    }
    if (std::ferror(file_)) Fail(file_messages::kRead);
    if (text_ && !line.empty() && line.back() == '\r') line.pop_back();
    return any;
}

std::string TextFile::ReadAll() {
    if (!file_) Fail(file_messages::kRead);
    std::string data;
    try {
        char buffer[65536];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, file_)) > 0) data.append(buffer, n);
    } catch (const std::bad_alloc&) {
        Fail(file_messages::kNoMemory);
    }
    if (std::ferror(file_)) Fail(file_messages::kRead);
    return text_ ? CrLfToLf(data) : data;
}

void TextFile::Seek(long offset, int origin) {
    if (!file_ || std::fseek(file_, offset, origin) != 0) Fail(file_messages::kSeek);
}

long TextFile::Length() {
    if (!file_) Fail(file_messages::kSeek);
    long here = std::ftell(file_);
    if (here < 0 || std::fseek(file_, 0, SEEK_END) != 0) Fail(file_messages::kSeek);
    long length = std::ftell(file_);
    if (length < 0 || std::fseek(file_, here, SEEK_SET) != 0) Fail(file_messages::kSeek);
    return length;
}

void TextFile::Close() {
    if (!file_) return;
    std::FILE* file = file_;
    file_ = nullptr;
    if (std::fclose(file) != 0) Fail(file_messages::kClose);
}

std::string ReadWholeFile(const std::string& path) {
    TextFile file(path, "rb");
    std::string data = file.ReadAll();
    file.Close();
    return data;
}

std::string CrLfToLf(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
        out += bytes[i];
    }
    return out;
}

std::string LfToCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16 + 2);
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

}  // namespace almx
