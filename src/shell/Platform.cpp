#include "shell/Platform.h"

#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cerrno>
#include <iostream>
#include <streambuf>
#else
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <pwd.h>
#include <unistd.h>
#if defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#endif
#endif

namespace vialto {

#ifdef _WIN32

namespace {

std::wstring Wide(std::string_view utf8) {
    if (utf8.empty())
        return {};
    const int size = static_cast<int>(utf8.size());
    const int count = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(count), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), count);
    return wide;
}

std::string Narrow(std::wstring_view wide) {
    if (wide.empty())
        return {};
    const int size = static_cast<int>(wide.size());
    const int count =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(count), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), count, nullptr, nullptr);
    return utf8;
}

// Standard output or error on a console: the UTF-8 bytes written are turned
// into characters and written as such, so the console's code page does not
// matter. A character cut between two writes waits for its last bytes.
class ConsoleBuffer final : public std::streambuf {
  public:
    explicit ConsoleBuffer(HANDLE console) : console_(console) { setp(buffer_, buffer_ + kSize); }

  protected:
    int_type overflow(int_type c) override {
        if (sync() != 0)
            return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }

    int sync() override {
        pending_.append(pbase(), pptr());
        setp(buffer_, buffer_ + kSize);
        const std::size_t complete = CompletePrefix(pending_);
        const std::wstring text = Wide(std::string_view(pending_).substr(0, complete));
        pending_.erase(0, complete);
        DWORD written = 0;
        return text.empty() || WriteConsoleW(console_, text.data(), static_cast<DWORD>(text.size()),
                                             &written, nullptr)
                   ? 0
                   : -1;
    }

  private:
    // The length of bytes that does not end inside a UTF-8 sequence.
    static std::size_t CompletePrefix(const std::string &bytes) {
        std::size_t start = bytes.size();
        for (int back = 0; back < 4 && start > 0; ++back) {
            const unsigned char byte = static_cast<unsigned char>(bytes[start - 1]);
            if ((byte & 0xC0) != 0x80) { // a lead byte or a single one
                const std::size_t need = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
                return bytes.size() - (start - 1) >= need ? bytes.size() : start - 1;
            }
            --start;
        }
        return bytes.size(); // no lead byte in reach: not UTF-8, pass it on
    }

    static constexpr std::size_t kSize = 1024;
    HANDLE console_;
    char buffer_[kSize];
    std::string pending_;
};

void WriteStreamToConsole(std::ostream &stream, DWORD which) {
    const HANDLE handle = GetStdHandle(which);
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || handle == nullptr || !GetConsoleMode(handle, &mode))
        return; // a file or a pipe: it gets the UTF-8 bytes unchanged
    stream.flush();
    // Never freed: the standard streams flush into it until the very end.
    stream.rdbuf(new ConsoleBuffer(handle));
}

} // namespace

std::filesystem::path Utf8Path(std::string_view utf8) { return std::filesystem::path(Wide(utf8)); }

std::string PathText(const std::filesystem::path &path) { return Narrow(path.native()); }

std::FILE *OpenCFile(const std::filesystem::path &path, FileOpen how) {
    switch (how) {
    case FileOpen::Read:
        return _wfopen(path.c_str(), L"rb");
    case FileOpen::Write:
        return _wfopen(path.c_str(), L"wb");
    case FileOpen::CreateNew:
        break;
    }
    // The C library's fopen has no exclusive mode here; the open call has.
    const int fd =
        _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0)
        return nullptr;
    std::FILE *file = _fdopen(fd, "wb");
    if (file == nullptr)
        _close(fd);
    return file;
}

std::string ExecutableFolder() {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0)
            break;
        if (length < name.size()) {
            name.resize(length);
            return PathText(std::filesystem::path(name).parent_path());
        }
        name.resize(name.size() * 2);
    }
    std::error_code ec;
    return PathText(std::filesystem::current_path(ec));
}

std::string ExecutableSuffix() { return ".exe"; }

std::string LoggedOnUserName() {
    wchar_t name[257] = {}; // the system's longest user name and its NUL
    DWORD size = 257;
    if (!GetUserNameW(name, &size))
        return {};
    return Narrow(name);
}

std::tm LocalTime(std::time_t moment) {
    std::tm local{};
    localtime_s(&local, &moment);
    return local;
}

std::optional<std::filesystem::path> TemporaryFolder() {
    // The system's answer ends with a backslash and fits MAX_PATH.
    wchar_t folder[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH)
        return std::nullopt;
    return std::filesystem::path(std::wstring(folder, length));
}

std::vector<std::string> ProgramArguments(int, char **) {
    int count = 0;
    wchar_t **wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; wide != nullptr && i < count; ++i)
        args.push_back(Narrow(wide[i]));
    LocalFree(wide);
    return args;
}

void UseLargeHeapPages() {}

void ReleaseFreeMemory() {}

std::optional<std::string> RawCommandLine() {
    const std::wstring_view line = GetCommandLineW();
    // The program's name is quoted when it holds a blank, and a quote inside
    // it is never escaped: it runs to the next quote, or else to a blank.
    std::size_t i = 0;
    if (!line.empty() && line[0] == L'"') {
        i = line.find(L'"', 1);
        i = i == std::wstring_view::npos ? line.size() : i + 1;
    }
    while (i < line.size() && line[i] != L' ' && line[i] != L'\t')
        ++i;
    while (i < line.size() && (line[i] == L' ' || line[i] == L'\t'))
        ++i;
    return Narrow(line.substr(i));
}

void UseUtf8Console() {
    SetConsoleOutputCP(CP_UTF8);
    WriteStreamToConsole(std::cout, STD_OUTPUT_HANDLE);
    WriteStreamToConsole(std::cerr, STD_ERROR_HANDLE);
}

#else // POSIX: file names and the console are UTF-8 bytes already.

std::filesystem::path Utf8Path(std::string_view utf8) { return std::filesystem::path(utf8); }

std::string PathText(const std::filesystem::path &path) { return path.string(); }

std::FILE *OpenCFile(const std::filesystem::path &path, FileOpen how) {
    switch (how) {
    case FileOpen::Read:
        return std::fopen(path.c_str(), "rb");
    case FileOpen::Write:
        return std::fopen(path.c_str(), "wb");
    case FileOpen::CreateNew:
        break;
    }
    return std::fopen(path.c_str(), "wbx");
}

std::string ExecutableFolder() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return (ec ? std::filesystem::current_path(ec) : self.parent_path()).string();
}

std::string ExecutableSuffix() { return {}; }

std::string LoggedOnUserName() {
    if (const passwd *pw = getpwuid(geteuid()); pw && pw->pw_name)
        return pw->pw_name;
    if (const char *user = std::getenv("USER"))
        return user;
    return {};
}

std::tm LocalTime(std::time_t moment) {
    std::tm local{};
    localtime_r(&moment, &local);
    return local;
}

std::optional<std::filesystem::path> TemporaryFolder() {
    std::error_code ec;
    std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
    if (ec)
        return std::nullopt;
    return folder;
}

std::vector<std::string> ProgramArguments(int argc, char **argv) {
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>{};
}

std::optional<std::string> RawCommandLine() { return std::nullopt; }

void UseUtf8Console() {}

void UseLargeHeapPages() {
#if defined(__GLIBC__) && defined(MADV_HUGEPAGE)
    // Blocks up to kHeapBlock come from the heap, so that what a stage frees
    // is reused by the next instead of being unmapped and touched afresh.
    // The heap grows by kHeapReserve at a time and keeps as much when it
    // shrinks; ReleaseFreeMemory gives free memory inside it back.
    constexpr std::size_t kLargePage = std::size_t{2} << 20;
    constexpr int kHeapBlock = 4 << 20;
    constexpr int kHeapReserve = 64 << 20;
    mallopt(M_MMAP_THRESHOLD, kHeapBlock);
    mallopt(M_TOP_PAD, kHeapReserve);
    mallopt(M_TRIM_THRESHOLD, 2 * kHeapReserve);
    // One heap for every thread: a thread's own heap would start small pages
    // of its own.
    mallopt(M_ARENA_MAX, 1);
    // Growing the heap now makes the reserve; large pages then back it.
    constexpr std::size_t kProbe = std::size_t{1} << 20;
    void *probe = std::malloc(kProbe);
    if (probe == nullptr)
        return;
    const auto from = reinterpret_cast<std::uintptr_t>(probe);
    const auto to = reinterpret_cast<std::uintptr_t>(sbrk(0));
    // Growing wrote the heap's bookkeeping just past the probe, which gave
    // that stretch small pages for good: large pages start beyond it.
    const std::uintptr_t first = (from + kProbe + kLargePage) & ~(kLargePage - 1);
    const std::uintptr_t last = to & ~(kLargePage - 1);
    std::free(probe);
    // Only when the probe came from the heap below the break.
    if (to == static_cast<std::uintptr_t>(-1) || from >= to || last <= first)
        return;
    madvise(reinterpret_cast<void *>(first), last - first, MADV_HUGEPAGE);
    // The heap below the first large page would be handed out first, in small
    // pages, and a small job would never reach a large one. That stretch is
    // held untouched for the life of the process (it costs address space,
    // not memory), so that the job's blocks start on a large page. Volatile,
    // or the compiler drops a block nobody reads.
    constexpr std::uintptr_t kChunkHeader = 2 * sizeof(std::size_t);
    static void *volatile belowFirstLargePage = nullptr;
    if (belowFirstLargePage == nullptr)
        belowFirstLargePage = std::malloc(first - from - 2 * kChunkHeader);
#endif
}

void ReleaseFreeMemory() {
#if defined(__GLIBC__)
    // Free blocks inside the heap go back to the system; the heap itself is
    // not shortened, for growing it again would come without large pages.
    // Less than kWorthGivingBack is kept: giving back part of a large page
    // splits it, and the next stage would touch those pages afresh.
    constexpr std::size_t kWorthGivingBack = std::size_t{8} << 20;
    const struct mallinfo2 heap = mallinfo2();
    if (heap.fordblks - heap.keepcost >= kWorthGivingBack)
        malloc_trim(std::numeric_limits<std::size_t>::max());
#endif
}

#endif

} // namespace vialto
