// The progress panel: the title and information line of the running step, a
// bar, and its own Cancel, the only way to interrupt a long step. The stages
// run on the window's thread; each call from them lets the window paint and
// the Cancel be pressed (at most every 50 ms), so nothing else ever touches
// the engine from another thread.
#pragma once

#include "shell/UserInterface.h"

#include <QElapsedTimer>
#include <QWidget>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

namespace vialto {

class ctlProgress : public QWidget, public IProgress {
    Q_OBJECT
  public:
    explicit ctlProgress(QWidget *parent = nullptr);

    // The window shows and hides the panel when a step starts and ends.
    void SetPanelHandlers(std::function<void()> show, std::function<void()> hide);

    // IProgress: Start shows the panel with the caption as its title (an empty
    // caption keeps the title) over the range (no range: a busy bar). The
    // Cancel button shows once the running step asks whether to cancel.
    void Start(const std::string &caption, double minimum, double maximum) override;
    void Step(double value) override;
    bool CancelRequested() override;
    void Finish() override;
    void SetInfo(const std::string &info) override;

    void ShowCancel(bool visible);
    void ShowProgressBar(bool visible);
    QString Info() const;
    void SetInfo(const QString &info);
    QString Tittle() const;
    void SetTittle(const QString &title);
    bool CancelPressed() const { return cancelPressed_; }
    void SetRanges(double minimum, double maximum);
    void SetValue(double value);
    void Reset();
    bool IsShown() const { return shown_; }
    void UpdateText();

  private:
    // Lets the window paint and take the Cancel click, at most every 50 ms.
    void Pump(bool now = false);

    QLabel *title_;
    QLabel *info_;
    QProgressBar *bar_;
    QPushButton *cancel_;
    std::function<void()> show_;
    std::function<void()> hide_;
    QElapsedTimer sincePump_;
    double minimum_ = 0;
    double maximum_ = 0;
    bool cancelPressed_ = false;
    bool shown_ = false;
};

} // namespace vialto
