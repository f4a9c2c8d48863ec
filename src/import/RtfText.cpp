#include "import/RtfText.h"

#include "shell/Text.h"

#include <cstdint>
#include <vector>

namespace vialto {

namespace {

// Deeper nesting than this is not a report but a hostile or broken file.
constexpr std::size_t kMaxDepth = 1000;

// Every code page is read as Windows-1252; the bytes it does not define
// become the replacement character.
std::uint32_t AnsiToUnicode(unsigned char byte) { return Cp1252ToUnicode(byte, 0xFFFD); }

// Destinations whose text is not part of the document's body.
bool IsSkippedDestination(std::string_view word) {
    static constexpr std::string_view kSkipped[] = {"fonttbl",
                                                    "colortbl",
                                                    "stylesheet",
                                                    "info",
                                                    "pict",
                                                    "header",
                                                    "headerl",
                                                    "headerr",
                                                    "headerf",
                                                    "footer",
                                                    "footerl",
                                                    "footerr",
                                                    "footerf",
                                                    "object",
                                                    "objdata",
                                                    "fldinst",
                                                    "themedata",
                                                    "datastore",
                                                    "listtable",
                                                    "listoverridetable",
                                                    "rsidtbl",
                                                    "generator",
                                                    "xmlnstbl",
                                                    "filetbl",
                                                    "revtbl",
                                                    "latentstyles",
                                                    "colorschememapping",
                                                    "footnote",
                                                    "annotation",
                                                    "nonshppict",
                                                    "bkmkstart",
                                                    "bkmkend",
                                                    "pgdsctbl",
                                                    "mmathPr",
                                                    "userprops",
                                                    "docvar",
                                                    "template",
                                                    "shppict",
                                                    "listtext",
                                                    "pntext",
                                                    "pntxta",
                                                    "pntxtb",
                                                    "atnid",
                                                    "atnauthor",
                                                    "sp",
                                                    "shprslt"};
    for (const std::string_view skipped : kSkipped)
        if (word == skipped)
            return true;
    return false;
}

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Destinations behind "\*" whose text is part of the body: the instructions
// of a shape hold the text of a frame or text box (in \shptxt).
bool IsReadStarDestination(std::string_view word) { return word == "shpinst"; }

struct GroupState {
    bool Skip = false;    // inside a destination whose text is dropped
    bool InTable = false; // the paragraph is part of a table cell (\intbl)
    int Uc = 1;           // characters that stand in for each \uN
};

class RtfReader {
  public:
    explicit RtfReader(std::string_view rtf) : rtf_(rtf) {}

    RtfTextResult Run() {
        std::size_t start = 0;
        while (start < rtf_.size() && (rtf_[start] == ' ' || rtf_[start] == '\r' ||
                                       rtf_[start] == '\n' || rtf_[start] == '\t'))
            ++start;
        if (rtf_.substr(start, 5) != "{\\rtf")
            return Fail(start, "the file is not an RTF document (it does not begin with {\\rtf)");
        pos_ = start;
        while (pos_ < rtf_.size()) {
            tokenStart_ = pos_;
            const char c = rtf_[pos_];
            if (c == '{') {
                if (stack_.size() >= kMaxDepth)
                    return Fail(pos_, "groups nested deeper than " + std::to_string(kMaxDepth));
                stack_.push_back(state_);
                groupStarts_.push_back(pos_);
                pendingSkip_ = 0;
                destinationStart_ = true;
                ++pos_;
                if (stack_.size() == 1)
                    opened_ = true;
            } else if (c == '}') {
                if (stack_.empty())
                    return Fail(pos_, "unbalanced braces: a } without its {");
                state_ = stack_.back();
                stack_.pop_back();
                groupStarts_.pop_back();
                pendingSkip_ = 0;
                destinationStart_ = false;
                ++pos_;
                if (stack_.empty())
                    break; // the document's group is closed; anything after it is not text
            } else if (c == '\\') {
                ControlWord();
                if (failed_)
                    return result_;
            } else {
                ++pos_;
                destinationStart_ = false;
                if (c == '\r' || c == '\n')
                    continue; // line ends of the RTF file itself are not text
                if (ConsumeSkip())
                    continue;
                const unsigned char byte = static_cast<unsigned char>(c);
                if (byte == 0)
                    continue;
                Emit(byte < 0x80 ? byte : AnsiToUnicode(byte));
            }
        }
        if (!stack_.empty())
            return Fail(groupStarts_.back(), "unbalanced braces: " + std::to_string(stack_.size()) +
                                                 " group(s) not closed, the innermost opened here");
        if (!opened_)
            return Fail(start, "the file is not an RTF document");
        FlushSurrogate();
        // Rich-text controls end the last paragraph too; the row cutter needs it.
        if (!out_.empty() && (out_.size() < 2 || out_.compare(out_.size() - 2, 2, "\r\n") != 0))
            EndRow();
        result_.Ok = true;
        result_.Text = std::move(out_);
        result_.RowLines = RowLines();
        return result_;
    }

  private:
    RtfTextResult Fail(std::size_t offset, std::string reason) {
        failed_ = true;
        FlushSurrogate();
        result_.Ok = false;
        result_.Text = out_;
        result_.Offset = offset;
        result_.Line = 1;
        for (std::size_t i = 0; i < offset && i < rtf_.size(); ++i)
            if (rtf_[i] == '\n')
                ++result_.Line;
        result_.Reason = std::move(reason);
        return result_;
    }

    // Counts a character that stands in for the last \uN; true when it is one.
    bool ConsumeSkip() {
        if (pendingSkip_ > 0) {
            --pendingSkip_;
            return true;
        }
        return false;
    }

    void Emit(std::uint32_t cp) {
        if (state_.Skip)
            return;
        if (cp == '\r')
            cp = '\n'; // a carriage return in the text would end a row
        StartText();
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            FlushSurrogate();
            highSurrogate_ = cp;
            return;
        }
        if (cp >= 0xDC00 && cp <= 0xDFFF) {
            if (highSurrogate_ != 0) {
                const std::uint32_t full =
                    0x10000 + ((highSurrogate_ - 0xD800) << 10) + (cp - 0xDC00);
                highSurrogate_ = 0;
                AppendUtf8(out_, full);
            } else {
                AppendUtf8(out_, 0xFFFD);
            }
            return;
        }
        FlushSurrogate();
        AppendUtf8(out_, cp);
    }

    void EmitText(std::string_view text) {
        if (state_.Skip)
            return;
        StartText();
        FlushSurrogate();
        out_ += text;
    }

    // Before any text: a paragraph break inside a table cell becomes a blank
    // between the cell's paragraphs; the row's start is remembered.
    void StartText() {
        if (rowStart_ == std::string_view::npos)
            rowStart_ = tokenStart_;
        if (cellBreak_) {
            cellBreak_ = false;
            if (cellHasText_)
                out_ += ' ';
        }
        cellHasText_ = true;
    }

    // A row or paragraph ends: CR LF, and where it began in the RTF file.
    void EndRow() {
        if (state_.Skip)
            return;
        const std::size_t start = rowStart_ == std::string_view::npos ? tokenStart_ : rowStart_;
        FlushSurrogate();
        out_ += "\r\n";
        rowOffsets_.push_back(start);
        rowStart_ = std::string_view::npos;
        cellBreak_ = false;
        cellHasText_ = false;
    }

    // A cell ends: one tab.
    void EndCell() {
        if (state_.Skip)
            return;
        cellBreak_ = false; // a cell's last paragraph mark adds nothing
        StartText();
        out_ += '\t';
        cellBreak_ = false;
        cellHasText_ = false;
    }

    // The 1-based line of the RTF file where each row of the text began.
    std::vector<long> RowLines() const {
        std::vector<long> lines;
        lines.reserve(rowOffsets_.size());
        long line = 1;
        std::size_t at = 0;
        for (const std::size_t offset : rowOffsets_) {
            for (; at < offset && at < rtf_.size(); ++at)
                if (rtf_[at] == '\n')
                    ++line;
            lines.push_back(line);
        }
        return lines;
    }

    void FlushSurrogate() {
        if (highSurrogate_ != 0) {
            highSurrogate_ = 0;
            AppendUtf8(out_, 0xFFFD);
        }
    }

    void ControlWord() {
        const bool atDestination = destinationStart_;
        const bool afterStar = afterStar_;
        destinationStart_ = false;
        afterStar_ = false;
        ++pos_; // the backslash
        if (pos_ >= rtf_.size())
            return;
        const char c = rtf_[pos_];
        if (!IsLetter(c)) {
            ++pos_;
            ControlSymbol(c, atDestination);
            return;
        }
        const std::size_t wordStart = pos_;
        while (pos_ < rtf_.size() && IsLetter(rtf_[pos_]) && pos_ - wordStart < 32)
            ++pos_;
        const std::string_view word = rtf_.substr(wordStart, pos_ - wordStart);
        bool hasParam = false;
        long param = 0;
        bool negative = false;
        if (pos_ < rtf_.size() && rtf_[pos_] == '-') {
            negative = true;
            ++pos_;
        }
        const std::size_t digitsStart = pos_;
        while (pos_ < rtf_.size() && IsDigit(rtf_[pos_])) {
            if (pos_ - digitsStart < 10)
                param = param * 10 + (rtf_[pos_] - '0');
            ++pos_;
        }
        hasParam = pos_ > digitsStart;
        if (negative)
            param = -param;
        if (pos_ < rtf_.size() && rtf_[pos_] == ' ')
            ++pos_; // the delimiting blank belongs to the control word

        if (word == "bin") {
            // Binary data of `param` bytes follows; it is never text.
            const std::size_t skip = hasParam && param > 0 ? static_cast<std::size_t>(param) : 0;
            pos_ = skip > rtf_.size() - pos_ ? rtf_.size() : pos_ + skip;
            return;
        }
        if (atDestination && IsSkippedDestination(word)) {
            state_.Skip = true;
            return;
        }
        if (afterStar && IsReadStarDestination(word)) {
            state_.Skip = stack_.size() >= 2 ? stack_.back().Skip : false;
            return;
        }
        if (word == "u" && hasParam) {
            long cp = param < 0 ? param + 65536 : param;
            if (cp < 0 || cp > 0xFFFF)
                cp = 0xFFFD;
            Emit(static_cast<std::uint32_t>(cp));
            pendingSkip_ = state_.Uc;
            return;
        }
        const bool structural = word == "par" || word == "row" || word == "nestrow" ||
                                word == "cell" || word == "nestcell" || word == "tab" ||
                                word == "line";
        if (structural)
            pendingSkip_ = 0; // a row or cell end is never a \u stand-in: no row is lost
        else if (ConsumeSkip())
            return;
        if (word == "uc") {
            state_.Uc = hasParam && param >= 0 && param < 16 ? static_cast<int>(param) : 1;
        } else if (word == "pard") {
            state_.InTable = false;
        } else if (word == "intbl") {
            state_.InTable = true;
        } else if (word == "itap") {
            state_.InTable = hasParam && param > 0;
        } else if (word == "par" || word == "line") {
            // Inside a table the paragraphs and lines of one cell belong to
            // that cell; elsewhere a paragraph ends a row and a line break
            // inside a paragraph does not.
            if (state_.InTable)
                cellBreak_ = true;
            else if (word == "par")
                EndRow();
            else
                EmitText("\n");
        } else if (word == "row" || word == "nestrow") {
            EndRow();
        } else if (word == "cell" || word == "nestcell") {
            EndCell();
        } else if (word == "tab") {
            EmitText(state_.InTable ? " " : "\t"); // a tab inside a cell must not split it
        } else if (word == "emdash") {
            Emit(0x2014);
        } else if (word == "endash") {
            Emit(0x2013);
        } else if (word == "bullet") {
            Emit(0x2022);
        } else if (word == "lquote") {
            Emit(0x2018);
        } else if (word == "rquote") {
            Emit(0x2019);
        } else if (word == "ldblquote") {
            Emit(0x201C);
        } else if (word == "rdblquote") {
            Emit(0x201D);
        }
        // Every other control word formats and carries no text.
    }

    void ControlSymbol(char c, bool atDestination) {
        if (c == '*') {
            // {\*\destination ...}: a destination this reader may not know;
            // its text is never part of the body.
            if (atDestination) {
                state_.Skip = true;
                afterStar_ = true;
            }
            return;
        }
        if (c == '\'') {
            int value = -1;
            if (pos_ + 1 < rtf_.size()) {
                const int hi = HexValue(rtf_[pos_]);
                const int lo = HexValue(rtf_[pos_ + 1]);
                if (hi >= 0 && lo >= 0)
                    value = hi * 16 + lo;
            }
            if (value < 0)
                return; // a broken escape is dropped, the text after it kept
            pos_ += 2;
            if (ConsumeSkip())
                return;
            Emit(AnsiToUnicode(static_cast<unsigned char>(value)));
            return;
        }
        if (ConsumeSkip())
            return;
        switch (c) {
        case '\\':
        case '{':
        case '}':
            Emit(static_cast<unsigned char>(c));
            break;
        case '~':
            Emit(0x00A0);
            break;
        case '_':
            Emit('-');
            break;
        case '\t':
            EmitText(state_.InTable ? " " : "\t");
            break;
        case '\r':
        case '\n':
            // A backslash before a line end is a \par.
            if (state_.InTable)
                cellBreak_ = true;
            else
                EndRow();
            break;
        default:
            break; // \- optional hyphen, \| and others: no text
        }
    }

    std::string_view rtf_;
    std::size_t pos_ = 0;
    std::string out_;
    std::vector<GroupState> stack_;
    std::vector<std::size_t> groupStarts_;
    GroupState state_;
    int pendingSkip_ = 0;
    bool destinationStart_ = false;
    bool opened_ = false;
    bool failed_ = false;
    std::uint32_t highSurrogate_ = 0;
    std::size_t tokenStart_ = 0;                    // where the token being read begins
    std::size_t rowStart_ = std::string_view::npos; // where the current row's text began
    std::vector<std::size_t> rowOffsets_;           // where each finished row began
    bool afterStar_ = false;                        // "{\*" has just been read
    bool cellBreak_ = false;                        // a paragraph of the current cell has ended
    bool cellHasText_ = false;                      // the current cell (or row) has text
    RtfTextResult result_;
};

} // namespace

RtfTextResult RtfToText(std::string_view rtf) { return RtfReader(rtf).Run(); }

} // namespace vialto
