#include "landxml/LandXmlWriter.h"

#include "shell/AppModel.h"
#include "shell/ErrHandler.h"
#include "shell/Platform.h"
#include "shell/Text.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <initializer_list>
#include <string>
#include <system_error>

namespace vialto {

namespace {

// Run-time error numbers of file input and output, as the classic run-time
// numbered them.
constexpr long errBadFileNumber = 52;
constexpr long errDeviceIo = 57;
constexpr long errDiskFull = 61;

std::string ReasonOf(int error) { return std::generic_category().message(error); }

// Hands the channel's pending lines to its file. False, with the reason's
// errno in `error`, when the file did not take them all.
bool HandOver(std::FILE *file, std::string &pending, int &error) {
    if (pending.empty())
        return true;
    errno = 0;
    const bool ok = std::fwrite(pending.data(), 1, pending.size(), file) == pending.size();
    error = errno;
    pending.clear();
    return ok;
}

// Closes a channel after handing over its pending lines; false when that or
// the close (which flushes) failed.
bool CloseStream(std::FILE *&file, std::string &pending) {
    if (file == nullptr) {
        pending.clear();
        return true;
    }
    int error = 0;
    bool ok = HandOver(file, pending, error);
    ok = std::fclose(file) == 0 && ok;
    file = nullptr;
    return ok;
}

// Closes a channel whose lines are thrown away.
void DropStream(std::FILE *&file, std::string &pending) {
    pending.clear();
    if (file != nullptr)
        std::fclose(file);
    file = nullptr;
}

void RemoveQuietly(std::filesystem::path &path) {
    if (path.empty())
        return;
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    path.clear();
}

// A fresh work file beside the output: ".<name>.<tag>.tmp". Raises 10005 when
// none can be created.
std::FILE *CreateWorkFile(const std::filesystem::path &output, std::filesystem::path &created) {
    static std::atomic<unsigned> counter{0};
    const std::filesystem::path folder = output.parent_path();
    const auto stamp = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    int lastError = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string tag =
            std::to_string(stamp % 1000000007ULL) + "-" + std::to_string(counter.fetch_add(1));
        const std::filesystem::path candidate =
            folder / Utf8Path("." + PathText(output.filename()) + "." + tag + ".tmp");
        errno = 0;
        // Never reuses a file someone else holds.
        if (std::FILE *file = OpenCFile(candidate, FileOpen::CreateNew)) {
            created = candidate;
            return file;
        }
        lastError = errno;
        if (lastError != EEXIST)
            break;
    }
    RaiseError(errOpenLandXml,
               "Cannot create the file '" + PathText(output) + "': " + ReasonOf(lastError));
}

// Writes the line, after `level` tabs, and CR LF to one channel. The first
// failure of a document is reported; later writes of the same document fail
// quietly, so that a full disk produces one message rather than one per line.
// The line is given in pieces, written one after the other (a long line is
// never joined first).
bool WriteChannel(bool side, std::uint8_t level, std::initializer_list<std::string_view> pieces) {
    LandXmlWriterState &state = LandXmlWriter();
    std::FILE *file = side ? state.Side : state.Main;
    if (state.WriteFailed && file != nullptr)
        return false;
    int error = 0;
    if (file != nullptr) {
        std::string &pending = side ? state.SidePending : state.MainPending;
        pending.append(level, '\t');
        for (std::string_view piece : pieces)
            pending.append(piece);
        pending.append("\r\n");
        if (pending.size() < kWriterPieceBytes || HandOver(file, pending, error))
            return true;
        state.WriteFailed = true;
    }
    return Guarded(side ? "CLandXML.WriteLnOst" : "CLandXML.WriteLn", false, [&] {
        long number = 0;
        std::string reason;
        if (file == nullptr) {
            number = errBadFileNumber;
            reason = "Bad file name or number";
        } else {
            number = error == ENOSPC || error == EFBIG ? errDiskFull : errDeviceIo;
            reason = number == errDiskFull ? "Disk full" : "Device I/O error";
            if (error != 0)
                reason += " (" + ReasonOf(error) + ")";
        }
        std::string line(level, '\t');
        for (std::string_view piece : pieces)
            line += piece;
        RaiseError(number,
                   reason + "\r\nError to write: '" + line + "' in file:" + state.OutputFile);
        return false;
    });
}

// Level arithmetic on a byte: going below 0 or above 255 is the classic
// overflow (error 6) and writes nothing.
bool StepLevel(std::uint8_t &level, int step, const char *source) {
    return Guarded(source, false, [&] {
        const int next = level + step;
        if (next < 0 || next > 255)
            RaiseRuntime(errOverflow, "indentation level out of range");
        level = static_cast<std::uint8_t>(next);
        return true;
    });
}

} // namespace

LandXmlWriterState::~LandXmlWriterState() {
    DropStream(Main, MainPending);
    DropStream(Side, SidePending);
    RemoveQuietly(WorkFile);
    RemoveQuietly(SideFile);
}

LandXmlWriterState &LandXmlWriter() {
    static LandXmlWriterState state;
    return state;
}

// ---- File handling -------------------------------------------------------------

void SetOutputFile(const std::string &path) {
    Trace(">> SetOutputFile");
    DiscardOutput();
    LandXmlWriter().OutputFile = path;
    Trace("<< SetOutputFile");
}

std::filesystem::path SideFilePath() { return Utf8Path(LandXmlWriter().OutputFile + "ost"); }

bool OpenFile() {
    return Guarded("CLandXML.OpenFile", false, [&] {
        Trace(">> OpenFile");
        LandXmlWriterState &state = LandXmlWriter();
        DiscardOutput();
        state.WriteFailed = false;
        state.RootClosed = false;
        if (state.OutputFile.empty())
            RaiseError(errOpenLandXml, "No output file is set");
        const std::filesystem::path output = Utf8Path(state.OutputFile);
        std::error_code ec;
        if (std::filesystem::is_directory(output, ec))
            RaiseError(errOpenLandXml, "'" + state.OutputFile + "' is a folder");
        state.Main = CreateWorkFile(output, state.WorkFile);
        // The channels hand over whole pieces: no second buffer behind them.
        std::setvbuf(state.Main, nullptr, _IONBF, 0);
        state.MainPending.reserve(kWriterPieceBytes + 4096);
        if (AppModel().IsOstXML) {
            const std::filesystem::path side = SideFilePath();
            errno = 0;
            state.Side = OpenCFile(side, FileOpen::Write);
            if (state.Side == nullptr) {
                const int error = errno;
                DiscardOutput();
                RaiseError(errOpenLandXml,
                           "Cannot create the file '" + PathText(side) + "': " + ReasonOf(error));
            }
            std::setvbuf(state.Side, nullptr, _IONBF, 0);
            state.SideFile = side;
        }
        state.MainLevel = 0;
        state.SideLevel = 0;
        Trace("<< OpenFile");
        return true;
    });
}

bool IsFileOpen() { return LandXmlWriter().Main != nullptr; }

void CloseFile() {
    LandXmlWriterState &state = LandXmlWriter();
    if (!CloseStream(state.Main, state.MainPending))
        state.WriteFailed = true;
    if (!CloseStream(state.Side, state.SidePending))
        state.WriteFailed = true;
}

bool CommitOutput() {
    return Guarded("CLandXML.CommitOutput", false, [&] {
        LandXmlWriterState &state = LandXmlWriter();
        CloseFile();
        if (state.WorkFile.empty())
            RaiseError(errOpenLandXml, "No document was written to '" + state.OutputFile + "'");
        if (state.WriteFailed) {
            DiscardOutput();
            RaiseError(errOpenLandXml, "The document '" + state.OutputFile +
                                           "' could not be written completely; it was not saved");
        }
        if (!state.RootClosed) {
            DiscardOutput();
            RaiseError(errOpenLandXml, "The document '" + state.OutputFile +
                                           "' was not completed; it was not saved");
        }
        std::error_code ec;
        std::filesystem::rename(state.WorkFile, Utf8Path(state.OutputFile), ec);
        if (ec) {
            DiscardOutput();
            RaiseError(errOpenLandXml,
                       "Cannot replace the file '" + state.OutputFile + "': " + ec.message());
        }
        state.WorkFile.clear();
        RemoveQuietly(state.SideFile);
        return true;
    });
}

void DiscardOutput() {
    LandXmlWriterState &state = LandXmlWriter();
    DropStream(state.Main, state.MainPending);
    DropStream(state.Side, state.SidePending);
    RemoveQuietly(state.WorkFile);
    RemoveQuietly(state.SideFile);
}

// ---- Line writers -----------------------------------------------------------------

bool WriteLn(std::string_view line) { return WriteChannel(false, 0, {line}); }

bool WriteLnOst(std::string_view line) { return WriteChannel(true, 0, {line}); }

bool WriteLnOpen(std::string_view line) {
    LandXmlWriterState &state = LandXmlWriter();
    const bool written = WriteChannel(false, state.MainLevel, {line});
    StepLevel(state.MainLevel, +1, "CLandXML.WriteLnOpen");
    return written;
}

bool WriteLnAt(std::string_view line) {
    return WriteChannel(false, LandXmlWriter().MainLevel, {line});
}

bool WriteLnAt(std::string_view open, std::string_view text, std::string_view close) {
    return WriteChannel(false, LandXmlWriter().MainLevel, {open, text, close});
}

bool WriteLnClose(std::string_view line) {
    LandXmlWriterState &state = LandXmlWriter();
    if (!StepLevel(state.MainLevel, -1, "CLandXML.WriteLnClose"))
        return false;
    return WriteChannel(false, state.MainLevel, {line});
}

bool WriteLnOpenOst(std::string_view line) {
    LandXmlWriterState &state = LandXmlWriter();
    const bool written = WriteChannel(true, state.SideLevel, {line});
    StepLevel(state.SideLevel, +1, "CLandXML.WriteLnOpenOst");
    return written;
}

bool WriteLnAtOst(std::string_view line) {
    return WriteChannel(true, LandXmlWriter().SideLevel, {line});
}

bool WriteLnCloseOst(std::string_view line) {
    LandXmlWriterState &state = LandXmlWriter();
    if (!StepLevel(state.SideLevel, -1, "CLandXML.WriteLnCloseOst"))
        return false;
    return WriteChannel(true, state.SideLevel, {line});
}

bool WriteLnAtOstLevel(std::string_view line) {
    return WriteChannel(false, LandXmlWriter().SideLevel, {line});
}

std::uint8_t MainLevel() { return LandXmlWriter().MainLevel; }
std::uint8_t SideLevel() { return LandXmlWriter().SideLevel; }
void SetSideLevel(std::uint8_t level) { LandXmlWriter().SideLevel = level; }

// ---- Text helpers -----------------------------------------------------------------

std::string PointText(double x, double y) {
    return FormatDecimals(y, 6) + " " + FormatDecimals(x, 6);
}

bool MergeSideFile() {
    return Guarded("CLandXML.MergeSideFile", false, [&] {
        LandXmlWriterState &state = LandXmlWriter();
        if (state.SideFile.empty())
            RaiseError(errBadFileNumber, "Bad file name or number: no side file is open");
        if (!CloseStream(state.Side, state.SidePending))
            state.WriteFailed = true;
        std::string content;
        {
            errno = 0;
            std::FILE *side = OpenCFile(state.SideFile, FileOpen::Read);
            if (side == nullptr)
                RaiseError(errFileNotFound, "File not found: '" + PathText(state.SideFile) +
                                                "': " + ReasonOf(errno));
            char buffer[65536];
            std::size_t got = 0;
            while ((got = std::fread(buffer, 1, sizeof buffer, side)) > 0)
                content.append(buffer, got);
            const bool readFailed = std::ferror(side) != 0;
            std::fclose(side);
            if (readFailed)
                RaiseError(errDeviceIo,
                           "Device I/O error: cannot read '" + PathText(state.SideFile) + "'");
        }
        bool written = true;
        std::size_t start = 0;
        while (start < content.size()) {
            std::size_t end = content.find("\r\n", start);
            if (end == std::string::npos)
                end = content.size();
            written = WriteLn(std::string_view(content).substr(start, end - start)) && written;
            start = end + 2;
        }
        RemoveQuietly(state.SideFile);
        return written;
    });
}

} // namespace vialto
