// The choice of the stringlines that stand for axes and rails, in pages: each
// page holds a number of choosers (ctlSelectString), each a list of the
// stringlines of one store slot. The page is not in the wizard's page list;
// its members serve the rail computation's callers.
#pragma once

#include "model/AlignmentStore.h"

#include <QWidget>

#include <vector>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QStackedWidget;

namespace vialto {

class ctlRails;

// One stringline chooser.
class ctlSelectString : public QWidget {
    Q_OBJECT
  public:
    explicit ctlSelectString(QWidget *parent = nullptr);
    // The store slot whose stringlines are offered.
    SlotNumber Aligment() const { return slot_; }
    void SetAligment(SlotNumber slot) { slot_ = slot; }
    QString Tittle() const;
    void SetTittle(const QString &title);
    // Clears the list, adds "----" first when asked, then every stringline
    // of the slot with its number as item data; returns the number of items.
    int FillCombo(bool withEmptyItem = false);
    QString SelectedString() const;
    long SelectedItemData() const;

  private:
    void UpdateInformation();

    SlotNumber slot_ = 1;
    QGroupBox *frame_;
    QComboBox *combo_;
    QLabel *information_;
};

class ctlSelectStrLns : public QWidget {
    Q_OBJECT
  public:
    explicit ctlSelectStrLns(QWidget *parent = nullptr);
    int PagesTot() const { return static_cast<int>(pages_.size()); }
    void AddPage(const QString &title, int stringlinesToSelect = 1);
    void DeleteAllPages();
    // Gives a chooser its title and fills it.
    void ConfigCtrl(int page, int element, const QString &title = {}, bool withEmptyItem = false);
    ctlRails *GetRailsCtrl() const { return rails_; }
    void ShowPage(int page);
    QString GetTotalToSelect(int page) const;
    // The name / item data of the stringline chosen on a chooser; "" / -1
    // (with an assertion logged) for a page or element that does not exist.
    std::string GetSelected(int page, int element) const;
    long GetSelectedItemData(int page, int element) const;
    // "$a$b$" of the chosen stringlines' numbers on the page.
    std::string GetSelectedStrLnsIdx(int page) const;
    ctlSelectString *Chooser(int page, int element) const;
    void UpdateText();

  private:
    // Raises the assertion 20000 "No valid page" / "No valid element".
    void IsOk(int page, int element) const;

    struct StrLnPage {
        QGroupBox *Frame;
        std::vector<ctlSelectString *> Choosers;
    };
    std::vector<StrLnPage> pages_;
    int current_ = 0;
    QStackedWidget *stack_;
    QLabel *pageLabel_;
    QPushButton *previous_;
    QPushButton *next_;
    ctlRails *rails_;
};

} // namespace vialto
