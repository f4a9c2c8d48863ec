#include "import/ListingText.h"

#include "import/RtfText.h"

#include "shell/Platform.h"
#include "shell/Text.h"

#include <cmath>
#include <filesystem>
#include <fstream>

namespace vialto {

std::string ListingFailure::Text() const {
    std::string text = File.empty() ? std::string("listing") : File;
    if (Line > 0 && ReportRow) {
        text += ", row " + std::to_string(Line) + " of the report";
        if (FileLine > 0)
            text += " (line " + std::to_string(FileLine) + " of the file)";
    } else if (Line > 0) {
        text += ", line " + std::to_string(Line);
    }
    return text + ": " + Reason;
}

ListingContext::ListingContext(std::string file, ListingFailure *failure)
    : file_(std::move(file)), out_(failure) {
    if (out_ != nullptr)
        *out_ = ListingFailure{};
}

void ListingContext::UseReportRows(std::vector<long> fileLines) {
    reportRows_ = true;
    if (!fileLines.empty())
        fileLines_ = std::move(fileLines);
}

ListingFailure ListingContext::Record(std::string reason) {
    recorded_ = true;
    ListingFailure failure{file_, line_, reportRows_ && line_ > 0, 0, std::move(reason)};
    if (failure.ReportRow && static_cast<std::size_t>(line_) <= fileLines_.size())
        failure.FileLine = fileLines_[static_cast<std::size_t>(line_ - 1)];
    if (out_ != nullptr)
        *out_ = failure;
    return failure;
}

bool ListingContext::Decline(std::string reason) {
    Record(std::move(reason));
    return false;
}

void ListingContext::Reject(RuntimeErrorNumber number, std::string reason) {
    RaiseRuntime(number, Record(std::move(reason)).Text());
}

void ListingContext::RecordUnforeseen(std::string_view what) {
    if (!recorded_)
        Record("could not be read (" + std::string(what) + ")");
}

double ParseChainage(std::string_view text) {
    const std::string trimmed = Trim(text);
    std::string_view s = trimmed;
    double sign = 1.0;
    if (!s.empty() && s.front() == '-') {
        sign = -1.0;
        s.remove_prefix(1);
    } else if (!s.empty() && s.front() == '+') {
        s.remove_prefix(1);
    }
    const std::size_t p = s.find_first_of("+-");
    if (p == std::string_view::npos)
        return sign * Val(s);
    const std::string_view before = s.substr(0, p);
    const std::string_view after = s.substr(p + 1);
    // d digits follow the mark before the decimal point: 1+234.567 is 1 km
    // and 234.567 m when d is 3.
    const std::size_t dot = after.find('.');
    const std::size_t d = dot == std::string_view::npos ? after.size() : dot;
    const double scale = std::pow(10.0, static_cast<double>(d));
    const double value = s[p] == '+' ? sign * (Val(before) * scale + Val(after))
                                     : sign * Val(before) * scale - Val(after);
    if (!std::isfinite(value))
        RaiseRuntime(errOverflow, "chainage \"" + trimmed.substr(0, 40) + "\"");
    return value;
}

void NormalizeDecimal(std::string &text) {
    const std::size_t comma = text.rfind(',');
    const std::size_t point = text.rfind('.');
    if (comma == std::string::npos)
        return; // only points, or no mark at all: nothing to change
    if (point != std::string::npos && comma < point) {
        text = ReplaceAll(std::move(text), ",", ""); // "," groups thousands
        return;
    }
    // The last mark is a decimal comma; any "." groups thousands.
    text = ReplaceAll(std::move(text), ".", "");
    text = ReplaceAll(std::move(text), ",", ".");
}

std::string_view TrimView(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    std::size_t start = 0;
    std::size_t end = text.size();
    while (start < end && blank(text[start]))
        ++start;
    while (end > start && blank(text[end - 1]))
        --end;
    return text.substr(start, end - start);
}

bool IsBlankText(std::string_view text) { return TrimView(text).empty(); }

bool IsNumericText(std::string_view text) {
    const std::string_view trimmed = TrimView(text);
    bool digit = false;
    for (const char c : trimmed) {
        if (c >= '0' && c <= '9')
            digit = true;
        else if (c != '+' && c != ',' && c != '-' && c != '.')
            return false;
    }
    return digit;
}

bool IsPlainNumber(std::string_view text) {
    const std::string_view trimmed = TrimView(text);
    std::size_t i = 0;
    const std::size_t n = trimmed.size();
    auto digits = [&] {
        const std::size_t start = i;
        while (i < n && trimmed[i] >= '0' && trimmed[i] <= '9')
            ++i;
        return i - start;
    };
    if (i < n && (trimmed[i] == '+' || trimmed[i] == '-'))
        ++i;
    std::size_t mantissa = digits();
    if (i < n && trimmed[i] == '.') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0)
        return false;
    if (i < n && (trimmed[i] == 'e' || trimmed[i] == 'E')) {
        ++i;
        if (i < n && (trimmed[i] == '+' || trimmed[i] == '-'))
            ++i;
        if (digits() == 0)
            return false;
    }
    return i == n;
}

std::string NextTextLine(std::string_view text, std::size_t &position, bool &atEnd) {
    // 1-based positions, as the rows are counted in the report text.
    const std::size_t length = text.size();
    if (position < 1)
        position = 1;
    for (std::size_t i = position + 1;; ++i) {
        if (i >= length) {
            atEnd = true;
            return {};
        }
        if (text[i - 1] == '\r') {
            std::string line(text.substr(position - 1, i - position));
            position = i;
            return line;
        }
    }
}

bool ReportRows::Next(std::vector<std::string> &cells) {
    const std::string line = NextTextLine(text_, position_, atEnd_);
    if (atEnd_)
        return false;
    ++row_;
    cells = SplitCells(line, maxCells_);
    cells[0] = ReplaceAll(ReplaceAll(std::move(cells[0]), "\r", ""), "\n", "");
    for (std::string &cell : cells)
        NormalizeDecimal(cell);
    return true;
}

std::string ReadListingFile(const std::string &path) {
    std::ifstream file(Utf8Path(path), std::ios::binary);
    if (!file)
        RaiseRuntime(errFileNotFound, path);
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    if (size < 0)
        RaiseRuntime(errFileNotFound, path);
    if (static_cast<unsigned long long>(size) > kMaxListingBytes)
        RaiseRuntime(errOutOfMemory, path + " is larger than any listing (" +
                                         std::to_string(size / (1024 * 1024)) + " MB)");
    file.seekg(0, std::ios::beg);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (size > 0 && !file.read(bytes.data(), size))
        RaiseRuntime(errFileNotFound, path);
    return bytes;
}

std::string ListingName(std::string_view path) {
    const std::size_t slash = path.find_last_of("\\/");
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

std::string ListingExtension(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    return dot == std::string_view::npos ? std::string() : ToUpper(path.substr(dot + 1));
}

namespace {

// The length of the valid UTF-8 sequence at `i` (2 to 4), or 0.
std::size_t Utf8SequenceAt(std::string_view text, std::size_t i) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    const std::size_t n = lead >= 0xC2 && lead <= 0xDF   ? 2
                          : lead >= 0xE0 && lead <= 0xEF ? 3
                          : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                         : 0;
    if (n == 0 || i + n > text.size())
        return 0;
    for (std::size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
            return 0;
    return n;
}

} // namespace

std::string Printable(std::string_view text, std::size_t max) {
    std::string shown;
    std::size_t i = 0;
    std::size_t characters = 0;
    for (; i < text.size() && characters < max; ++characters) {
        const unsigned char byte = static_cast<unsigned char>(text[i]);
        if (byte >= 0x80) {
            if (const std::size_t n = Utf8SequenceAt(text, i)) {
                shown.append(text.substr(i, n)); // a letter such as "é" stays itself
                i += n;
                continue;
            }
        }
        shown += byte < 0x20 || byte >= 0x7F ? '?' : static_cast<char>(byte);
        ++i;
    }
    if (i < text.size())
        shown += "...";
    return shown;
}

namespace {

// Val's number of a text that begins with one. A text that is one plain
// number is what Val would hand to the converter: it is read directly, and
// anything else (a unit after it, an out-of-range value) is left to Val.
double ReadNumber(std::string_view text) {
    std::string_view plain = TrimView(text);
    if (!plain.empty() && plain.front() == '+') {
        // The converter takes no "+"; Val takes one only before the number.
        plain.remove_prefix(1);
        if (plain.empty() ||
            !((plain.front() >= '0' && plain.front() <= '9') || plain.front() == '.'))
            return Val(text);
    }
    double value = 0;
    const auto [end, ec] = ReadDecimal(plain.data(), plain.data() + plain.size(), value);
    if (ec != std::errc() || end != plain.data() + plain.size())
        return Val(text);
    return value;
}

} // namespace

double RequireNumber(std::string_view text, std::size_t field, std::string_view name,
                     ListingContext &ctx) {
    if (!IsPlainNumber(text))
        ctx.Reject(errTypeMismatch, "field " + std::to_string(field) + " (" + std::string(name) +
                                        ") is not a number: \"" + Printable(TrimView(text)) + "\"");
    const double value = ReadNumber(text);
    if (!std::isfinite(value))
        ctx.Reject(errOverflow, "field " + std::to_string(field) + " (" + std::string(name) +
                                    ") is out of range");
    return value;
}

double OptionalNumber(std::string_view text, std::size_t field, std::string_view name,
                      ListingContext &ctx) {
    return IsBlankText(text) ? 0.0 : RequireNumber(text, field, name, ctx);
}

std::string ReadListingBytes(const std::string &path, ListingContext &ctx) {
    std::error_code ec;
    ctx.SetLine(0);
    if (!std::filesystem::is_regular_file(Utf8Path(path), ec))
        ctx.Reject(errFileNotFound, "the file does not exist or cannot be read");
    const auto size = std::filesystem::file_size(Utf8Path(path), ec);
    if (!ec && size > kMaxListingBytes)
        ctx.Reject(errOutOfMemory, "the file is too large for a listing (" +
                                       std::to_string(size / (1024 * 1024)) + " MB)");
    return ReadListingFile(path);
}

std::string_view ListingLines::Next() {
    if (AtEnd())
        return {};
    ++line_;
    const std::size_t start = pos_;
    // A line ends at the next LF or at a CR before it; two searches for one
    // character each run far faster than one search for either of two.
    if (!lfFound_ || (lf_ != std::string_view::npos && lf_ < start)) {
        lf_ = text_.find('\n', start);
        lfFound_ = true;
    }
    std::size_t end = lf_;
    const std::size_t cr =
        text_.substr(start, end == std::string_view::npos ? end : end - start).find('\r');
    if (cr != std::string_view::npos)
        end = start + cr;
    if (end == std::string_view::npos) {
        pos_ = text_.size();
        return text_.substr(start);
    }
    pos_ = end + 1;
    if (text_[end] == '\r' && pos_ < text_.size() && text_[pos_] == '\n')
        ++pos_;
    return text_.substr(start, end - start);
}

std::vector<std::string> SplitFields(std::string_view line, char separator, std::size_t maxFields) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (start <= line.size() && fields.size() < maxFields) {
        std::size_t end = line.find(separator, start);
        if (end == std::string_view::npos)
            end = line.size();
        if (end > start)
            fields.emplace_back(line.substr(start, end - start));
        start = end + 1;
    }
    return fields;
}

void SplitViews(std::string_view line, char separator, std::vector<std::string_view> &fields) {
    fields.clear();
    std::size_t start = 0;
    for (std::size_t at = line.find(separator); at != std::string_view::npos;
         at = line.find(separator, start)) {
        fields.push_back(line.substr(start, at - start));
        start = at + 1;
    }
    fields.push_back(line.substr(start));
}

std::vector<std::string> SplitCells(std::string_view row, std::size_t maxCells) {
    std::vector<std::string> cells;
    std::size_t start = 0;
    while (cells.size() < maxCells) {
        const std::size_t end = row.find('\t', start);
        if (end == std::string_view::npos) {
            cells.emplace_back(row.substr(start));
            break;
        }
        cells.emplace_back(row.substr(start, end - start));
        start = end + 1;
    }
    return cells;
}

std::string RtfReportText(std::string_view rtf, ListingContext &ctx) {
    RtfTextResult text = RtfToText(rtf);
    if (!text.Ok) {
        ctx.SetLine(text.Line);
        ctx.Reject(errInvalidCall, "not a readable RTF report: " + text.Reason);
    }
    ctx.UseReportRows(std::move(text.RowLines));
    return std::move(text.Text);
}

bool StartsWithNumber(std::string_view text) {
    const std::string_view t = TrimView(text);
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-'))
        ++i;
    if (i < t.size() && t[i] == '.')
        ++i;
    return i < t.size() && t[i] >= '0' && t[i] <= '9';
}

namespace {

std::string CellLabel(std::size_t index, std::string_view name, std::string_view what) {
    return std::string(what) + " " + std::to_string(index) + " (" + std::string(name) + ")";
}

const std::string &CellText(const std::vector<std::string> &cells, std::size_t index,
                            std::string_view name, ListingContext &ctx, std::string_view what) {
    if (index < 1 || index > cells.size())
        ctx.Reject(errSubscript, "the row has " + std::to_string(cells.size()) + " " +
                                     std::string(what) + "(s); " + CellLabel(index, name, what) +
                                     " is missing");
    return cells[index - 1];
}

} // namespace

double CellNumber(const std::vector<std::string> &cells, std::size_t index, std::string_view name,
                  ListingContext &ctx, bool emptyIsZero, std::string_view what) {
    const std::string &text = CellText(cells, index, name, ctx, what);
    if (IsBlankText(text)) {
        if (emptyIsZero)
            return 0.0;
        ctx.Reject(errTypeMismatch, CellLabel(index, name, what) + " is empty");
    }
    if (!StartsWithNumber(text))
        ctx.Reject(errTypeMismatch, CellLabel(index, name, what) + " holds no number: \"" +
                                        Printable(TrimView(text)) + "\"");
    const double value = ReadNumber(text);
    if (!std::isfinite(value))
        ctx.Reject(errOverflow, CellLabel(index, name, what) + " is out of range");
    return value;
}

double CellChainage(const std::vector<std::string> &cells, std::size_t index, std::string_view name,
                    ListingContext &ctx, std::string_view what) {
    const std::string &text = CellText(cells, index, name, ctx, what);
    if (!IsNumericText(text))
        ctx.Reject(errTypeMismatch, CellLabel(index, name, what) + " is not a chainage: \"" +
                                        Printable(TrimView(text)) + "\"");
    return ParseChainage(text);
}

} // namespace vialto
