#include "links/file_launcher.h"

#include <unistd.h>

#include <array>
#include <filesystem>
#include <system_error>

#include "base/prompter.h"
#include "links/link_path.h"

namespace almx {

namespace {

constexpr std::array<const char*, 23> kFailureTexts{
    "システム メモリが足りない、実行可能ファイルが壊れていた、または再配置が無効です",
    "MS-DOSのInt 21ファンクション コール 4B00hが無効でした",
    "ファイルが見つかりませんでした",
    "パスが見つかりませんでした",
    "オープンしたファイルが多すぎました",
    "タスクへのダイナミック "
    "リンクを実行しようとしました。または、共有違反やネットワーク保護エラーが"
    "発生しました",
    "各タスクに対してライブラリが別々のデータ セグメントを要求しました",
    "MS-DOSのメモリ ブロックに問題がありました(Windows実行時にはこのエラーは起こりません)",
    "メモリ不足のためアプリケーションを起動できませんでした",
    "MS-DOSのメモリ ブロックに問題がありました(Windows実行時にはこのエラーは起こりません)",
    "Windowsのバージョンが正しくありません",
    "実行可能ファイルが無効でした。Windowsのアプリケーションでないか、.EXEイメージにエラーがあった"
    "かのいずれかです",
    "このアプリケーションは、異なるオペレーティング システム用に設計されています",
    "MS-DOS 4.0用に設計されているアプリケーションです。PC-9800シリーズではこの値は返しません。",
    "実行可能ファイルのタイプが不明です",
    "リアル モードのアプリケーション (以前のバージョンのWindows用に開発されたもの) "
    "をロードしようとし"
    "ました",
    "このアプリケーションは複数インスタンスの実行が出来ません",
    "共有できないDDLにリンクするアプリケーションの2番目のインスタンスをロード使用としましたが、DLL"
    "は"
    "すでに使用中です",
    "プロテクト モード専用としてマークされているアプリケーションをリアル "
    "モードでロードしようとしました",
    "圧縮された実行可能ファイルをロードしようとしました。ロードする前にファイルを展開しなければなり"
    "ません",
    "ダイナミックリンク ライブラリ (DLL) "
    "ファイルが無効です。このアプリケーションを実行するために必要な"
    "DLLの1つが壊れています",
    "このアプリケーションには、32ビット版のMicrosoftWindowsが必要です",
    "原因不明のエラーです",
};

}  // namespace

int UnlaunchableCode(std::string_view target) {
    namespace fs = std::filesystem;
    if (IsUrl(target) || target.rfind("mailto:", 0) == 0) return 0;
    if (target.empty() || IsWindowsLink(target)) return launch::kFileNotFound;
    const fs::path path{std::string(target)};
    std::error_code error;
    if (!fs::exists(path, error)) {
        const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
        return fs::is_directory(folder, error) ? launch::kFileNotFound : launch::kPathNotFound;
    }
    if (::access(path.c_str(), R_OK) != 0) return launch::kAccessDenied;
    return 0;
}

std::string_view LaunchFailureText(int code) {
    if (code < 0 || code >= static_cast<int>(kFailureTexts.size())) return {};
    return kFailureTexts[static_cast<std::size_t>(code)];
}

int LaunchFile(FileLauncher& launcher, Prompter& prompter, const std::string& target,
               const std::string& parameters) {
    const int code = launcher.Open(target, parameters);
    if (code > 31) return 0;
    if (code >= 23) return 1;
    if (code == launch::kFileNotFound && target.find('.') == std::string::npos) return 1;
    const std::string_view text = LaunchFailureText(code < 0 ? 22 : code);
    prompter.ShowMessage(text, MessageKind::Error);
    return 3;
}

}  // namespace almx
