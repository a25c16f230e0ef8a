// SPDX-License-Identifier: MIT
#pragma once
// The open panel as a Qt file dialog, without a native one (the desktop's portal dialogs may
// not be there, and the dialog must behave the same everywhere). It lists desktop files
// (applications) first, all files on request. A folder that holds "Contents/Info.plist" (an
// application bundle) is chosen like a file: opening it does not step into it. Main thread
// only.

#include "platform/open_panel.h"

#include <QFileDialog>
#include <QPointer>

#include <functional>
#include <string>
#include <vector>

namespace velmora::qt {

class BundleFileDialog final : public QFileDialog {
  public:
    BundleFileDialog();
    // Whether PATH is a folder to be chosen rather than entered.
    static bool isBundle(const QString& path);

  public:
    void accept() override;
};

// The folder to start in: FOLDER when it exists, else the first "applications" folder of
// $XDG_DATA_DIRS (default /usr/local/share:/usr/share) that exists, else the one of
// $XDG_DATA_HOME (default ~/.local/share), else the home folder.
QString startingFolder(const std::string& folder);

class QtOpenPanel final : public OpenPanel {
  public:
    // BEFORESHOWING runs just before the dialog shows (the popover closes: a popup would keep
    // the keyboard from the dialog).
    explicit QtOpenPanel(std::function<void()> beforeShowing);
    ~QtOpenPanel() override;

    void setCanCreateDirectories(bool can) override { canCreateDirectories_ = can; }
    void setCanChooseDirectories(bool can) override { canChooseDirectories_ = can; }
    void setCanChooseFiles(bool can) override { canChooseFiles_ = can; }
    void setAllowsMultipleSelection(bool allows) override { allowsMultipleSelection_ = allows; }
    void setDirectoryURL(const std::string& path) override { directory_ = path; }
    void beginWithCompletionHandler(CompletionHandler handler) override;
    std::vector<std::string> URLs() const override { return urls_; }

    // The dialog while it is shown; nullptr before and after.
    BundleFileDialog* dialog() const { return dialog_.data(); }

  private:
    void finished(int result);

    std::function<void()> beforeShowing_;
    bool canCreateDirectories_ = true;
    bool canChooseDirectories_ = false;
    bool canChooseFiles_ = true;
    bool allowsMultipleSelection_ = false;
    std::string directory_;
    QPointer<BundleFileDialog> dialog_;
    CompletionHandler handler_;
    std::vector<std::string> urls_;
};

} // namespace velmora::qt
