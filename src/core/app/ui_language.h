#pragma once

#include <QLocale>
#include <QString>

#include <optional>

// The interface speaks Japanese, as designed, or English. Every text is written
// in Japanese in the code (tr()); English comes from translations/quorvan_en.ts,
// built into the program.
enum class UiLanguage { Japanese, English };

// English when the locale's language (the first of LANGUAGE, LC_ALL,
// LC_MESSAGES and LANG that is set) starts with "en"; Japanese for any other.
UiLanguage localeUiLanguage();

// The language --lang names ("ja" or "en"); an empty option leaves it to the
// locale. Any other name gives nothing.
std::optional<UiLanguage> uiLanguageFromName(const QString &name);
UiLanguage chooseUiLanguage(const QString &option);

// Puts the program's texts and Qt's own (standard dialogs, the text boxes'
// right-click menus) into language; windows made afterwards show it. Needs an
// application object. Returns false when a catalogue could not be loaded.
bool setUiLanguage(UiLanguage language);

// The language last set; Japanese before any.
UiLanguage currentUiLanguage();

// Qt's own texts from the catalogue Qt's translations package installs.
// Without that catalogue they stay in English and false is returned. Calling it
// again replaces the catalogue.
bool loadQtTranslations(const QLocale &language = QLocale(QLocale::Japanese, QLocale::Japan));
