#include "register/core/automation/docx_form.h"

#include <zip.h>

#include <algorithm>
#include <cstring>
#include <list>
#include <memory>
#include <stdexcept>

#include <pugixml.hpp>

#include "register/core/automation/form_template.h"
#include "register/core/automation/placeholder_search.h"

namespace quorva {

namespace {

const char* const kPartFolder = "word/";
const char* const kPartExtension = ".xml";
const char* const kDocumentPart = "word/document.xml";
// The stories a clerk sees on the printed form.
const char* const kStoryRoots[] = {"w:document", "w:hdr", "w:ftr", "w:footnotes", "w:endnotes"};
const char* const kParagraphs = "//w:p";
const char* const kParagraph = "w:p";
const char* const kText = "w:t";
const char* const kLineBreak = "w:br";
// Run contents that part the text around them, as a tab or a line break.
const char* const kBreaks[] = {kLineBreak, "w:tab", "w:cr", "w:ptab", "w:sym"};
// In the text that placeholders are looked for in, where a break stands.
constexpr char kBreakMark = '\n';
const char* const kSpace = "xml:space";
const char* const kPreserve = "preserve";

[[noreturn]] void ThrowPackageError(const char* what)
{
    throw std::runtime_error(std::string("呈批表模板不是有效的.docx文件（") + what + "）");
}

struct ArchiveDiscard {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct SourceFree {
    void operator()(zip_source_t* source) const { zip_source_free(source); }
};
struct EntryClose {
    void operator()(zip_file_t* entry) const { zip_fclose(entry); }
};

// The template's package in memory. Replaced parts go into a new package
// that Close hands back; everything else is copied as it was.
class MemoryPackage {
public:
    explicit MemoryPackage(const std::string& bytes) : bytes_(bytes)
    {
        zip_error_t error;
        zip_error_init(&error);
        source_.reset(zip_source_buffer_create(bytes_.data(), bytes_.size(), 0, &error));
        if (source_) archive_.reset(zip_open_from_source(source_.get(), 0, &error));
        if (!archive_) ThrowPackageError(zip_error_strerror(&error));
        // The archive took our reference; this one keeps the source for Close.
        zip_source_keep(source_.get());
    }

    zip_uint64_t size() const { return static_cast<zip_uint64_t>(zip_get_num_entries(archive_.get(), 0)); }
    std::string Name(zip_uint64_t index) const
    {
        const char* name = zip_get_name(archive_.get(), index, 0);
        return name ? name : "";
    }

    std::string Read(zip_uint64_t index) const
    {
        zip_stat_t stat;
        const std::unique_ptr<zip_file_t, EntryClose> entry(zip_fopen_index(archive_.get(), index, 0));
        if (zip_stat_index(archive_.get(), index, 0, &stat) != 0 || !entry) Fail();
        std::string contents(static_cast<std::size_t>(stat.size), '\0');
        if (zip_fread(entry.get(), contents.data(), stat.size) != static_cast<zip_int64_t>(stat.size)) Fail();
        return contents;
    }

    void Replace(zip_uint64_t index, std::string contents)
    {
        const std::string& kept = replaced_.emplace_back(std::move(contents));
        zip_source_t* part = zip_source_buffer(archive_.get(), kept.data(), kept.size(), 0);
        if (!part) Fail();
        if (zip_file_replace(archive_.get(), index, part, 0) != 0) {
            zip_source_free(part);
            Fail();
        }
    }

    std::string Close()
    {
        if (zip_close(archive_.get()) != 0) Fail();
        archive_.release();
        zip_source_t* source = source_.get();
        if (zip_source_open(source) != 0) ThrowPackageError(zip_error_strerror(zip_source_error(source)));
        zip_source_seek(source, 0, SEEK_END);
        std::string package(static_cast<std::size_t>(zip_source_tell(source)), '\0');
        zip_source_seek(source, 0, SEEK_SET);
        const zip_int64_t read = zip_source_read(source, package.data(), package.size());
        zip_source_close(source);
        if (read != static_cast<zip_int64_t>(package.size())) ThrowPackageError("write");
        return package;
    }

private:
    [[noreturn]] void Fail() const { ThrowPackageError(zip_strerror(archive_.get())); }

    std::string bytes_;
    std::list<std::string> replaced_;
    std::unique_ptr<zip_source_t, SourceFree> source_;
    std::unique_ptr<zip_t, ArchiveDiscard> archive_;
};

class StringWriter : public pugi::xml_writer {
public:
    void write(const void* data, std::size_t size) override { text.append(static_cast<const char*>(data), size); }
    std::string text;
};

bool IsWordXmlName(const std::string& name)
{
    const std::size_t extension = std::strlen(kPartExtension);
    return name.rfind(kPartFolder, 0) == 0 && name.size() > extension &&
           name.compare(name.size() - extension, extension, kPartExtension) == 0;
}

template <std::size_t N>
bool IsOneOf(const char* name, const char* const (&names)[N])
{
    return std::any_of(std::begin(names), std::end(names), [&](const char* n) { return std::strcmp(name, n) == 0; });
}

// The paragraph's text elements in reading order, an empty node where a
// break parts them; a text box's paragraphs inside it are paragraphs of
// their own.
void CollectTexts(pugi::xml_node node, std::vector<pugi::xml_node>& texts)
{
    for (pugi::xml_node child : node.children()) {
        if (std::strcmp(child.name(), kParagraph) == 0) continue;
        if (std::strcmp(child.name(), kText) == 0) {
            texts.push_back(child);
        } else if (IsOneOf(child.name(), kBreaks)) {
            texts.push_back(pugi::xml_node());
        } else {
            CollectTexts(child, texts);
        }
    }
}

void SetText(pugi::xml_node text, const std::string& value)
{
    text.text().set(value.c_str());
    pugi::xml_attribute space = text.attribute(kSpace);
    if (!space) space = text.append_attribute(kSpace);
    space = kPreserve;
}

// The text element that holds character `at` of the paragraph's text.
std::size_t TextHolding(const std::vector<std::size_t>& starts, std::size_t at)
{
    return static_cast<std::size_t>(std::upper_bound(starts.begin(), starts.end(), at) - starts.begin()) - 1;
}

// The value goes where the placeholder began, lines parted by line breaks;
// the placeholder's other pieces are emptied, whatever runs they are in.
void TypeValue(const std::vector<pugi::xml_node>& texts, const std::vector<std::size_t>& starts,
               const PlaceholderMatch& match, const std::string& value)
{
    const std::size_t first = TextHolding(starts, match.begin);
    const std::size_t last = TextHolding(starts, match.end - 1);
    const std::string before = std::string(texts[first].text().get()).substr(0, match.begin - starts[first]);
    const std::string after = std::string(texts[last].text().get()).substr(match.end - starts[last]);
    for (std::size_t i = first + 1; i <= last; ++i) SetText(texts[i], "");
    const std::vector<std::string> lines = ValueLines(value);
    pugi::xml_node at = texts[first];
    SetText(at, before + lines[0]);
    pugi::xml_node run = at.parent();
    for (std::size_t k = 1; k < lines.size(); ++k) {
        at = run.insert_child_after(kText, run.insert_child_after(kLineBreak, at));
        SetText(at, lines[k]);
    }
    SetText(at, at.text().get() + after);
}

bool FillParagraph(pugi::xml_node paragraph, const std::vector<PlaceholderFill>& fills)
{
    std::vector<pugi::xml_node> texts;
    CollectTexts(paragraph, texts);
    std::string joined;
    std::vector<std::size_t> starts;
    for (pugi::xml_node text : texts) {
        starts.push_back(joined.size());
        if (text) {
            joined += text.text().get();
        } else {
            joined += kBreakMark;
        }
    }
    const std::vector<PlaceholderMatch> matches = FindPlaceholders(joined, fills);
    // From the last, so the places of the earlier ones stay where they were.
    for (auto match = matches.rbegin(); match != matches.rend(); ++match) {
        TypeValue(texts, starts, *match, fills[match->fill].value);
    }
    return !matches.empty();
}

bool IsStory(const pugi::xml_document& part)
{
    return IsOneOf(part.document_element().name(), kStoryRoots);
}

}  // namespace

std::string FillWordXml(const std::string& xml, const std::vector<PlaceholderFill>& fills)
{
    pugi::xml_document part;
    if (!part.load_buffer(xml.data(), xml.size(), pugi::parse_full) || !IsStory(part)) return xml;
    bool filled = false;
    for (const pugi::xpath_node& paragraph : part.select_nodes(kParagraphs)) {
        filled = FillParagraph(paragraph.node(), fills) || filled;
    }
    if (!filled) return xml;
    StringWriter writer;
    part.save(writer, "", pugi::format_raw, pugi::encoding_utf8);
    return std::move(writer.text);
}

std::string FillDocx(const std::string& package, const std::vector<PlaceholderFill>& fills)
{
    MemoryPackage parts(package);
    bool hasDocument = false;
    for (zip_uint64_t i = 0; i < parts.size(); ++i) {
        const std::string name = parts.Name(i);
        hasDocument = hasDocument || name == kDocumentPart;
        if (!IsWordXmlName(name)) continue;
        const std::string xml = parts.Read(i);
        std::string filled = FillWordXml(xml, fills);
        if (filled != xml) parts.Replace(i, std::move(filled));
    }
    if (!hasDocument) throw UnfillableTemplateError();
    return parts.Close();
}

}  // namespace quorva
