// SPDX-License-Identifier: MIT
#pragma once
// The application chooser: what the add button shows instead of a file dialog, as desktop
// application choosers do. A search field (focused) over a list of the applications by icon
// and name, the running ones first; typing narrows the list, Enter or a double click chooses,
// Escape cancels, and "Other..." leaves for the file dialog (qt_open_panel.h) to pick a desktop
// file or a program anywhere. It answers as the open panel does: the path of what was chosen,
// in the form the file dialog gives it. Main thread only.

#include "application_chooser_model.h"
#include "qt_open_panel.h"

#include "platform/open_panel.h"

#include <QDialog>
#include <QPointer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QLineEdit;
class QListView;

namespace velmora::qt {

class ApplicationChooserDialog final : public QDialog {
  public:
    // What finished() gives when the user asked for the file dialog.
    static constexpr int kOtherResult = 2;

    ApplicationChooserDialog(std::vector<ApplicationChoice> choices,
                             ApplicationChooserModel::IconLoader icons);

    QLineEdit* searchField() const { return search_; }
    QListView* list() const { return list_; }
    ApplicationChooserModel& model() const { return *model_; }
    // The choice of the current row; nullptr when no row is current.
    const ApplicationChoice* currentChoice() const;

    // Accepts only with a current row.
    void accept() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void filterChanged(const QString& text);

    ApplicationChooserModel* model_;
    QLineEdit* search_;
    QListView* list_;
};

class QtApplicationChooserPanel final : public OpenPanel {
  public:
    using Choices = std::function<std::vector<ApplicationChoice>()>;

    // CHOICES is asked each time the chooser shows. BEFORESHOWING runs just before (the
    // popover closes: a popup would keep the keyboard from the chooser).
    QtApplicationChooserPanel(Choices choices, ApplicationChooserModel::IconLoader icons,
                              std::function<void()> beforeShowing);
    ~QtApplicationChooserPanel() override;

    // Kept for the file dialog behind "Other...".
    void setCanCreateDirectories(bool can) override { canCreateDirectories_ = can; }
    void setCanChooseDirectories(bool can) override { canChooseDirectories_ = can; }
    void setCanChooseFiles(bool can) override { canChooseFiles_ = can; }
    void setAllowsMultipleSelection(bool allows) override { allowsMultipleSelection_ = allows; }
    void setDirectoryURL(const std::string& path) override { directory_ = path; }
    void beginWithCompletionHandler(CompletionHandler handler) override;
    std::vector<std::string> URLs() const override { return urls_; }

    // The chooser while it is shown; nullptr before and after.
    ApplicationChooserDialog* chooser() const { return chooser_.data(); }
    // The file dialog's panel after "Other...", until it answered; nullptr otherwise.
    QtOpenPanel* filePanel() const { return filePanel_.get(); }

  private:
    void chooserFinished(int result);
    void showFilePanel();
    void answer(bool chosen);

    Choices choices_;
    ApplicationChooserModel::IconLoader icons_;
    std::function<void()> beforeShowing_;
    bool canCreateDirectories_ = true;
    bool canChooseDirectories_ = false;
    bool canChooseFiles_ = true;
    bool allowsMultipleSelection_ = false;
    std::string directory_;
    QPointer<ApplicationChooserDialog> chooser_;
    std::unique_ptr<QtOpenPanel> filePanel_;
    CompletionHandler handler_;
    std::vector<std::string> urls_;
};

} // namespace velmora::qt
