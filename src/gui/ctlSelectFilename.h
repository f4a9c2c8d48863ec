// One file row of the input-files page: the row's description, a tick box
// that says whether the file is used, the file name (typed, chosen with the
// "…" button or dropped onto the box), an optional edit button that starts a
// sibling editor, and an optional option tick box under it.
#pragma once

#include "wizard/SiblingEditors.h"

#include <QStringList>
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vialto {

class ctlSelectFilename : public QWidget {
    Q_OBJECT
  public:
    // page and slot name the row's widgets ("file.<page>.<slot>...").
    ctlSelectFilename(int page, int slot, QWidget *parent = nullptr);

    // The dialog filter in the classic "description|patterns|..." form.
    void SetFilter(const std::string &classicFilter);
    // The file type chosen in the open dialog, counted from 1.
    int FilterIndex() const { return filterIndex_; }
    void SetFilterIndex(int index) { filterIndex_ = index; }
    QString Filename() const;
    void SetFilename(const QString &filename);
    // Whether the file is used; ticked by choosing a file.
    bool Checked() const;
    void SetChecked(bool checked);
    QString FileTitle() const;
    void SetFileTitle(const QString &title);
    void ShowEditButton(bool visible);
    // The editor the edit button starts (None: no edit button).
    EditorKind EditCmd() const { return editor_; }
    void SetEditCmd(EditorKind editor);
    // The file's title without folder and extension.
    QString GetName() const;
    QString GetFilename() const { return Filename(); }
    void ShowOption(bool visible);
    bool OptionVisible() const;
    bool OptionValue() const;
    void SetOptionValue(bool value);
    QString OptionCaption() const;
    void SetOptionCaption(const QString &caption);
    QLineEdit *Edit() const { return edit_; }
    // The file box and its "…" button (off while the option supplies the data).
    void SetFileEnabled(bool enabled);

  signals:
    // The user changed the file (typed and left the box, browsed or dropped).
    void FileChosen();
    void OptionToggled(bool value);
    void EditRequested();

  protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

  private:
    void Browse();

    QLabel *title_;
    QCheckBox *use_;
    QLineEdit *edit_;
    QPushButton *browse_;
    QPushButton *editButton_;
    QCheckBox *option_;
    QStringList filters_;
    int filterIndex_ = 1;
    EditorKind editor_ = EditorKind::None;
};

} // namespace vialto
