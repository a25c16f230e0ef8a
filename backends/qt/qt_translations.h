// SPDX-License-Identifier: MIT
#pragma once
// The Qt face in the user's language. Its texts are English in the source and translated
// through Qt's own tools: translations/velmora_*.ts, compiled by lrelease when the program is
// built and embedded in it as resources (":/i18n/velmora_de.qm"), so that an installed program
// and one run from the build tree find the same files and they never go out of step with the
// texts. Qt's own dialog texts (the file dialog, Cancel) come from Qt's translations where the
// system has them (Debian's qt6-translations-l10n).

#include <QLocale>

namespace velmora::qt {

// Installs the translations of LOCALE's languages (QLocale::system() follows LANGUAGE, LC_ALL,
// LC_MESSAGES and LANG) into the running QCoreApplication; none for English or a language
// without a translation. Main thread, once the application exists.
void installTranslations(const QLocale& locale = QLocale::system());

} // namespace velmora::qt
