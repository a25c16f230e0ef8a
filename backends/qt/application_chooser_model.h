// SPDX-License-Identifier: MIT
#pragma once
// The list behind the application chooser: the applications the user may add, running ones
// first, each group by name; typing narrows it. Icons are loaded only when a row is drawn
// (a list of a thousand applications shows a dozen rows) and kept. Main thread only.

#include <QAbstractListModel>
#include <QIcon>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velmora::qt {

// One application the chooser offers. Every text may come from a desktop file or a window,
// and is shown as plain text.
struct ApplicationChoice {
    std::string path; // what the file dialog would answer for it
    std::string id;   // desktop-file id, or the window class
    std::string name; // may be empty: the id is shown then
    std::string genericName;
    std::vector<std::string> keywords;
    std::string icon; // the desktop file's Icon (theme name or absolute path); may be empty
    bool running = false;
};

class ApplicationChooserModel final : public QAbstractListModel {
  public:
    // The icon of a choice; a null icon when there is none.
    using IconLoader = std::function<QIcon(const ApplicationChoice&)>;

    // Choices beyond this many are left out.
    static constexpr std::size_t kMaxChoices = 20000;
    // Names longer than this are cut.
    static constexpr int kMaxNameLength = 200;
    // The size icons are loaded at.
    static constexpr int kIconPixels = 32;

    // ICONS gives the icon of a choice (the program looks it up as the rule table does); empty:
    // every choice shows the empty room of an icon.
    ApplicationChooserModel(std::vector<ApplicationChoice> choices, IconLoader icons,
                            QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // Shows only the choices whose name, generic name, keywords or id hold every word of
    // TEXT, ignoring case; names starting with TEXT first, then names with a word starting
    // with it, then the rest, each in the order of the whole list.
    void setFilter(const QString& text);
    // The choice in ROW as shown; nullptr outside the rows.
    const ApplicationChoice* choiceAt(int row) const;
    // How many icons have been loaded so far.
    int loadedIcons() const { return loadedIcons_; }

  private:
    struct Entry {
        ApplicationChoice choice;
        QString shownName;
        QString foldedName;
        QString searchText; // everything a word may match, case folded
        mutable std::optional<QIcon> icon;
    };

    std::vector<Entry> entries_;
    std::vector<int> shown_;
    IconLoader icons_;
    mutable int loadedIcons_ = 0;
};

} // namespace velmora::qt
