#pragma once
// A sound workbook package around a fuzzed sheet: the sheet's XML and the
// shared strings' XML packed with the parts every workbook has, one sheet
// "Plan1", so that mutations reach the sheet reader past the zip's checks.

#include <zip.h>

#include <cstdlib>
#include <string>
#include <utility>

namespace fuzzing {

inline constexpr const char* kRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
inline constexpr const char* kPkgRel = "http://schemas.openxmlformats.org/package/2006/relationships";

inline void Pack(const std::string& file, const std::string& sheet, const std::string& strings)
{
    const std::string types =
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/></Types>";
    const std::string root = std::string("<Relationships xmlns=\"") + kPkgRel + "\"><Relationship Id=\"rId1\" Type=\"" +
                             kRel + "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>";
    const std::string book =
        std::string("<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" xmlns:r=\"") + kRel +
        "\"><sheets><sheet name=\"Plan1\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>";
    const std::string rels = std::string("<Relationships xmlns=\"") + kPkgRel + "\"><Relationship Id=\"rId1\" Type=\"" +
                             kRel + "/worksheet\" Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"rId2\" Type=\"" +
                             kRel + "/sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>";
    int err = 0;
    zip_t* za = zip_open(file.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    if (!za) std::abort();
    const std::pair<const char*, const std::string*> parts[] = {
        {"[Content_Types].xml", &types},      {"_rels/.rels", &root},
        {"xl/workbook.xml", &book},           {"xl/_rels/workbook.xml.rels", &rels},
        {"xl/worksheets/sheet1.xml", &sheet}, {"xl/sharedStrings.xml", &strings}};
    for (const auto& [name, data] : parts) {
        zip_source_t* src = zip_source_buffer(za, data->data(), data->size(), 0);
        if (!src || zip_file_add(za, name, src, ZIP_FL_OVERWRITE) < 0) std::abort();
    }
    if (zip_close(za) != 0) std::abort();
}

}  // namespace fuzzing
