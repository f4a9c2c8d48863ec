// The two report forms of the cross-section listing: the RTF report's plain
// text (station rows and table rows of offset/height pairs) and the printed
// report ("P.K." blocks whose "=====" rule line gives the columns). Both fill
// the fixed layers; the Cunetas layer stays empty in these forms.
#include "import/CrReaders.h"

#include "import/CrSecSet.h"
#include "import/PointCodes.h"
#include "shell/Text.h"

#include <array>
#include <cmath>

namespace vialto {

namespace {

enum FixedLayer : std::size_t { kTaludes = 0, kSubrasante = 2, kRasante = 3 };

// A point of these forms has no listed code.
const std::string kNoCode = "xxxxxxxx";

double RequireChainage(double chainage, ListingContext &ctx) {
    if (!std::isfinite(chainage))
        ctx.Reject(errOverflow, "the chainage is out of range");
    return chainage;
}

// Stations of one report are the same when their chainages differ by less
// than the listed resolution (a millimetre).
constexpr double kSameStation = 0.0005;

// The cells of an offset and a height (1-based `first` and the one after):
// both empty is no point, and so is 0 and 0; otherwise both must hold numbers.
void ReadPair(const std::vector<std::string> &cells, std::size_t first, std::string_view name,
              std::array<CrListPoints, 4> &lists, std::size_t layer, ListingContext &ctx) {
    if (IsBlankText(cells[first - 1]) && IsBlankText(cells[first]))
        return;
    const double offset = CellNumber(cells, first, name, ctx);
    const double height = CellNumber(cells, first + 1, "height", ctx);
    if (offset == 0 && height == 0)
        return; // an empty pair of cells
    lists[layer].push_back(CrListPoint{offset, height, kNoCode});
}

// A row of column titles ("Desp.", "Cota", "Cód."), wherever it repeats: no
// offset or height cell holds a number.
bool IsHeadingRow(const std::vector<std::string> &cells) {
    for (const std::size_t k : {0u, 1u, 4u, 5u, 8u, 9u})
        if (StartsWithNumber(cells[k]))
            return false;
    return true;
}

// A run of non-blank characters of a printed line, 1-based first and last.
struct Word {
    std::size_t First = 0;
    std::size_t Last = 0;
    std::string Text;
};

std::vector<Word> WordsOf(std::string_view line) {
    std::vector<Word> words;
    std::size_t k = 0;
    while (k < line.size()) {
        if (line[k] == ' ') {
            ++k;
            continue;
        }
        const std::size_t start = k;
        while (k < line.size() && line[k] != ' ')
            ++k;
        words.push_back(Word{start + 1, k, std::string(line.substr(start, k - start))});
    }
    return words;
}

// Columns of the rule line, grouped by layer: Taludes columns 1-3, Rasante
// 4-6, Subrasante 7-8.
struct ColumnGroup {
    std::size_t Layer;
    std::size_t First; // first position of the group's first column
    std::size_t Last;  // last position of the group's last column
};

std::array<ColumnGroup, 3> GroupsOf(const std::vector<Word> &columns, ListingContext &ctx) {
    if (columns.size() < 8)
        ctx.Reject(errSubscript, "the column rule has " + std::to_string(columns.size()) +
                                     " column(s); eight are expected (three of slopes, three of "
                                     "the surface, two of the subgrade)");
    return {ColumnGroup{kTaludes, columns[0].First, columns[2].Last},
            ColumnGroup{kRasante, columns[3].First, columns[5].Last},
            ColumnGroup{kSubrasante, columns[6].First, columns[7].Last}};
}

// The word pairs (1-based) a group is tried with, by the line's word count.
std::vector<std::array<std::size_t, 2>> PairsFor(std::size_t layer, std::size_t words) {
    std::vector<std::array<std::size_t, 2>> pairs{{1, 2}};
    if (layer == kTaludes)
        return pairs;
    if (words == 4)
        pairs.push_back({3, 4});
    if (words >= 5)
        pairs.push_back({4, 5});
    if (layer == kSubrasante && words >= 8)
        pairs.push_back({7, 8});
    return pairs;
}

// Reads the points of one data line. A line without any number is text
// (a note, a footer) and carries none; in a line of numbers, a word taken as
// an offset or a height must hold one.
void ReadPrintedRow(std::string_view line, const std::array<ColumnGroup, 3> &groups,
                    std::array<CrListPoints, 4> &lists, ListingContext &ctx) {
    const std::vector<Word> words = WordsOf(line);
    if (words.size() < 2)
        return;
    bool numbers = false;
    for (const Word &word : words)
        numbers = numbers || StartsWithNumber(word.Text);
    if (!numbers)
        return;
    for (const ColumnGroup &group : groups) {
        const Word *offset = nullptr;
        const Word *height = nullptr;
        // The last pair that lies within the group's columns is the point.
        for (const auto &pair : PairsFor(group.Layer, words.size())) {
            const Word &a = words[pair[0] - 1];
            const Word &b = words[pair[1] - 1];
            if (a.Last >= group.First && b.First <= group.Last) {
                offset = &a;
                height = &b;
            }
        }
        if (offset == nullptr)
            continue;
        for (const Word *word : {offset, height})
            if (!StartsWithNumber(word->Text))
                ctx.Reject(errTypeMismatch,
                           "the " + std::string(word == offset ? "offset" : "height") + " of the " +
                               FixedCrLayers()[group.Layer].Name + " columns holds no number: \"" +
                               Printable(word->Text) + "\"");
        lists[group.Layer].push_back(CrListPoint{Val(offset->Text), Val(height->Text), kNoCode});
    }
}

} // namespace

bool ReadCrReportText(std::string_view text, CrossSectionSet &out, ListingContext &ctx) {
    ctx.UseReportRows();
    out.Layers = FixedCrLayers();
    std::array<CrListPoints, 4> lists;
    bool inStation = false;
    double chainage = 0;
    // 13 cells at most: a row of more than 12 cells is no table row.
    ReportRows rows(text, 13);
    std::vector<std::string> cells;
    while (rows.Next(cells)) {
        ctx.SetLine(rows.Row());
        // A station row is a table row: a paragraph that merely begins with
        // "Esta" is text outside the table.
        if (ToUpper(Trim(cells[0])).substr(0, 4) == "ESTA" && cells.size() >= 2) {
            const double station = RequireChainage(CellChainage(cells, 2, "chainage", ctx), ctx);
            // The same station again is its heading repeated where the table
            // goes on over a page end.
            if (inStation && std::fabs(station - chainage) < kSameStation)
                continue;
            if (inStation)
                AddStation(out, chainage, lists);
            lists = {};
            chainage = station;
            inStation = true;
            continue;
        }
        // Rows before the first station row belong to no chainage.
        if (!inStation)
            continue;
        if (cells.size() != 12) {
            // Text outside the table, or another table; but a row of offset and
            // height of another width is a point row that lost or gained cells.
            if (cells.size() >= 3 && StartsWithNumber(cells[0]) && StartsWithNumber(cells[1]))
                ctx.Reject(errSubscript, "a row of points with " + std::to_string(cells.size()) +
                                             " cell(s); the point table has 11 columns");
            continue;
        }
        if (IsHeadingRow(cells))
            continue;
        ReadPair(cells, 1, "offset of the slopes", lists, kTaludes, ctx);
        ReadPair(cells, 5, "offset of the surface", lists, kRasante, ctx);
        ReadPair(cells, 9, "offset of the subgrade", lists, kSubrasante, ctx);
    }
    if (inStation)
        AddStation(out, chainage, lists);
    return true;
}

bool ReadCrPrinted(std::string_view text, CrossSectionSet &out, ListingContext &ctx) {
    out.Layers = FixedCrLayers();
    ListingLines lines(text);
    bool anyBlock = false;
    // The station read last is kept open: a block of the same chainage (its
    // title repeated over a page end) goes on with it.
    bool open = false;
    double openChainage = 0;
    std::array<CrListPoints, 4> lists;
    while (!lines.AtEnd()) {
        std::string_view line = lines.Next();
        if (!StartsWith(TrimLeft(line), "P.K."))
            continue;
        anyBlock = true;
        ctx.SetLine(lines.LineNumber());
        // The chainage stands five characters after the end of the first word,
        // which is searched from the word itself on every line: from the
        // line's start, an indent would be taken for the word's end, and from
        // the end found on an earlier line, a shorter word or indent here
        // would be overshot; either way the chainage would silently be read
        // from the wrong columns.
        const std::size_t blank = line.find(' ', line.find_first_not_of(' '));
        if (blank == std::string_view::npos)
            ctx.Reject(errInvalidCall, "the \"P.K.\" line carries no chainage");
        const std::string_view field = line.substr(std::min(line.size(), blank + 4), 20);
        const double chainage = RequireChainage(Val(Trim(field)), ctx);

        bool ruled = false;
        for (int k = 0; k < 7 && !lines.AtEnd(); ++k) {
            line = lines.Next();
            if (StartsWith(TrimLeft(line), "=====")) {
                ruled = true;
                break;
            }
        }
        if (!ruled) {
            if (lines.AtEnd())
                break; // the file ends inside the block's title
            ctx.Reject(errInvalidCall, "no column rule (\"=====\") within seven lines after the "
                                       "\"P.K.\" line");
        }
        ctx.SetLine(lines.LineNumber());
        const std::array<ColumnGroup, 3> groups = GroupsOf(WordsOf(line), ctx);

        if (open && std::fabs(chainage - openChainage) >= kSameStation) {
            AddStation(out, openChainage, lists);
            lists = {};
        }
        open = true;
        openChainage = chainage;
        while (!lines.AtEnd()) {
            line = lines.Next();
            if (line.empty() || line.front() == '\f')
                break;
            ctx.SetLine(lines.LineNumber());
            ReadPrintedRow(line, groups, lists, ctx);
        }
    }
    if (open)
        AddStation(out, openChainage, lists);
    if (!anyBlock) {
        ctx.SetLine(0);
        return ctx.Decline("neither the header \"*TRV\" nor a \"P.K.\" block of a printed "
                           "report was found");
    }
    return true;
}

} // namespace vialto
