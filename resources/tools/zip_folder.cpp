// Packs a folder of Office Open XML parts into a workbook file at build time.
//
//   quoril_zip_folder <folder> <output file>
//
// "[Content_Types].xml" goes first (some readers look for it there), the other
// parts follow in name order, all deflated and stamped with one fixed time so
// that the same sources always give the same bytes. The file is written beside
// the output under a temporary name and renamed into place.

#include <zip.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

// 2000-01-01 00:00:00 UTC: any fixed moment will do.
constexpr std::time_t kFixedTime = 946684800;

bool readFile(const fs::path& path, std::string& data)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

int fail(const std::string& message)
{
    std::fprintf(stderr, "quoril_zip_folder: %s\n", message.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return fail("usage: quoril_zip_folder <folder> <output file>");
    const fs::path folder = argv[1];
    const fs::path output = argv[2];
    fs::path temp = output;
    temp += ".tmp";

    std::error_code ec;
    if (!fs::is_directory(folder, ec))
        return fail("folder not found: " + folder.string());

    std::vector<std::string> names;
    for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        if (it->is_regular_file())
            names.push_back(fs::relative(it->path(), folder).generic_string());
    }
    if (ec)
        return fail("cannot list " + folder.string() + ": " + ec.message());
    if (std::find(names.begin(), names.end(), "[Content_Types].xml") == names.end())
        return fail("no [Content_Types].xml in " + folder.string());
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const bool ca = a == "[Content_Types].xml";
        const bool cb = b == "[Content_Types].xml";
        return ca != cb ? ca : a < b;
    });

    fs::remove(temp, ec);
    int err = 0;
    zip_t* archive = zip_open(temp.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    if (!archive)
        return fail("cannot create " + temp.string());

    // libzip reads the buffers at zip_close, so they must outlive the loop.
    std::vector<std::string> contents(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (!readFile(folder / names[i], contents[i])) {
            zip_discard(archive);
            return fail("cannot read " + (folder / names[i]).string());
        }
        zip_source_t* source = zip_source_buffer(archive, contents[i].data(), contents[i].size(), 0);
        const zip_int64_t index =
            source ? zip_file_add(archive, names[i].c_str(), source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE) : -1;
        if (index < 0) {
            if (source)
                zip_source_free(source);
            const std::string why = zip_strerror(archive);
            zip_discard(archive);
            return fail("cannot add " + names[i] + ": " + why);
        }
        zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 9);
        zip_file_set_mtime(archive, static_cast<zip_uint64_t>(index), kFixedTime, 0);
    }
    if (zip_close(archive) != 0) {
        const std::string why = zip_strerror(archive);
        zip_discard(archive);
        fs::remove(temp, ec);
        return fail("cannot write " + temp.string() + ": " + why);
    }
    fs::rename(temp, output, ec);
    if (ec)
        return fail("cannot rename " + temp.string() + " to " + output.string() + ": " + ec.message());
    return 0;
}
