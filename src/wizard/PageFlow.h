// The page flow of the wizard window: the list of pages, the current entry,
// and what Next, Back, Cancel, Finish and closing the window do. The
// controller (clsWizard) enters and leaves the pages through IPageHandlers;
// the window only shows what the flow tells it through IWizardWindow, so the
// whole flow runs without a window in the tests.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vialto {

// Every page has a fixed identifier: the key of its header and of the
// controller's dispatch.
enum WizardPageId : int {
    pageJobType = 0,
    pageFiles = 1,
    pageDetails = 2,
    pagePreferences = 3,
    pageImporting = 4,
    pageExporting = 5,
    pageResult = 6,
    pageSelectStrLn = 7,
    pageSelect = 8,
};
inline constexpr int kWizardPageCount = 9;

// The title and subtitle tokens of a page's header; none for the result page
// and unknown identifiers (their header stays as it is).
struct HeaderTokens {
    const char *Title;
    const char *Subtitle;
};
std::optional<HeaderTokens> PageHeaderTokens(int page);

// What the button row shows.
struct ButtonStates {
    bool BackEnabled = false;
    bool NextEnabled = true;
    bool NextIsFinish = false; // the caption is "BT_FINISH" instead of "BT_NEXT"
    bool CancelVisible = true;
    bool operator==(const ButtonStates &) const = default;
};

// What the flow asks of the controller.
class IPageHandlers {
  public:
    virtual ~IPageHandlers() = default;
    // False skips the page (entry) or keeps the user on it (exit).
    virtual bool IntroPage(int page) = 0;
    virtual bool ExitPage(int page) = 0;
    // The window is unloaded after Finish or closing: the preferences are
    // written back. Cancel never calls it.
    virtual void Release() = 0;
};

// What the flow asks of the window.
class IWizardWindow {
  public:
    virtual ~IWizardWindow() = default;
    virtual void ShowPage(int page) = 0;
    virtual void SetHeader(const std::string &title, const std::string &subtitle) = 0;
    virtual void SetHeaderVisible(bool visible) = 0;
    virtual void SetButtons(const ButtonStates &states) = 0;
    // While the progress panel shows, Next, Back, Cancel and closing do nothing.
    virtual bool IsProgressVisible() const = 0;
    // The hourglass pointer on or off.
    virtual void SetBusy(bool busy) = 0;
    // Unloads the window; the program ends with the exit code.
    virtual void EndWizard(int exitCode) = 0;
};

class WizardFlow {
  public:
    explicit WizardFlow(IWizardWindow &window) : window_(window) {}
    void SetHandlers(IPageHandlers *handlers) { handlers_ = handlers; }

    // The page list: identifiers in order; Page() is the current entry's index.
    int Page() const { return index_; }
    int CurrentPageId() const { return pages_.at(static_cast<std::size_t>(index_)); }
    const std::vector<int> &Pages() const { return pages_; }
    void AddPage(int page) { pages_.push_back(page); }
    // Inserts the page before every occurrence of pageLater.
    void InsertPage(int pageToInsert, int pageLater);
    void DeleteLastPage();
    // Removes every occurrence of the page.
    void DeletePage(int page);
    bool IsPageLoaded(int page) const;

    // Writes the page's title and subtitle into the header (looked up in the
    // language file); the result page and unknown pages leave it unchanged.
    void SetHeader(int page);

    // Opens on the first page: list index 1 when the converter offers one job
    // type, else 0.
    void Start(int jobTypeCount);
    void Next();
    void Back();
    void Cancel();
    // The user closes the window: like Finish without leaving the page, but
    // nothing was converted, so the program ends as cancelled.
    void Close();
    bool Ended() const { return ended_; }

    // The buttons of the current entry.
    ButtonStates Buttons() const;

  private:
    bool Ignored() const { return ended_ || window_.IsProgressVisible(); }
    void ShowCurrent();

    IWizardWindow &window_;
    IPageHandlers *handlers_ = nullptr;
    std::vector<int> pages_{pageJobType};
    int index_ = 0;
    int firstIndex_ = 0;
    bool ended_ = false;
};

} // namespace vialto
