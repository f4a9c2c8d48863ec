// The platform seam on Windows: the command line as the caller wrote it, the
// program's folder, the user and the temporary folder against the system's
// own calls, and both separators in paths.
#include "shell/AppModel.h"
#include "shell/ErrHandler.h"
#include "shell/Platform.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

using namespace vialto;

namespace {

struct ProbeRun {
    DWORD ExitCode = 0;
    std::string Output; // what the probe printed
};

// Starts the probe with exactly `arguments` after its quoted name, its
// standard output going to a file, and waits for it.
ProbeRun RunProbe(const std::string &arguments, const std::filesystem::path &folder) {
    const std::filesystem::path probe = Utf8Path(VIALTO_BIN_DIR) / "command_line_probe.exe";
    const std::filesystem::path printed = folder / "printed.txt";
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const HANDLE out = CreateFileW(printed.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(out, INVALID_HANDLE_VALUE);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out;
    startup.hStdError = out;
    std::wstring line = L"\"" + probe.native() + L"\" " + Utf8Path(arguments).native();
    PROCESS_INFORMATION process{};
    ProbeRun run;
    if (!CreateProcessW(probe.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &process)) {
        ADD_FAILURE() << "cannot start " << PathText(probe);
        CloseHandle(out);
        return run;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &run.ExitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    CloseHandle(out);
    run.Output = vialto::test::ReadFileBytes(printed);
    return run;
}

std::string Narrow(const wchar_t *wide) { return PathText(std::filesystem::path(wide)); }

} // namespace

// The command line reaches the rules as the caller wrote it: a quoted path
// with blanks or with names beyond the ANSI code page, and a path without
// quotes, which the rules refuse (the split arguments would have hidden it).
TEST(WindowsSeam, CommandLineReadRaw) {
    vialto::test::TempDir dir;
    const std::string base = PathText(dir.Path());
    const std::string folder = PathText(Utf8Path(ExecutableFolder()));
    const struct {
        std::string Arguments;
        DWORD ExitCode;
        std::string Printed;
    } cases[] = {
        {"-o \"" + base + "\\obra 1\\salida.xml\" -n \"Obra7\"", 0,
         base + "\\obra 1\\salida.xml\nObra7\n" + folder + "\n"},
        {"-o \"" + base + "\\Año 2026\\Łódź  Ω.xml\"", 0,
         base + "\\Año 2026\\Łódź  Ω.xml\n\n" + folder + "\n"},
        {"-n \"x\" -o " + base + "\\unquoted.xml", 1, ""},
        {"-o -reg", 1, ""},
    };
    for (const auto &c : cases) {
        ProbeRun run = RunProbe(c.Arguments, dir.Path());
        std::erase(run.Output, '\r'); // standard output is in text mode
        EXPECT_EQ(run.ExitCode, c.ExitCode) << c.Arguments;
        if (c.ExitCode == 0)
            EXPECT_EQ(run.Output, c.Printed) << c.Arguments;
        else // the reason goes to the console
            EXPECT_NE(run.Output.find("ReadLineCommand"), std::string::npos) << run.Output;
    }
}

TEST(WindowsSeam, AnswersAreTheSystems) {
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    EXPECT_EQ(Utf8Path(ExecutableFolder()), std::filesystem::path(module).parent_path());

    wchar_t user[257] = {};
    DWORD size = 257;
    ASSERT_TRUE(GetUserNameW(user, &size));
    EXPECT_EQ(LoggedOnUserName(), Narrow(user));
    EXPECT_EQ(AppModel().ConversionInfo().GetCreator(), Narrow(user));

    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    EXPECT_EQ(TemporaryFolder().value_or(""), std::filesystem::path(temp));
    EXPECT_EQ(LogFilePath().native(), std::wstring(temp) + L"ZMPA_Converters.log");
}

// "\" and "/" both separate folders, mixed in one path too.
TEST(WindowsSeam, BothSeparators) {
    vialto::test::TempDir dir;
    std::filesystem::create_directories(dir.Path() / "a" / "b");
    const std::string mixed = PathText(dir.Path()) + "/a\\b/Túnel ñ.plt";
    std::FILE *file = OpenCFile(Utf8Path(mixed), FileOpen::Write);
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    EXPECT_TRUE(std::filesystem::is_regular_file(dir.Path() / "a" / "b" / Utf8Path("Túnel ñ.plt")));
    EXPECT_EQ(PathText(Utf8Path(mixed).filename()), "Túnel ñ.plt");
    EXPECT_EQ(FileNameOfPath(mixed), "Túnel ñ.plt");
}
