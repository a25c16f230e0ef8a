// SPDX-License-Identifier: MIT
#include "qt_application_chooser.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora::qt {

ApplicationChooserDialog::ApplicationChooserDialog(std::vector<ApplicationChoice> choices,
                                                   ApplicationChooserModel::IconLoader icons)
    : model_(new ApplicationChooserModel(std::move(choices), std::move(icons), this)),
      search_(new QLineEdit(this)), list_(new QListView(this)) {
    setWindowTitle(QCoreApplication::translate("Velmora", "Add an Application"));
    search_->setPlaceholderText(QCoreApplication::translate("Velmora", "Search applications"));
    search_->setClearButtonEnabled(true);
    search_->installEventFilter(this);
    list_->setModel(model_);
    // Rows of one height: the view asks only the rows it draws, so only their icons load.
    list_->setUniformItemSizes(true);
    list_->setIconSize(
        QSize(ApplicationChooserModel::kIconPixels, ApplicationChooserModel::kIconPixels));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setFocusPolicy(Qt::ClickFocus);
    auto* other = new QPushButton(QCoreApplication::translate("Velmora", "Other..."), this);
    other->setAutoDefault(false);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QDialogButtonBox::Cancel);
    QPushButton* add = buttons->addButton(QCoreApplication::translate("Velmora", "Add"),
                                          QDialogButtonBox::AcceptRole);
    add->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(search_);
    layout->addWidget(list_);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(other);
    bottom->addStretch();
    bottom->addWidget(buttons);
    layout->addLayout(bottom);
    resize(420, 480);

    connect(search_, &QLineEdit::textChanged, this, &ApplicationChooserDialog::filterChanged);
    connect(list_, &QListView::activated, this, [this] { accept(); });
    connect(buttons, &QDialogButtonBox::accepted, this, &ApplicationChooserDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(other, &QPushButton::clicked, this, [this] { done(kOtherResult); });
    filterChanged({});
    search_->setFocus();
}

const ApplicationChoice* ApplicationChooserDialog::currentChoice() const {
    const QModelIndex current = list_->currentIndex();
    return current.isValid() ? model_->choiceAt(current.row()) : nullptr;
}

void ApplicationChooserDialog::accept() {
    if (currentChoice())
        QDialog::accept();
}

void ApplicationChooserDialog::filterChanged(const QString& text) {
    model_->setFilter(text);
    if (model_->rowCount() > 0)
        list_->setCurrentIndex(model_->index(0));
}

bool ApplicationChooserDialog::eventFilter(QObject* watched, QEvent* event) {
    // The arrows and pages move in the list while the search field keeps the focus.
    if (watched == search_ && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown: {
            std::unique_ptr<QEvent> copy(event->clone());
            QCoreApplication::sendEvent(list_, copy.get());
            return true;
        }
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

QtApplicationChooserPanel::QtApplicationChooserPanel(Choices choices,
                                                     ApplicationChooserModel::IconLoader icons,
                                                     std::function<void()> beforeShowing)
    : choices_(std::move(choices)), icons_(std::move(icons)),
      beforeShowing_(std::move(beforeShowing)) {}

QtApplicationChooserPanel::~QtApplicationChooserPanel() {
    delete chooser_.data();
}

void QtApplicationChooserPanel::beginWithCompletionHandler(CompletionHandler handler) {
    if (chooser_ || filePanel_ || !handler)
        return; // one answer at a time
    handler_ = std::move(handler);
    urls_.clear();
    auto* chooser = new ApplicationChooserDialog(
        choices_ ? choices_() : std::vector<ApplicationChoice>{}, icons_);
    chooser_ = chooser;
    QObject::connect(chooser, &QDialog::finished, chooser,
                     [this](int result) { chooserFinished(result); });
    if (beforeShowing_)
        beforeShowing_();
    chooser->show();
    chooser->raise();
    chooser->activateWindow();
}

void QtApplicationChooserPanel::chooserFinished(int result) {
    ApplicationChooserDialog* chooser = chooser_.data();
    if (!chooser)
        return;
    const ApplicationChoice* choice = chooser->currentChoice();
    const bool chosen = result == QDialog::Accepted && choice && !choice->path.empty();
    if (chosen)
        urls_.push_back(choice->path);
    chooser_.clear();
    chooser->deleteLater();
    if (result == ApplicationChooserDialog::kOtherResult)
        showFilePanel();
    else
        answer(chosen);
}

void QtApplicationChooserPanel::showFilePanel() {
    filePanel_ = std::make_unique<QtOpenPanel>(nullptr);
    filePanel_->setCanCreateDirectories(canCreateDirectories_);
    filePanel_->setCanChooseDirectories(canChooseDirectories_);
    filePanel_->setCanChooseFiles(canChooseFiles_);
    filePanel_->setAllowsMultipleSelection(allowsMultipleSelection_);
    filePanel_->setDirectoryURL(directory_);
    // The file panel uses nothing of itself once its handler ran: it is let go here, and the
    // answer may end this panel too.
    filePanel_->beginWithCompletionHandler([this](std::int64_t result) {
        std::unique_ptr<QtOpenPanel> answered = std::move(filePanel_);
        urls_ = answered->URLs();
        answer(result == DialogResult::Accepted);
    });
}

void QtApplicationChooserPanel::answer(bool chosen) {
    // The handler may hold the last reference to this panel: it is taken out first, and
    // nothing of the panel is used after it ran.
    CompletionHandler handler = std::move(handler_);
    handler_ = nullptr;
    if (handler)
        handler(chosen && !urls_.empty() ? DialogResult::Accepted : DialogResult::Rejected);
}

} // namespace velmora::qt
