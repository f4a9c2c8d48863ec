// Where the program meets the operating system: its own folder, the logged-on
// user, the temporary folder, file names, the command line, the console and
// the heap.
// This is the one unit that knows which system it runs on.
//
// Texts are UTF-8 everywhere in the program, file names included. A file name
// becomes a std::filesystem::path only through Utf8Path (on Windows a wide
// path, so names beyond the ANSI code page open), and a path becomes text only
// through PathText. On Windows "\" and "/" both separate folders.
#pragma once

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vialto {

// The path named by a UTF-8 text.
std::filesystem::path Utf8Path(std::string_view utf8);
// The UTF-8 text of a path.
std::string PathText(const std::filesystem::path &path);

// How OpenCFile opens a file, always in binary mode.
enum class FileOpen {
    Read,      // an existing file
    Write,     // created, or emptied when it exists
    CreateNew, // created; fails (errno EEXIST) when a file of that name exists
};
// Opens a C stream on the file; nullptr with errno set on failure.
std::FILE *OpenCFile(const std::filesystem::path &path, FileOpen how);

// The folder of the running program, from the system's name of its own
// executable file (the current folder where the system gives none).
std::string ExecutableFolder();

// What the system appends to a program's file name: ".exe" on Windows, ""
// elsewhere.
std::string ExecutableSuffix();

// The name of the user logged on to the system ("" when it cannot be told).
std::string LoggedOnUserName();

// The calendar time of a moment in the local time zone.
std::tm LocalTime(std::time_t moment);

// The system's temporary folder, or nothing when it cannot be obtained.
std::optional<std::filesystem::path> TemporaryFolder();

// The program's arguments in UTF-8, without the program's name.
std::vector<std::string> ProgramArguments(int argc, char **argv);

// The arguments part of the command line exactly as the caller passed it (the
// program's name and the blanks after it removed), where the system keeps it:
// on Windows. Nothing elsewhere, where only the split arguments exist.
std::optional<std::string> RawCommandLine();

// Makes standard output and standard error carry UTF-8 text to the console:
// on Windows a console shows the characters themselves instead of the bytes
// read in its code page; files and pipes receive the UTF-8 bytes. Call once,
// first thing in main.
void UseUtf8Console();

// Prepares the heap for a conversion's large working set: what one stage
// frees is kept for the next, and the heap grows in large pages where the
// system offers them. Each fresh page costs the system a fault, which on a
// virtual machine takes microseconds; a long road touches tens of thousands.
// Call once, first thing in main, before any thread starts; it changes
// nothing a program computes.
void UseLargeHeapPages();

// Gives the heap's free memory back to the system when there is 8 MB or more
// of it, without shortening the heap: after a stage that held much more than
// the next ones need, such as reading a cross-section listing.
void ReleaseFreeMemory();

} // namespace vialto
