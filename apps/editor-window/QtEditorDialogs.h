// The editors' questions as Qt dialogs: the native save dialog and modal
// message boxes over the editor's window.
#pragma once

#include "editors/EditorSession.h"

class QWidget;

namespace vialto::editors {

class QtEditorDialogs final : public IEditorDialogs {
  public:
    // The window the dialogs belong to; may change once the window exists.
    void SetParent(QWidget *parent) { parent_ = parent; }

    std::string AskSavePath(const std::string &caption, const std::string &proposed,
                            const std::string &filter) override;
    bool Confirm(const std::string &question) override;
    Unsaved AskUnsaved(const std::string &question) override;
    void Tell(const std::string &problem) override;

  private:
    QWidget *parent_ = nullptr;
};

} // namespace vialto::editors
