#pragma once
// A scratch folder removed at the end of a test, with small helpers to write and read files.

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace almx::testing {

class MailTempDir {
  public:
    MailTempDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "almx-mail-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~MailTempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    MailTempDir(const MailTempDir&) = delete;
    MailTempDir& operator=(const MailTempDir&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(std::string_view name) const { return path_ + "/" + std::string(name); }

    void Write(std::string_view name, std::string_view bytes) const {
        std::ofstream out(File(name), std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    std::string Read(std::string_view name) const {
        std::ifstream in(File(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

  private:
    std::string path_;
};

}  // namespace almx::testing
