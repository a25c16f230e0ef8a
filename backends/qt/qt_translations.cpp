// SPDX-License-Identifier: MIT
#include "qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace velmora::qt {

namespace {

// Loads "NAME_<language>.qm" from FOLDER for the first of LOCALE's languages that has one;
// the translator belongs to the application.
void install(const QLocale& locale, const QString& name, const QString& folder) {
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(locale, name, QStringLiteral("_"), folder))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

} // namespace

void installTranslations(const QLocale& locale) {
    install(locale, QStringLiteral("qtbase"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    install(locale, QStringLiteral("velmora"), QStringLiteral(":/i18n"));
}

} // namespace velmora::qt
