#include "tests/support/form_samples.h"

#include <zip.h>

#include <cstdint>
#include <cstdio>

#include "register/core/text/text_encoding.h"

namespace {

const char* const kContentTypes =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Types xmlns=\"http://schemas.openxmlformats.org/package/2006/"
    "content-types\"><Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships"
    "+xml\"/><Override PartName=\"/word/document.xml\" ContentType=\"application/vnd.openxmlformats-officedocument."
    "wordprocessingml.document.main+xml\"/></Types>";
const char* const kRelationships =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
    "relationships\"><Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
    "relationships/officeDocument\" Target=\"word/document.xml\"/></Relationships>";

// "$收", the middle, "$": the first piece ends after one character of three bytes.
std::vector<std::string> Pieces(const std::string& placeholder)
{
    return {placeholder.substr(0, 4), placeholder.substr(4, placeholder.size() - 5), "$"};
}

std::string Zip(const std::vector<std::pair<const char*, std::string>>& parts)
{
    zip_error_t error;
    zip_source_t* source = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t* archive = zip_open_from_source(source, ZIP_TRUNCATE, &error);
    zip_source_keep(source);
    for (const auto& [name, contents] : parts)
        zip_file_add(archive, name, zip_source_buffer(archive, contents.data(), contents.size(), 0), 0);
    zip_close(archive);
    zip_source_open(source);
    zip_source_seek(source, 0, SEEK_END);
    std::string package(static_cast<std::size_t>(zip_source_tell(source)), '\0');
    zip_source_seek(source, 0, SEEK_SET);
    zip_source_read(source, package.data(), package.size());
    zip_source_close(source);
    zip_source_free(source);
    return package;
}

}  // namespace

std::string SplitPlaceholderDocx(const std::vector<std::string>& placeholders)
{
    std::string body;
    for (const std::string& placeholder : placeholders) {
        const auto p = Pieces(placeholder);
        body += "<w:p><w:r><w:t>" + p[0] + "</w:t></w:r><w:proofErr w:type=\"spellStart\"/><w:r><w:rPr><w:b/>"
                "</w:rPr><w:t>" + p[1] + "</w:t></w:r><w:r><w:t>" + p[2] + "</w:t></w:r></w:p>";
    }
    return Zip({{"[Content_Types].xml", kContentTypes},
                {"_rels/.rels", kRelationships},
                {"word/document.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><w:document "
                                      "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
                                      "<w:body>" + body + "</w:body></w:document>"}});
}

std::string SplitPlaceholderRtf(const std::vector<std::string>& placeholders)
{
    std::string rtf = "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 SimSun;}}\\uc1\n";
    for (const std::string& placeholder : placeholders) {
        const auto p = Pieces(placeholder);
        rtf += "\\pard $";
        for (const unsigned char byte : Utf8ToGb18030(p[0].substr(1))) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\'%02x", byte);
            rtf += hex;
        }
        rtf += "{\\b ";
        // Signed, as word processors write them.
        for (const char16_t unit : Utf8ToUtf16(p[1])) rtf += "\\u" + std::to_string(static_cast<std::int16_t>(unit)) + "?";
        rtf += "}$\\par\n";
    }
    return rtf + "}";
}
