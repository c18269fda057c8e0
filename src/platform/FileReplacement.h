#pragma once
// Writing a file in place of another only once it is complete: the new file
// is made as a hidden temporary in the same folder (same file system, so the
// final rename is atomic), which takes the permissions of the file it
// replaces (or of the file it copies), and is renamed over the target only
// at Commit. A failure at any step, or a replacement dropped before Commit,
// removes the temporary and leaves the old file as it was.
// A file the user may not write is refused, not replaced behind his back (the
// folder's permission would allow the rename), and a symbolic link is written
// through to the file it names, so the link stays a link.
//
//     platform::FileReplacement out(path);
//     if (!out.IsOpen()) return Fail(out.Error());
//     ... write through out.File(), or by name at out.Path() ...
//     if (!out.Commit()) return Fail(out.Error());

#include <cstdio>
#include <filesystem>
#include <string>

namespace platform {

class FileReplacement {
public:
    explicit FileReplacement(const std::filesystem::path& target);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Null when the temporary file could not be made (Error() says why).
    std::FILE* File() const { return file_; }
    // The temporary file's name, for a writer that works by name once what
    // was written through File() is flushed (a workbook driver, which may put
    // a new file there); Commit puts in place whatever file is there then.
    // It is shorter than the system's limit by some bytes, which such a
    // writer may add for files of its own beside it (a database's journal).
    const std::string& Path() const { return temp_; }
    bool IsOpen() const { return file_ != nullptr; }
    const std::filesystem::path& Target() const { return target_; }
    // The file the rename replaces: the target, or the file its link names.
    const std::filesystem::path& Written() const { return written_; }
    // The reason for the last failure, in Portuguese.
    const std::string& Error() const { return error_; }
    // True when the target was refused because the user may not write it
    // (Error() is then kReadOnly).
    bool TargetIsReadOnly() const { return readOnly_; }

    static constexpr const char* kReadOnly = "O arquivo é somente leitura";

    // The file that writing `path` changes: the one a symbolic link (or a
    // chain of them) names, else `path` itself.
    static std::filesystem::path Destination(const std::filesystem::path& path);
    // True for an existing file the user may not write. Root passes every
    // permission check, yet a file nobody may write is one he, too, means to
    // keep; a read-only disk refuses everyone.
    static bool IsReadOnly(const std::filesystem::path& file);

    // Fills the temporary with the bytes and the permissions of `source` (the
    // target itself, for a writer that changes a copy of it in place); false,
    // with Error() set, when the copy failed.
    bool CopyFrom(const std::filesystem::path& source);

    // A message of a writer that worked on Path(), naming the target instead:
    // the person knows the file he chose, not the hidden copy.
    std::string NamingTarget(std::string message) const;

    // Puts the written file in place of the target; false (and the target
    // untouched) when the data could not be written or put in place. The
    // data reach the disk before the rename, and the folder's new entry
    // after it: after a power cut the target is the old file or the new one,
    // never an empty one.
    bool Commit();
    // What was written, to the disk now (Commit does it too): for a caller
    // that must know it is there before it lets the old file go.
    bool Sync();

    // Drops what was written; the target stays as it was.
    void Abandon();

private:
    void Fail();
    bool SyncToDisk();
    void SyncFolder() const;

    std::filesystem::path target_;
    std::filesystem::path written_;
    std::string temp_;
    std::string shownAs_;  // the temporary's name as writers saw it, kept after it is gone
    std::FILE* file_ = nullptr;
    std::string error_;
    bool readOnly_ = false;
};

// Copies the bytes of the file `source` onto `out` at its current place, and
// its permissions; 0, or the error number of the step that failed (so that a
// full disk is told as such).
int CopyBytes(const std::filesystem::path& source, int out);

}  // namespace platform
