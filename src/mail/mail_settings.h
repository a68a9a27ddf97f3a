#pragma once
// The mail ini file "almxmail.ini": accounts, signatures and the mail engine's switches, read
// and written through our own profile reader so that Shift_JIS texts, unknown keys and
// comments survive a save.

#include <string>
#include <string_view>
#include <vector>

#include "base/file_io.h"
#include "mail/mail_server_config.h"

namespace almx {

class Clock;
class DateTime;

// A Windows-style profile file held as its Shift_JIS bytes. Section and key names compare
// case-insensitively (ASCII); the first of duplicate sections or keys wins, as on Windows.
// Lines that are neither a section nor a key (comments, blanks) are kept where they were.
class MailProfile {
  public:
    static MailProfile Parse(std::string_view bytes);
    // Shift_JIS with CR LF line ends.
    std::string Serialize() const;

    // Values in UTF-8; a missing key gives the default.
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view defaultValue) const;
    // Leading blanks, an optional sign and the digits that follow; the default when there are
    // none or the number does not fit an int.
    int GetInt(std::string_view section, std::string_view key, int defaultValue) const;
    bool Has(std::string_view section, std::string_view key) const;
    // Line breaks and other control characters are dropped, so a value stays on its line.
    void SetString(std::string_view section, std::string_view key, std::string_view value);
    void SetInt(std::string_view section, std::string_view key, int value);

    struct Entry {
        std::string section;
        std::string key;
        std::string value;
        friend bool operator==(const Entry&, const Entry&) = default;
    };
    // Every key of every section in file order, as stored (Shift_JIS), for checks.
    std::vector<Entry> Keys() const;

  private:
    struct Line {
        std::string key;    // Shift_JIS; empty for a raw line
        std::string value;  // Shift_JIS as stored (quotes removed)
        std::string raw;    // a comment or other line kept as it was
        bool isKey = false;
    };
    struct Section {
        std::string name;  // Shift_JIS
        std::vector<Line> lines;
    };

    const Line* Find(std::string_view section, std::string_view key) const;
    Section& SectionFor(std::string_view sjisName);

    std::vector<Line> preamble_;  // lines before the first section
    std::vector<Section> sections_;
};

// One mail account of the ini file (section "Set%02d").
struct MailAccount {
    std::string name;        // "Set"/"Set%02d", default "接続%02d"
    std::string pop;         // "Pop"
    std::string smtp;        // "Smtp"
    std::string address;     // "Adr"
    std::string userId;      // "UserID"
    std::string password;    // "Pass", clear in memory, scrambled on disk
    std::string userName;    // "Name", the display name for From
    int signe = 1;           // "Signe"
    int notDel = 1;          // "NotDel"
    std::string messageId;   // "MessageID"
    int retr = 1;            // "RETR"
    int round = 1;           // "Round"
    bool apop = false;       // "APOP"
    bool smtpAuth = false;   // "SmtpAuth"
    bool popBefore = false;  // "PopBefore"
    int mailKakunin = 0;     // "MailKakunin"
    int smtpPort = 25;       // "SmtpPortNo"
    int smtpSsl = 0;         // "SmtpSsl": 0 none, 1 STARTTLS, 2 TLS from the first byte
    int popSsl = 0;          // "PopSsl": the same for POP3 (STLS)
    int popPort = 110;       // "PopPortNo", 995 by default with PopSsl 2

    friend bool operator==(const MailAccount&, const MailAccount&) = default;
};

namespace mail_ssl {
inline constexpr int kNone = 0;
inline constexpr int kStartTls = 1;
inline constexpr int kImplicit = 2;
}  // namespace mail_ssl

struct MailSignature {
    std::string file;
    std::string name;
};

namespace mail_limits {
inline constexpr int kMaxAccounts = 200;
inline constexpr int kMaxSignatures = 1000;
// Signature and address files larger than this are not read.
inline constexpr std::size_t kMaxTextFile = 1 << 20;
}  // namespace mail_limits

class MailSettings {
  public:
    static constexpr const char* kFileName = "almxmail.ini";

    // The settings of the ini file in folder (the user's config folder beside the settings
    // store in the program); nothing is read yet.
    explicit MailSettings(std::string folder);

    // $XDG_CONFIG_HOME/Korvanta, or ~/.config/Korvanta.
    static std::string DefaultFolder();

    const std::string& Folder() const { return folder_; }
    std::string Path() const;

    // Reads the file again; a missing or unreadable file gives the defaults.
    void Reload();
    // Takes the file's bytes (tests, the fuzzer).
    void LoadBytes(std::string_view bytes);

    // Load accounts: "Mail"/"SetNo", "Set"/"SetCount" and every account, counts clamped.
    const std::vector<MailAccount>& Accounts() const { return accounts_; }
    std::vector<MailAccount>& Accounts() { return accounts_; }
    int CurrentIndex() const { return current_; }
    void SetCurrentIndex(int index);
    // The current account; nullptr when there is none.
    const MailAccount* Current() const;
    // A new account with every default (name "接続%02d" of its number).
    MailAccount DefaultAccount(int number) const;
    // The current account and the sending switches as the engine needs them; an empty server
    // when there is no account.
    mail::MailServerConfig Sender() const;

    // Writes "Mail"/"SetNo", "Set"/"SetCount" and every account into the profile (passwords
    // scrambled) and saves the file. False when the file could not be written.
    bool SaveAccounts();
    // The bytes SaveAccounts would write (tests, the fuzzer).
    std::string AccountBytes();

    // Switches of section "System" and the others.
    bool ManyAlert() const;
    int SmailTime() const;
    std::string LanDir() const;
    std::string AddressBookSetting() const;  // "AdrCategory"/"System" as stored
    std::string CaFile() const;

    // Signatures ("Signe" section), counts clamped to 1000.
    const std::vector<MailSignature>& Signatures() const { return signatures_; }
    std::vector<MailSignature>& Signatures() { return signatures_; }
    std::string SignatureDir() const { return signatureDir_; }
    void SetSignatureDir(std::string dir) { signatureDir_ = std::move(dir); }
    bool SaveSignatures();
    // The text of signature number (1 … count) with its date macros replaced; empty for a
    // number outside the list or a file that cannot be read.
    std::string SignatureText(int number, const Clock& clock) const;
    // The path a signature's file is read from.
    std::string SignaturePath(int number) const;

    const MailProfile& Profile() const { return profile_; }

    // Tests make the save fail through this.
    void SetFileWriter(FileWriter* writer) { writer_ = writer ? writer : &defaultWriter_; }

  private:
    void ReadAll();
    void StoreAccounts();
    bool Save();

    std::string folder_;
    MailProfile profile_;
    std::vector<MailAccount> accounts_;
    int current_ = 0;
    std::vector<MailSignature> signatures_;
    std::string signatureDir_;
    FileWriter defaultWriter_;
    FileWriter* writer_ = &defaultWriter_;
};

// Replaces the signature macros ("$jy", "$4wy", ... "$2min") by the parts of now, each
// occurrence once, left to right (a replacement is never read again).
std::string ExpandSignatureMacros(std::string_view text, const DateTime& now);

// The Japanese era and year of a date ("令和7"); the western year before the Meiji era.
std::string JapaneseEraYear(const DateTime& date);

// Reads a small text file: a regular file of at most kMaxTextFile bytes, UTF-8 when it is
// valid UTF-8, else Shift_JIS. False when it cannot be read.
enum class TextFileStatus { Ok, Missing, TooLarge };
TextFileStatus ReadSmallTextFile(const std::string& path, std::string& text);

// "~/" at the start becomes the home folder.
std::string ExpandHome(std::string_view path);

// Writes bytes to a temporary file beside path with mode 0600 and renames it over path; the
// folder is created (0700) when missing. False when anything failed; path is then untouched.
bool WritePrivateFile(const std::string& path, std::string_view bytes, FileWriter& writer);

}  // namespace almx
