// The one window of both sibling editors: what the converter's reader says
// about the file, the fields above the table, the table of profiles or
// stations, and the buttons to add and remove rows and to save. Every control
// has an object name and an accessible name ("verdict", "table", "addRow",
// "removeRow", "save", "saveAs", "close", "header.<attribute>").
#pragma once

#include "editors/EditorSession.h"

#include <QMainWindow>

#include <vector>

class QLabel;
class QPushButton;
class QTableView;
class QWidget;

namespace vialto::editors {

class SessionTableModel;

class EditorWindow final : public QMainWindow {
  public:
    EditorWindow(EditorSession &session, IEditorDialogs &dialogs, QWidget *parent = nullptr);
    ~EditorWindow() override;

    // Shows the session as it now stands (after opening or saving).
    void Refresh();

  protected:
    void closeEvent(QCloseEvent *event) override;

  private:
    void BuildHeader();
    void ShowVerdict();
    void UpdateButtons();
    void Report(const std::string &problem);
    void AddRow();
    void RemoveRows();
    void Save(bool as);

    EditorSession &session_;
    IEditorDialogs &dialogs_;
    SessionTableModel *model_ = nullptr;
    QLabel *verdictIcon_ = nullptr;
    QLabel *verdict_ = nullptr;
    QLabel *path_ = nullptr;
    QWidget *header_ = nullptr;
    std::vector<QWidget *> headerEditors_;
    QTableView *table_ = nullptr;
    QPushButton *add_ = nullptr;
    QPushButton *remove_ = nullptr;
    QPushButton *save_ = nullptr;
    QPushButton *saveAs_ = nullptr;
};

} // namespace vialto::editors
