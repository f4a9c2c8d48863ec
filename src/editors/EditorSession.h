// One editing session of a sibling editor: the file, what the converter's
// reader says about it, its table, and the steps a user takes - open, make a
// template, save, save as, close - with the questions they raise asked through
// a small dialog interface, so the flow runs without a window in the tests.
#pragma once

#include "editors/EditorKind.h"

#include <optional>
#include <string>

namespace vialto::editors {

// The questions a session asks the person in front of it.
class IEditorDialogs {
  public:
    virtual ~IEditorDialogs() = default;
    // The save dialog: the chosen path, "" when cancelled.
    virtual std::string AskSavePath(const std::string &caption, const std::string &proposed,
                                    const std::string &filter) = 0;
    // A yes/no question; true for yes.
    virtual bool Confirm(const std::string &question) = 0;
    enum class Unsaved { Save, Discard, Cancel };
    virtual Unsaved AskUnsaved(const std::string &question) = 0;
    // Tells why something failed.
    virtual void Tell(const std::string &problem) = 0;
};

class EditorSession {
  public:
    explicit EditorSession(EditorKind kind) : kind_(std::move(kind)) {}

    // Asks the converter's reader about the file, then reads its rows for
    // editing. True when the rows could be read; otherwise Table() is empty
    // and LoadProblem() says why. Opening never writes.
    bool Open(const std::string &path);

    // Writes a fresh template to path, asking where with the save dialog when
    // path is "", then opens it. False when cancelled or when it could not be
    // written (the dialogs were told why).
    bool CreateTemplate(std::string path, IEditorDialogs &dialogs);

    // Saves the rows over the file. A file the reader refused when it was
    // opened is replaced only after the user agrees. Rows that break a rule
    // are not saved: the dialogs are told which and why. After a save the
    // verdict is asked again, of the saved file.
    bool Save(IEditorDialogs &dialogs);
    // Saves the rows as another file, chosen with the save dialog.
    bool SaveAs(IEditorDialogs &dialogs);
    // Whether the window may close: true unless the user, asked about unsaved
    // changes, cancels or a save they asked for fails.
    bool MayClose(IEditorDialogs &dialogs);

    const EditorKind &Kind() const { return kind_; }
    const std::string &Path() const { return path_; }
    const ReaderVerdict &Verdict() const { return verdict_; }
    const std::string &LoadProblem() const { return loadProblem_; }
    bool Editable() const { return table_.has_value(); }
    bool Modified() const { return modified_; }
    const TableDocument &Table() const { return *table_; }

    // Edits, each "" when taken or why not (see XmlTable.h).
    std::string SetHeader(std::size_t field, const std::string &text);
    std::string SetCell(std::size_t row, std::size_t column, const std::string &text);
    void AddRow(std::size_t at);
    void DeleteRow(std::size_t row);

  private:
    bool WriteTo(const std::string &path, IEditorDialogs &dialogs);

    EditorKind kind_;
    std::string path_;
    ReaderVerdict verdict_;
    std::string loadProblem_;
    std::optional<TableDocument> table_;
    bool modified_ = false;
    bool refusedOnOpen_ = false;
};

} // namespace vialto::editors
