#pragma once
// A private folder for the fuzz targets whose readers take a file, not bytes:
// each input is written to a file in it (on a memory file system when there
// is one), and the folder goes when the run ends.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace fuzzing {

class Folder {
public:
    Folder()
    {
        std::error_code ec;
        const std::string base = std::filesystem::is_directory("/dev/shm", ec) ? "/dev/shm" : "/tmp";
        std::string templ = base + "/quoril-fuzz-XXXXXX";
        if (!::mkdtemp(templ.data())) std::abort();
        path_ = templ;
    }
    ~Folder()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    const std::string& Path() const { return path_; }

    // Writes the input as `name` in the folder, everything else in it removed.
    std::string Write(const std::string& name, const std::uint8_t* data, std::size_t size) const
    {
        Clear();
        return WriteBeside(name, data, size);
    }

    void Clear() const
    {
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(path_, ec))
            std::filesystem::remove_all(entry.path(), ec);
    }

    // Writes `name` beside what the folder holds.
    std::string WriteBeside(const std::string& name, const std::uint8_t* data, std::size_t size) const
    {
        std::string file = path_ + "/" + name;
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        if (!out) std::abort();
        return file;
    }

private:
    std::string path_;
};

}  // namespace fuzzing
