// The platform seam on the system the tests run on: file names beyond the
// ANSI code page, the program's folder, the temporary folder, the user.
#include "shell/Platform.h"

#include "shell/ErrHandler.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <vector>

using namespace vialto;

// "Año 2026" and "Túnel ñ" fit Windows-1252; "Łódź Ω" does not: a name read
// through the ANSI code page would lose it.
TEST(Platform, FileNamesBeyondTheAnsiCodePage) {
    vialto::test::TempDir dir;
    const std::filesystem::path folder = dir.Path() / Utf8Path("Año 2026");
    std::filesystem::create_directories(folder);
    for (const char *name : {"Túnel ñ.plt", "Łódź Ω.plt"}) {
        const std::filesystem::path path = folder / Utf8Path(name);
        errno = 0;
        EXPECT_EQ(OpenCFile(path, FileOpen::Read), nullptr); // not yet there
        EXPECT_EQ(errno, ENOENT);
        std::FILE *file = OpenCFile(path, FileOpen::Write);
        ASSERT_NE(file, nullptr) << name;
        std::fputs(name, file);
        std::fclose(file);
        EXPECT_TRUE(std::filesystem::is_regular_file(Utf8Path(PathText(path)))) << name;
        EXPECT_EQ(vialto::test::ReadFileBytes(path), name);
        EXPECT_EQ(OpenCFile(path, FileOpen::CreateNew), nullptr) << name;
        EXPECT_EQ(errno, EEXIST) << name;
    }
    EXPECT_EQ(vialto::test::FolderNames(folder),
              (std::vector<std::string>{"Túnel ñ.plt", "Łódź Ω.plt"}));
    EXPECT_EQ(PathText(folder.filename()), "Año 2026");
}

// The program's folder holds the program itself (the system tells it, not
// the current folder or the name the program was started by); the log lies
// in the temporary folder.
TEST(Platform, ProgramAndTemporaryFolders) {
    const std::filesystem::path folder = Utf8Path(ExecutableFolder());
    EXPECT_TRUE(folder.is_absolute()) << ExecutableFolder();
    EXPECT_TRUE(std::filesystem::is_regular_file(folder / ("test_shell" VIALTO_EXE_SUFFIX)))
        << ExecutableFolder();
    const std::optional<std::filesystem::path> temp = TemporaryFolder();
    ASSERT_TRUE(temp);
    EXPECT_TRUE(std::filesystem::is_directory(*temp));
    EXPECT_EQ(LogFilePath(), *temp / "ZMPA_Converters.log");
    EXPECT_FALSE(LoggedOnUserName().empty());
}

// The heap prepared for large pages holds what it is given: blocks of every
// size from a few bytes to beyond the heap's own, some freed (enough to be
// given back) and the free memory given back, keep their bytes.
TEST(Platform, LargeHeapPagesKeepEveryLiveBlock) {
    UseLargeHeapPages();
    std::vector<std::vector<unsigned char>> blocks;
    for (std::size_t size = 16; size <= (std::size_t{16} << 20); size *= 4)
        for (int copy = 0; copy < (size == (std::size_t{1} << 20) ? 40 : 2); ++copy)
            blocks.emplace_back(size, static_cast<unsigned char>(blocks.size() * 37 + 1));
    for (std::size_t k = 1; k < blocks.size(); k += 2)
        std::vector<unsigned char>().swap(blocks[k]);
    ReleaseFreeMemory();
    for (std::size_t k = 0; k < blocks.size(); k += 2) {
        const auto expected = static_cast<unsigned char>(k * 37 + 1);
        EXPECT_EQ(std::count(blocks[k].begin(), blocks[k].end(), expected),
                  static_cast<std::ptrdiff_t>(blocks[k].size()))
            << blocks[k].size();
    }
}
