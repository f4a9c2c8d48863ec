#include "import/PointCodes.h"

#include <initializer_list>

namespace vialto {

namespace {

struct CodeFamily {
    std::initializer_list<std::string_view> TwoLetter;
    std::string_view OneLetter; // each character is a prefix
};

// Two-letter prefixes first: "MD" belongs to Taludes although "M" alone
// belongs nowhere.
const CodeFamily kFamilies[4] = {
    {{"MI", "MD"}, "CTD"},
    {{}, ""},
    {{"MU", "MF", "MB", "ME", "MS"}, "UFBES"},
    {{"MP"}, "P"},
};

// The keyword starting at the code's second character.
bool KeywordAfterPrefix(std::string_view code, std::string_view keyword) {
    return code.size() > 1 && code.substr(1, keyword.size()) == keyword;
}

} // namespace

bool IsCodeOfKind(long kind, std::string_view code) {
    if (kind < 0 || kind > 3 || code.empty())
        return false;
    const CodeFamily &family = kFamilies[kind];
    for (std::string_view prefix : family.TwoLetter)
        if (code.substr(0, 2) == prefix)
            return true;
    return family.OneLetter.find(code.front()) != std::string_view::npos;
}

std::string LayerNameOfCode(std::string_view code) {
    struct Row {
        std::initializer_list<std::string_view> Keywords;
        const char *Layer;
    };
    static const Row rows[] = {
        {{"CUNETA", "DESMO", "TERRA", "MURO"}, "Taludes"},
        {{"SUBRAS"}, "Subrasante"},
        {{"EXPLA"}, "Explanada"},
        {{"CAPAF"}, "Capa de Forma"},
        {{"SUBBAL"}, "Subbalasto"},
        {{"BALASTO"}, "Balasto"},
        {{"CAJERO"}, "Cajero"},
    };
    // A wall code may come without its prefix character.
    if (code.substr(0, 4) == "MURO")
        return "Taludes";
    for (const Row &row : rows)
        for (std::string_view keyword : row.Keywords)
            if (KeywordAfterPrefix(code, keyword))
                return row.Layer;
    return "Plataforma";
}

} // namespace vialto
