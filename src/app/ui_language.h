#pragma once

#include <QLocale>

// Qt's own texts (the standard dialogs, the overwrite question, the text
// boxes' right-click menus) in the interface's language, from the catalogue
// Qt's translations package installs. Without that catalogue they stay in
// English and false is returned. Calling it again replaces the catalogue.
bool loadQtTranslations(const QLocale &language = QLocale(QLocale::Japanese, QLocale::Japan));
