// The input-files page: pages of file rows (one page per track of a double
// track), each with four slots, the vertical option's two ways of sampling,
// the rails' vertical choice for a double track, and the sibling editors
// behind the edit buttons. The last file of every row is remembered per user
// in the settings store and offered again the next time.
#pragma once

#include "shell/Settings.h"
#include "wizard/WizardControls.h"

#include <QWidget>

#include <array>
#include <vector>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QStackedWidget;

namespace vialto {

class ctlRails;
class ctlSelectFilename;

class ctlFiles : public QWidget, public IFilesControl {
    Q_OBJECT
  public:
    explicit ctlFiles(ISettings &settings, QWidget *parent = nullptr);

    int PagesTot() const override { return static_cast<int>(pages_.size()); }
    void DeleteAllPages() override;
    void AddPage(const std::string &title) override;
    void ConfigFile(int page, int slot, const std::string &description, const std::string &filter,
                    EditorKind editor) override;
    void ConfigOption(int page, int slot, const std::string &caption, bool value) override;
    void ConfigFilter(int page, int slot, const std::string &filter);
    void SetTracks(int tracks) override;
    bool IsSelected(int page, int slot) const override;
    bool IsOptionSelected(int page, int slot) const override;
    bool IsVtSubOptionSelected(int page, int subOption) const override;
    std::string GetFile(int page, int slot) const override;
    std::string GetName(int page, int slot) const override;
    int GetFilterIndex(int page, int slot) const override;
    int GetDefaultFilterIndex(int slot) const override;
    void SetDefaultFilterIndex(int slot, int index) override;
    void ShowPage(int page) override;
    void SetFocusTo(int page, int slot) override;
    void ShowResume(bool visible) override;
    int VtDefAlignment() const override;
    // The first chosen file that does not exist, as (page, slot); (0, 0) when
    // every chosen file exists.
    std::pair<int, int> ExistAllFiles() const;
    ctlRails *GetRailsCtrl() const { return rails_; }
    int CurrentPage() const { return current_; }
    // The row widget, or nullptr.
    ctlSelectFilename *Row(int page, int slot) const;
    void UpdateText();

  protected:
    // Leaving the page stores every row's file.
    void hideEvent(QHideEvent *event) override;

  private:
    struct FilePage {
        QWidget *Widget = nullptr;
        QGroupBox *Frame = nullptr;
        std::array<ctlSelectFilename *, 4> Rows{};
        std::array<bool, 4> Configured{};
        QWidget *SubOptions = nullptr;
        QButtonGroup *SubGroup = nullptr;
        std::array<QRadioButton *, 2> Sub{};
        bool Remembered = false; // the remembered files were read back
    };
    FilePage *Page(int page);
    const FilePage *Page(int page) const;
    void ReadRemembered(int page);
    void Remember(int page, int slot);
    void RememberOption(int page);
    void RunEditor(int page, int slot);
    void ShowSummary();
    void UpdatePageLabel();

    ISettings &settings_;
    std::vector<FilePage> pages_;
    int current_ = 0;
    int tracks_ = 0;
    std::array<int, 4> defaultFilters_{1, 1, 1, 1};
    QStackedWidget *stack_;
    QWidget *navigation_;
    QPushButton *previous_;
    QPushButton *next_;
    QLabel *pageLabel_;
    QWidget *railOptions_;
    QLabel *doubleTrackInfo_;
    QLabel *railVtLabel_;
    QComboBox *railVt_;
    QPushButton *resume_;
    ctlRails *rails_;
};

} // namespace vialto
