// The editors are Windows programs: their files may be saved in UTF-8, in
// UTF-16, or in the ANSI code page with a declaration that names it. The rest
// of the program works in UTF-8 only, so every input is brought to UTF-8 here,
// before the parser or anything else looks at it.
#include "railtunnel/XmlInputFile.h"

#include "shell/Error.h"
#include "shell/Platform.h"
#include "shell/Text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>
#include <utility>

namespace vialto {
namespace {

std::string FromCp1252(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        // The five bytes the code page leaves undefined keep their C1 value.
        if (b < 0x80)
            out += c;
        else
            AppendUtf8(out, Cp1252ToUnicode(b, b));
    }
    return out;
}

// UTF-16 or UTF-32 code units of the given width and byte order to UTF-8.
std::string FromWide(std::string_view bytes, std::size_t width, bool bigEndian, long badFileNumber,
                     const std::string &path) {
    if (bytes.size() % width != 0)
        RaiseError(badFileNumber, "The file " + path + " ends inside a character");
    const auto unit = [&](std::size_t at) {
        std::uint32_t v = 0;
        for (std::size_t k = 0; k < width; ++k) {
            const auto b = static_cast<unsigned char>(bytes[at + (bigEndian ? k : width - 1 - k)]);
            v = (v << 8) | b;
        }
        return v;
    };
    std::string out;
    out.reserve(bytes.size() / width + 16);
    for (std::size_t at = 0; at < bytes.size(); at += width) {
        std::uint32_t cp = unit(at);
        if (width == 2 && cp >= 0xD800 && cp < 0xDC00 && at + 2 < bytes.size()) {
            const std::uint32_t low = unit(at + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                at += 2;
            }
        }
        if ((cp >= 0xD800 && cp < 0xE000) || cp > 0x10FFFF)
            RaiseError(badFileNumber, "The file " + path + " holds an invalid character at byte " +
                                          std::to_string(at));
        AppendUtf8(out, cp);
    }
    // Control characters XML cannot carry become "?", as in any other input.
    return Utf8Text(out);
}

// The encoding named in an 8-bit XML declaration, lower case; "" when none.
std::string DeclaredEncoding(std::string_view text) {
    if (!StartsWith(text, "<?xml"))
        return {};
    const std::size_t end = text.find("?>");
    const std::string_view decl = text.substr(0, end);
    std::size_t at = decl.find("encoding");
    if (at == std::string_view::npos)
        return {};
    at = decl.find_first_of("\"'", at);
    if (at == std::string_view::npos)
        return {};
    const std::size_t close = decl.find(decl[at], at + 1);
    if (close == std::string_view::npos)
        return {};
    std::string name(decl.substr(at + 1, close - at - 1));
    for (char &c : name)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return name;
}

// Plain ASCII text that XML can carry as it is: no conversion needed.
bool IsPlainAscii(std::string_view text) {
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x80 || (b < 0x20 && b != '\t' && b != '\n' && b != '\r'))
            return false;
    }
    return true;
}

// UTF-8 text with anything that is not valid UTF-8 read as Windows-1252.
std::string AsUtf8(std::string &&text) {
    return IsPlainAscii(text) ? std::move(text) : Utf8Text(text);
}

bool IsAnsiName(const std::string &name) {
    static constexpr std::array<std::string_view, 10> names = {
        "iso-8859-1", "iso8859-1",    "iso_8859-1", "latin1", "latin-1",
        "l1",         "windows-1252", "cp1252",     "ascii",  "us-ascii"};
    for (const auto n : names)
        if (name == n)
            return true;
    return false;
}

} // namespace

std::string ReadXmlInputText(const std::string &path, long notFoundNumber, long badFileNumber) {
    std::error_code ec;
    const std::filesystem::path file = Utf8Path(path);
    if (!std::filesystem::is_regular_file(file, ec))
        RaiseError(notFoundNumber, "File not found: " + path);
    const std::uintmax_t size = std::filesystem::file_size(file, ec);
    if (ec)
        RaiseError(notFoundNumber, "The file " + path + " cannot be read: " + ec.message());
    if (size > kMaxXmlInputBytes)
        RaiseError(badFileNumber, "The file " + path + " is too large (" + std::to_string(size) +
                                      " bytes; at most " + std::to_string(kMaxXmlInputBytes) + ")");
    std::ifstream in(file, std::ios::binary);
    if (!in)
        RaiseError(notFoundNumber, "The file " + path + " cannot be opened");
    std::string bytes(static_cast<std::size_t>(size), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(size));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    if (in.bad())
        RaiseError(badFileNumber, "The file " + path + " cannot be read");

    const auto at = [&](std::size_t i) {
        return i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0x100u;
    };
    const std::string_view all(bytes);
    // Byte order marks first (UTF-32 before UTF-16: they share a prefix).
    if (at(0) == 0xFF && at(1) == 0xFE && at(2) == 0 && at(3) == 0)
        return FromWide(all.substr(4), 4, false, badFileNumber, path);
    if (at(0) == 0 && at(1) == 0 && at(2) == 0xFE && at(3) == 0xFF)
        return FromWide(all.substr(4), 4, true, badFileNumber, path);
    if (at(0) == 0xFF && at(1) == 0xFE)
        return FromWide(all.substr(2), 2, false, badFileNumber, path);
    if (at(0) == 0xFE && at(1) == 0xFF)
        return FromWide(all.substr(2), 2, true, badFileNumber, path);
    if (at(0) == 0xEF && at(1) == 0xBB && at(2) == 0xBF)
        return AsUtf8(std::string(all.substr(3)));
    // UTF-16 without a mark still starts with "<" as one 16-bit unit.
    if (at(0) == '<' && at(1) == 0)
        return FromWide(all, 2, false, badFileNumber, path);
    if (at(0) == 0 && at(1) == '<' && at(2) == 0)
        return FromWide(all, 2, true, badFileNumber, path);

    const std::string encoding = DeclaredEncoding(all);
    if (IsAnsiName(encoding))
        return Utf8Text(FromCp1252(all));
    // A UTF-16 declaration on 8-bit content was written by a tool that did not
    // know better; the content is what counts.
    if (encoding.empty() || encoding == "utf-8" || encoding == "utf8" || encoding == "utf-16")
        return AsUtf8(std::move(bytes));
    RaiseError(badFileNumber, "The file " + path + " is in the encoding '" + encoding +
                                  "', which is not supported");
}

std::string XmlInputPlace(const std::string &text, std::ptrdiff_t offset) {
    const std::size_t end =
        offset < 0 ? 0 : std::min(text.size(), static_cast<std::size_t>(offset));
    std::size_t line = 1;
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < end; ++i) {
        if (text[i] == '\n') {
            ++line;
            lineStart = i + 1;
        }
    }
    // Columns count characters, not the bytes of UTF-8 sequences.
    std::size_t column = 1;
    for (std::size_t i = lineStart; i < end; ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            ++column;
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

void ParseXmlInput(pugi::xml_document &doc, const std::string &text, unsigned options,
                   long errorNumber, const std::string &fileName) {
    const pugi::xml_parse_result result =
        doc.load_buffer(text.data(), text.size(), options, pugi::encoding_utf8);
    if (!result)
        RaiseError(errorNumber,
                   (fileName.empty() ? std::string("The text") : "The file " + fileName) +
                       " is not well-formed XML: " + result.description() + " at " +
                       XmlInputPlace(text, result.offset));
}

void RefuseEntities(const pugi::xml_document &doc, const std::string &text, long errorNumber,
                    const std::string &fileName) {
    for (const pugi::xml_node &node : doc.children())
        if (node.type() == pugi::node_doctype)
            RaiseError(errorNumber, "The file " + fileName + " declares a document type at " +
                                        XmlInputPlace(text, node.offset_debug()) +
                                        "; these files never hold one, and its entities are "
                                        "not expanded");
    const pugi::xml_node root = doc.document_element();
    if (!root)
        return;
    // Entity references can only stand in the root element's tags and text:
    // the prolog holds nothing but the declaration, comments and instructions.
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 3> skipped = {
        {{"<!--", "-->"}, {"<![CDATA[", "]]>"}, {"<?", "?>"}}};
    std::size_t at = static_cast<std::size_t>(std::max<std::ptrdiff_t>(0, root.offset_debug()));
    while ((at = text.find_first_of("<&", at)) != std::string::npos) {
        if (text[at] == '<') {
            std::size_t next = at + 1;
            for (const auto &[open, close] : skipped)
                if (text.compare(at, open.size(), open) == 0) {
                    const std::size_t end = text.find(close, at + open.size());
                    next = end == std::string::npos ? text.size() : end + close.size();
                    break;
                }
            at = next;
            continue;
        }
        const std::size_t semicolon = text.find(';', at);
        const std::string_view name =
            semicolon == std::string::npos || semicolon - at > 32
                ? std::string_view()
                : std::string_view(text).substr(at + 1, semicolon - at - 1);
        if (name == "amp" || name == "lt" || name == "gt" || name == "quot" || name == "apos" ||
            (name.size() > 1 && name[0] == '#')) {
            at = semicolon + 1;
            continue;
        }
        RaiseError(errorNumber,
                   "The file " + fileName + " is not well-formed XML: \"&" + std::string(name) +
                       (name.empty() ? "\"" : ";\"") + " at " + XmlInputPlace(text, at) +
                       " is not a predefined entity or a character reference (entities are not "
                       "declared or expanded here)");
    }
}

} // namespace vialto
