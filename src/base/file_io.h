#pragma once
// The disk side of the schedule file: reading it whole, saving it so that a failure at any
// point leaves a complete file, and backups that never overwrite.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace almx {

enum class ReadStatus {
    Complete,
    Partial,     // opened, but a read failed part way; the bytes read so far are kept
    CannotOpen,  // missing, not a regular file, or not readable
};

struct FileBytes {
    ReadStatus status = ReadStatus::CannotOpen;
    std::string bytes;
};

FileBytes ReadFileBytes(const std::string& path);

// Reads the file a block at a time, handing each block to onPiece as it comes, so a large file
// is never held whole. Partial: a read failed part way, after the blocks before it were handed
// over.
ReadStatus ReadFilePieces(const std::string& path,
                          const std::function<void(std::string_view piece)>& onPiece);

bool PathExists(const std::string& path);
// An existing file without write permission (none of its write bits, or not writable by us).
bool IsReadOnlyFile(const std::string& path);
// The path with its extension replaced by "bak" ("a.alx" gives "a.bak").
std::string BackupPathOf(const std::string& path);

// The system calls a save goes through, so tests can make them fail part way.
class FileWriter {
  public:
    virtual ~FileWriter() = default;
    // Writes all bytes; false on any failure.
    virtual bool Write(int fd, std::string_view bytes);
    virtual bool Sync(int fd);
    // Flushes the folder after a new file took its name there.
    virtual void SyncFolderOf(const std::string& folder);
};

// Writes the bytes to a temporary file in the same folder and flushes it to disk; only then
// the old file becomes its backup (BackupPathOf, replaced) and the new file takes its name.
// The new file keeps the old one's owner, group, mode and extended attributes (ACLs among
// them). When it cannot (a second hard link, an owner or group we may not set, an attribute
// we may not copy), the old bytes are copied to the backup and flushed first, and the file is
// then written in place, so every name and attribute of it stays; a failed write there puts
// the old bytes back. False when anything failed; a failure before the new file is in place
// leaves the file as it was.
bool SaveWithBackup(const std::string& path, std::string_view bytes, FileWriter& writer);

// The same save without the backup (key files, exports: an export must not touch a ".bak"
// that may be a schedule file's): a temporary file renamed over the old one (or, where the
// rename would lose a name or an attribute, written in place and put back on failure).
bool SaveReplacing(const std::string& path, std::string_view bytes, FileWriter& writer);

// Where a streamed save hands its bytes; false once a write has failed (the maker then stops).
using ByteSink = std::function<bool(std::string_view)>;
// Makes a file's bytes block by block into the sink; false when it could not make them all.
using ByteMaker = std::function<bool(const ByteSink&)>;

// SaveReplacing for bytes made while they are written, so the file is never held whole: each
// block goes to the temporary file as it comes. The file is replaced only when the maker and
// every write, the flush and the close succeeded; on any failure the old file stays as it was.
bool SaveReplacingStreamed(const std::string& path, const ByteMaker& make, FileWriter& writer);
// SaveWithBackup for bytes made while they are written (the schedule file's save).
bool SaveWithBackupStreamed(const std::string& path, const ByteMaker& make, FileWriter& writer);

// Copies the file to the first of the names with the extensions "bak", "2", "3", ... that does
// not exist; an existing one holding the same bytes serves as well. Never overwrites. The name
// of the copy, or nullopt when no copy could be made.
std::optional<std::string> CopyToFreeBackup(const std::string& path);

// The same with the extensions "2", "3", ... only: a copy no save replaces (a save rotates
// "bak"), for a file that could not be read whole.
std::optional<std::string> CopyToUntouchedBackup(const std::string& path);

}  // namespace almx
