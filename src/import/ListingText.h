// Text routines shared by the listing readers (horizontal, vertical and
// cross-section listings): the design program's chainage notation, decimal
// commas, the numeric-cell test, the row cutter for report text, a line reader
// for plain listings, and the record of why a listing could not be read.
//
// Failures: a reader returns false and, when the caller passes a
// ListingFailure, fills it with the file, the line and what was expected there
// (the import stage shows it beside the failed file). The reader keeps its
// position in a ListingContext; Reject() records the reason and raises the
// run-time error that the reader's Guarded boundary logs.
#pragma once

#include "model/Records.h"
#include "shell/AppModel.h"
#include "shell/ErrHandler.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vialto {

// Why a listing could not be read.
struct ListingFailure {
    std::string File;       // file name without its folder ("" for in-memory text)
    long Line = 0;          // 1-based line, or row of a report; 0 = the whole file
    bool ReportRow = false; // Line counts the rows and paragraphs of an RTF report
    long FileLine = 0;      // for a report row: the RTF file's line where it begins (0 unknown)
    std::string Reason;     // what was found or expected, in a few words

    // "plan.plt, line 3: expected six numbers separated by commas";
    // "plan.rtf, row 14 of the report (line 40 of the file): cell 4 (Y) is empty"
    std::string Text() const;
};

// Where a reader is and what it is reading; turns bad input into a failure
// with its place.
class ListingContext {
  public:
    // Clears *failure (when given): it holds a reason only after a failure.
    ListingContext(std::string file, ListingFailure *failure);

    void SetLine(long line) { line_ = line; }
    long Line() const { return line_; }
    // From now on lines are rows of a report; `fileLines` (when given) holds
    // the RTF file's line of each row, row k at index k - 1.
    void UseReportRows(std::vector<long> fileLines = {});
    const std::string &File() const { return file_; }

    // Records the reason and returns false: a quiet failure (no error shown),
    // as for a listing with the wrong header.
    bool Decline(std::string reason);
    // Records the reason and raises run-time error `number` whose description
    // names the file and line.
    [[noreturn]] void Reject(RuntimeErrorNumber number, std::string reason);
    // After a failed Guarded body: when nothing was recorded yet (an error the
    // reader did not foresee), records the current line with `what`.
    void RecordUnforeseen(std::string_view what);

  private:
    ListingFailure Record(std::string reason);

    std::string file_;
    ListingFailure *out_;
    long line_ = 0;
    bool reportRows_ = false;
    std::vector<long> fileLines_;
    bool recorded_ = false;
};

// The text of an RTF report, for the report readers; a document that is not
// readable RTF is rejected with the RTF reader's reason and line. Failures
// after it name rows of the report and their lines in the file.
std::string RtfReportText(std::string_view rtf, ListingContext &ctx);

// Runs one element reader at the operation's error boundary (`source`): the
// elements are replaced only when it produced at least one; otherwise they
// are cleared and the failure is recorded, as `what` when the reader did not
// foresee it.
template <class Elements, class Reader>
bool RunElementReader(std::string_view source, std::string_view what, Elements &elements,
                      ListingFailure *failure, std::string_view file, Reader &&read) {
    ListingContext ctx{std::string(file), failure};
    Elements result;
    const bool ok = Guarded(source, false, [&] { return read(ctx, result); });
    if (!ok || ElementCount(result) < 1) {
        ctx.RecordUnforeseen(what);
        elements.clear();
        return false;
    }
    elements = std::move(result);
    return true;
}

// A reader's entry point over text in memory, at the operation's error
// boundary (see RunElementReader).
template <class Elements, class Reader>
bool ReadListingText(std::string_view source, std::string_view what, std::string_view text,
                     Elements &elements, ListingFailure *failure, std::string_view file,
                     Reader &&read) {
    return RunElementReader(
        source, what, elements, failure, file,
        [&](ListingContext &ctx, Elements &out) { return read(text, out, ctx); });
}

// The chainage notation of the listings: "1+234.567" is 1234.567, "0+020" is
// 20, "-0+010" is -10, "2-005" is 1995; a text without "+"/"-" after its sign
// is read with Val. The text is trimmed first.
double ParseChainage(std::string_view text);

// Decimal commas and thousands separators, in place. When the last "," comes
// before the last "." every "," is removed ("1,234.56" -> "1234.56"); when
// it comes after (or there is no ".") every "." is removed and every "," becomes
// "." ("1.234,56" -> "1234.56", "12,5" -> "12.5"); a text without "," is kept.
void NormalizeDecimal(std::string &text);

// True when the text holds nothing but blanks, tabs, CR and LF.
bool IsBlankText(std::string_view text);
// The text without leading and trailing blanks, tabs, CR and LF, as a view.
std::string_view TrimView(std::string_view text);

// True when the trimmed text holds at least one digit and nothing but digits,
// "+", ",", "-" and ".".
bool IsNumericText(std::string_view text);

// True when the trimmed text is exactly one number as Val reads it (sign,
// digits, one ".", optional exponent) with nothing after it.
bool IsPlainNumber(std::string_view text);

// Cuts the next row from report text whose rows end with CR LF. `position`
// is 1-based (start with 1); the returned row runs from `position` up to the
// next CR, and `position` moves onto that CR, so every row after the first
// begins with the CR LF that ended the row before. When the search reaches
// the last character, `atEnd` is set and "" is returned: a row is only read
// when its CR is not the text's last character.
std::string NextTextLine(std::string_view text, std::size_t &position, bool &atEnd);

// The rows of a report's text one at a time (cut by NextTextLine), each
// split at tabs into at most `maxCells` cells, carriage returns and line
// feeds removed from cell 1 and every cell passed through NormalizeDecimal.
class ReportRows {
  public:
    ReportRows(std::string_view text, std::size_t maxCells) : text_(text), maxCells_(maxCells) {}
    // The next row's cells; false after the last row.
    bool Next(std::vector<std::string> &cells);
    // 1-based number of the row returned last.
    long Row() const { return row_; }

  private:
    std::string_view text_;
    std::size_t maxCells_;
    std::size_t position_ = 1;
    bool atEnd_ = false;
    long row_ = 0;
};

// The file's bytes. Raises 53 (file not found) when it cannot be opened and
// 7 (out of memory) when it is larger than kMaxListingBytes.
std::string ReadListingFile(const std::string &path);
inline constexpr std::size_t kMaxListingBytes = 256u * 1024u * 1024u;

// The file name without its folder ("\" or "/") and without its last
// extension; the whole file name when it has no ".".
std::string ListingName(std::string_view path);
// The text after the last "." of the path, upper-cased; "" without a ".".
std::string ListingExtension(std::string_view path);

// Line-by-line reading of a plain listing: lines end with CR LF, LF or CR
// (as the classic line input read them); the last line needs no ending.
class ListingLines {
  public:
    explicit ListingLines(std::string_view text) : text_(text) {}
    // Reading from byte `start` of the text, which begins a line, after
    // `linesBefore` lines: the lines met are those a reader from the text's
    // start meets once it stands at `start`, numbered alike.
    ListingLines(std::string_view text, std::size_t start, long linesBefore)
        : text_(text), pos_(start), line_(linesBefore) {}
    // True when every line has been read.
    bool AtEnd() const { return pos_ >= text_.size(); }
    // The byte where the next line begins.
    std::size_t Position() const { return pos_; }
    // The next line without its ending ("" at the end); counts lines.
    std::string_view Next();
    // 1-based number of the line returned last.
    long LineNumber() const { return line_; }

  private:
    std::string_view text_;
    std::size_t pos_ = 0;
    long line_ = 0;
    // The first LF at or after pos_ (npos: none is left), found once for the
    // lines up to it, so that a file of CR endings is not searched to its end
    // for every line.
    std::size_t lf_ = 0;
    bool lfFound_ = false;
};

// The text as a failure may quote it: at most `max` characters; letters in
// UTF-8 (the report texts) stay themselves, control characters and bytes
// that are not UTF-8 show as "?".
std::string Printable(std::string_view text, std::size_t max = 40);

// The number in a field that must hold one (IsPlainNumber); otherwise rejects
// the line with "field <n> (<name>) is not a number". `field` is 1-based.
double RequireNumber(std::string_view text, std::size_t field, std::string_view name,
                     ListingContext &ctx);
// As RequireNumber, but an empty (or blank) field is 0.
double OptionalNumber(std::string_view text, std::size_t field, std::string_view name,
                      ListingContext &ctx);

// True when the trimmed text begins with a number as Val reads it (an
// optional sign, then a digit, or a "." and a digit); what follows, such as
// a unit ("100.0000 g"), does not matter.
bool StartsWithNumber(std::string_view text);

// Numbers in the cells of a report row (cells already through
// NormalizeDecimal; `index` is 1-based): a leading number followed by a unit
// or blanks is that number; a cell without a number, or a missing cell,
// rejects the row with the cell, its name and what it holds. With
// `emptyIsZero` an empty (or blank) cell reads 0, as such cells do in the
// reports; garbage never does.
// `what` names the pieces in messages ("cell", or "field" for the words of a
// printed report).
double CellNumber(const std::vector<std::string> &cells, std::size_t index, std::string_view name,
                  ListingContext &ctx, bool emptyIsZero = false, std::string_view what = "cell");
// A chainage cell ("12+345.678", "12345.678"), read with ParseChainage; a
// missing cell or one that is not IsNumericText rejects the row.
double CellChainage(const std::vector<std::string> &cells, std::size_t index, std::string_view name,
                    ListingContext &ctx, std::string_view what = "cell");

// The bytes of a listing file; rejects (line 0) a missing or oversized file.
std::string ReadListingBytes(const std::string &path, ListingContext &ctx);

// Imports the listing file at `path` at the operation's error boundary (see
// RunElementReader): its bytes go to the RTF report's reader when its
// extension is ".rtf", to the text forms' reader otherwise. Failures name the
// file without its folder.
template <class Elements, class RtfReader, class TextReader>
bool ImportListingFile(std::string_view source, std::string_view what, Elements &elements,
                       const std::string &path, ListingFailure *failure, RtfReader &&rtf,
                       TextReader &&text) {
    const bool report = ListingExtension(path) == "RTF";
    return RunElementReader(source, what, elements, failure, FileNameOfPath(path),
                            [&](ListingContext &ctx, Elements &out) {
                                const std::string bytes = ReadListingBytes(path, ctx);
                                return report ? rtf(bytes, out, ctx) : text(bytes, out, ctx);
                            });
}

// Splits at `separator`, dropping empty pieces (two separators in a row count
// as one), keeping at most `maxFields` pieces.
std::vector<std::string> SplitFields(std::string_view line, char separator, std::size_t maxFields);

// Splits at every separator into views of the line, keeping empty pieces (as
// Split does); `fields` is reused.
void SplitViews(std::string_view line, char separator, std::vector<std::string_view> &fields);

// Splits at tab characters, keeping empty cells, at most `maxCells` cells (the
// rest of the row is dropped).
std::vector<std::string> SplitCells(std::string_view row, std::size_t maxCells);

} // namespace vialto
