// SPDX-License-Identifier: MIT
#include "qt_open_panel.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace velmora::qt {

namespace {

bool isFolder(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isDir();
}

} // namespace

BundleFileDialog::BundleFileDialog() {
    setOption(QFileDialog::DontUseNativeDialog);
    setAcceptMode(QFileDialog::AcceptOpen);
}

bool BundleFileDialog::isBundle(const QString& path) {
    return isFolder(path) &&
           QFileInfo(QDir(path).filePath(QStringLiteral("Contents/Info.plist"))).isFile();
}

void BundleFileDialog::accept() {
    const QStringList chosen = selectedFiles();
    if (fileMode() != QFileDialog::Directory && chosen.size() == 1 && isBundle(chosen.front())) {
        QDialog::accept(); // chosen as it is, not entered
        return;
    }
    QFileDialog::accept();
}

QString startingFolder(const std::string& folder) {
    const QString given = QString::fromStdString(folder);
    if (isFolder(given))
        return given;
    // Qt's list is $XDG_DATA_HOME's folder, then those of $XDG_DATA_DIRS; the system's come
    // first here, since they hold the applications a user has.
    const QString home = QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation);
    for (const QString& applications :
         QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation))
        if (applications != home && isFolder(applications))
            return applications;
    return isFolder(home) ? home : QDir::homePath();
}

QtOpenPanel::QtOpenPanel(std::function<void()> beforeShowing)
    : beforeShowing_(std::move(beforeShowing)) {}

QtOpenPanel::~QtOpenPanel() {
    delete dialog_.data();
}

void QtOpenPanel::beginWithCompletionHandler(CompletionHandler handler) {
    if (dialog_ || !handler)
        return; // one answer at a time
    handler_ = std::move(handler);
    urls_.clear();
    auto* dialog = new BundleFileDialog;
    dialog_ = dialog;
    if (!canChooseFiles_)
        dialog->setFileMode(QFileDialog::Directory);
    else
        dialog->setFileMode(allowsMultipleSelection_ ? QFileDialog::ExistingFiles
                                                     : QFileDialog::ExistingFile);
    dialog->setOption(QFileDialog::ShowDirsOnly, !canChooseFiles_);
    if (canChooseFiles_)
        dialog->setNameFilters({QCoreApplication::translate("Velmora", "Applications (*.desktop)"),
                                QCoreApplication::translate("Velmora", "All files (*)")});
    dialog->setOption(QFileDialog::ReadOnly, !canCreateDirectories_);
    dialog->setDirectory(startingFolder(directory_));
    QObject::connect(dialog, &QDialog::finished, dialog, [this](int result) { finished(result); });
    if (beforeShowing_)
        beforeShowing_();
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void QtOpenPanel::finished(int result) {
    BundleFileDialog* dialog = dialog_.data();
    if (!dialog)
        return;
    const bool chosen = result == QDialog::Accepted;
    if (chosen)
        for (const QString& path : dialog->selectedFiles())
            urls_.push_back(path.toStdString());
    dialog_.clear();
    dialog->deleteLater();
    // The handler may hold the last reference to this panel: it is taken out first, and
    // nothing of the panel is used after it ran.
    CompletionHandler handler = std::move(handler_);
    handler_ = nullptr;
    if (handler)
        handler(chosen && !urls_.empty() ? DialogResult::Accepted : DialogResult::Rejected);
}

} // namespace velmora::qt
