// SPDX-License-Identifier: MIT
#include "application_chooser_model.h"

#include <QPixmap>

#include <algorithm>

namespace velmora::qt {

namespace {

// Text from a file, fit for one line of a list: control characters become spaces, and it is
// cut at MAXIMUM characters.
QString oneLine(const std::string& text, int maximum) {
    QString line = QString::fromUtf8(
        text.data(), static_cast<qsizetype>(std::min<std::size_t>(text.size(), 4096)));
    for (QChar& c : line)
        if (c.category() == QChar::Other_Control)
            c = u' ';
    line = line.simplified();
    if (line.size() > maximum)
        line = line.left(maximum) + QChar(0x2026);
    return line;
}

QIcon placeholderIcon() {
    QPixmap clear(ApplicationChooserModel::kIconPixels, ApplicationChooserModel::kIconPixels);
    clear.fill(Qt::transparent);
    return QIcon(clear);
}

int matchRank(const QString& foldedName, const QString& text) {
    if (foldedName.startsWith(text))
        return 0;
    const qsizetype at = foldedName.indexOf(u' ' + text);
    return at >= 0 ? 1 : 2;
}

} // namespace

ApplicationChooserModel::ApplicationChooserModel(std::vector<ApplicationChoice> choices,
                                                 IconLoader icons, QObject* parent)
    : QAbstractListModel(parent), icons_(std::move(icons)) {
    if (choices.size() > kMaxChoices)
        choices.resize(kMaxChoices);
    entries_.reserve(choices.size());
    for (ApplicationChoice& choice : choices) {
        Entry entry;
        entry.shownName = oneLine(choice.name, kMaxNameLength);
        if (entry.shownName.isEmpty())
            entry.shownName = oneLine(choice.id, kMaxNameLength);
        if (entry.shownName.isEmpty())
            continue; // nothing to show it by
        entry.foldedName = entry.shownName.toCaseFolded();
        QString search = entry.shownName + u'\n' + oneLine(choice.genericName, 1000) + u'\n' +
                         oneLine(choice.id, 1000);
        for (const std::string& keyword : choice.keywords)
            search += u'\n' + oneLine(keyword, 1000);
        entry.searchText = search.toCaseFolded();
        entry.choice = std::move(choice);
        entries_.push_back(std::move(entry));
    }
    std::stable_sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
        if (a.choice.running != b.choice.running)
            return a.choice.running;
        return a.foldedName < b.foldedName;
    });
    setFilter({});
}

int ApplicationChooserModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(shown_.size());
}

QVariant ApplicationChooserModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || index.row() >= rowCount())
        return {};
    const Entry& entry = entries_[static_cast<std::size_t>(shown_[index.row()])];
    switch (role) {
    case Qt::DisplayRole:
        return entry.shownName;
    case Qt::ToolTipRole:
        return oneLine(entry.choice.id, 1000);
    case Qt::DecorationRole:
        if (!entry.icon) {
            ++loadedIcons_;
            entry.icon = icons_ ? icons_(entry.choice) : QIcon();
        }
        if (entry.icon->isNull()) // room kept, so that the names line up
            entry.icon = placeholderIcon();
        return *entry.icon;
    default:
        return {};
    }
}

void ApplicationChooserModel::setFilter(const QString& text) {
    const QStringList words = text.toCaseFolded().split(u' ', Qt::SkipEmptyParts);
    const QString whole = words.join(u' ');
    beginResetModel();
    shown_.clear();
    std::vector<int> ranks;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const Entry& entry = entries_[i];
        if (!std::all_of(words.begin(), words.end(),
                         [&](const QString& word) { return entry.searchText.contains(word); }))
            continue;
        shown_.push_back(static_cast<int>(i));
        ranks.push_back(whole.isEmpty() ? 0 : matchRank(entry.foldedName, whole));
    }
    std::vector<int> order(shown_.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return ranks[static_cast<std::size_t>(a)] < ranks[static_cast<std::size_t>(b)];
    });
    std::vector<int> ranked;
    ranked.reserve(order.size());
    for (int i : order)
        ranked.push_back(shown_[static_cast<std::size_t>(i)]);
    shown_ = std::move(ranked);
    endResetModel();
}

const ApplicationChoice* ApplicationChooserModel::choiceAt(int row) const {
    if (row < 0 || row >= rowCount())
        return nullptr;
    return &entries_[static_cast<std::size_t>(shown_[static_cast<std::size_t>(row)])].choice;
}

} // namespace velmora::qt
