// The file type filters of the open dialogs. The input-files page keeps them
// in the classic "description|patterns|description|patterns" form
// ("Planta (*.plt;*.rtf,*.txt)|*.plt;*.rtf;*.txt"); the dialog wants one
// entry per file type with its patterns in parentheses, separated by blanks
// ("Planta (*.plt *.rtf *.txt)"). A file type index counts these entries
// from 1.
#pragma once

#include <string>
#include <vector>

namespace vialto {

// The dialog's entries, in order. A description loses its own parenthesised
// list (which may disagree with the patterns); "*.*" becomes "*" (every file,
// with or without an extension); an empty description shows the patterns.
std::vector<std::string> DialogFilters(const std::string &classicFilter);

} // namespace vialto
