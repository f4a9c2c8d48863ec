#include "editors/EditorSession.h"

#include "editors/SaveFile.h"
#include "shell/Error.h"

namespace vialto::editors {

bool EditorSession::Open(const std::string &path) {
    path_ = path;
    verdict_ = kind_.AskReader(path);
    refusedOnOpen_ = !verdict_.Accepted;
    modified_ = false;
    loadProblem_.clear();
    table_.reset();
    try {
        table_ = ReadTable(path, kind_.ChooseDef);
    } catch (const VialtoError &error) {
        loadProblem_ = error.Info().Description;
    } catch (const std::exception &error) {
        loadProblem_ = error.what();
    }
    return table_.has_value();
}

bool EditorSession::CreateTemplate(std::string path, IEditorDialogs &dialogs) {
    if (path.empty())
        path = dialogs.AskSavePath("New " + kind_.FileKind, kind_.ProposedName, kind_.Filter);
    if (path.empty())
        return false;
    const std::string problem =
        SaveReplacing(path, WriteTable(TableFromText(kind_.TemplateText(), kind_.ChooseDef)));
    if (!problem.empty()) {
        dialogs.Tell(problem);
        return false;
    }
    return Open(path);
}

bool EditorSession::WriteTo(const std::string &path, IEditorDialogs &dialogs) {
    if (!table_) {
        dialogs.Tell("Nothing to save: " + loadProblem_);
        return false;
    }
    const std::string problem = SaveProblem(kind_, *table_);
    if (!problem.empty()) {
        dialogs.Tell("The " + kind_.FileKind + " was not saved. " + problem + ".");
        return false;
    }
    const std::string failure = SaveReplacing(path, WriteTable(*table_));
    if (!failure.empty()) {
        dialogs.Tell(failure);
        return false;
    }
    // Show what the saved file now says (the format version, for one).
    return Open(path);
}

bool EditorSession::Save(IEditorDialogs &dialogs) {
    if (refusedOnOpen_ && table_ &&
        !dialogs.Confirm("The converter refused this file when it was opened:\n" +
                         VerdictLine(verdict_) + "\n\nReplace it with the rows shown?"))
        return false;
    return WriteTo(path_, dialogs);
}

bool EditorSession::SaveAs(IEditorDialogs &dialogs) {
    const std::string path = dialogs.AskSavePath(
        "Save " + kind_.FileKind + " as", path_.empty() ? kind_.ProposedName : path_, kind_.Filter);
    return !path.empty() && WriteTo(path, dialogs);
}

bool EditorSession::MayClose(IEditorDialogs &dialogs) {
    if (!modified_)
        return true;
    switch (dialogs.AskUnsaved("The " + kind_.FileKind +
                               " has changes that are not saved. Save them?")) {
    case IEditorDialogs::Unsaved::Save:
        return Save(dialogs);
    case IEditorDialogs::Unsaved::Discard:
        return true;
    case IEditorDialogs::Unsaved::Cancel:
        break;
    }
    return false;
}

std::string EditorSession::SetHeader(std::size_t field, const std::string &text) {
    if (!table_)
        return loadProblem_;
    if (text == table_->Header.at(field))
        return {};
    std::string problem = SetHeaderText(*table_, field, text);
    modified_ = modified_ || problem.empty();
    return problem;
}

std::string EditorSession::SetCell(std::size_t row, std::size_t column, const std::string &text) {
    if (!table_)
        return loadProblem_;
    if (text == CellText(*table_, row, column))
        return {};
    std::string problem = SetCellText(*table_, row, column, text);
    modified_ = modified_ || problem.empty();
    return problem;
}

void EditorSession::AddRow(std::size_t at) {
    if (!table_)
        return;
    InsertRow(*table_, at);
    modified_ = true;
}

void EditorSession::DeleteRow(std::size_t row) {
    if (!table_ || row >= table_->Rows.size())
        return;
    RemoveRow(*table_, row);
    modified_ = true;
}

} // namespace vialto::editors
