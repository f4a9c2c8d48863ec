// A stand-in for a sibling editor: appends the arguments it was started with,
// each ended by a NUL, to the file named by VIALTO_FAKE_EDITOR_LOG, and ends.
// A test copies it under an editor's name into the program folder.
#include <cstdlib>
#include <fstream>

int main(int argc, char **argv) {
    const char *log = std::getenv("VIALTO_FAKE_EDITOR_LOG");
    if (!log)
        return 2;
    std::ofstream out(log, std::ios::binary | std::ios::app);
    for (int i = 1; i < argc; ++i)
        out << argv[i] << '\0';
    out << '\n';
    return out ? 0 : 3;
}
