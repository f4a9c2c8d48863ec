// The language file "StridonV2.lng": every user-visible text of the program is
// looked up by a token in it. One entry per line, "KEY = value"; "#" starts a
// comment; a line with no "=" or more than one is ignored; "\n" in a value
// stands for a line break. Keys compare exactly and the first one wins; a
// token that is missing shows its own name. The file is read as UTF-8.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace vialto {

class clsLanguageFile {
  public:
    // Reads ProgramFolder() + "/" + sFile. True when it was read to its end;
    // on failure (no such file, a folder, a read error) the error goes to the
    // error handler as "clsLanguageFile.ReadFile" and the entries are left
    // empty.
    bool ReadFile(const std::string &sFile);
    // Reads entries from text (the body of ReadFile, for any source).
    void ReadText(const std::string &text);
    std::string GetToken(const std::string &sToken) const;
    const std::vector<std::pair<std::string, std::string>> &Entries() const { return entries_; }

  private:
    std::vector<std::pair<std::string, std::string>> entries_;
};

} // namespace vialto
