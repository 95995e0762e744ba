#include "core/app/ui_language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

UiLanguage current = UiLanguage::Japanese;

const QString QtCatalogue = QStringLiteral("qtbase");
const QString OwnCatalogue = QStringLiteral("quorvan");

void removeCatalogue(QCoreApplication *app, const QString &name)
{
    for (QTranslator *old : app->findChildren<QTranslator *>(name, Qt::FindDirectChildrenOnly)) {
        QCoreApplication::removeTranslator(old);
        delete old;
    }
}

} // namespace

UiLanguage localeUiLanguage()
{
    for (const char *name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = qEnvironmentVariable(name);
        if (value.isEmpty())
            continue;
        // LANGUAGE is a list in order of preference: the first of ours wins.
        if (qstrcmp(name, "LANGUAGE") == 0) {
            for (const QString &entry : value.split(QLatin1Char(':'))) {
                if (entry.startsWith(QLatin1String("en")))
                    return UiLanguage::English;
                if (entry.startsWith(QLatin1String("ja")))
                    return UiLanguage::Japanese;
            }
            return UiLanguage::Japanese;
        }
        return value.startsWith(QLatin1String("en")) ? UiLanguage::English : UiLanguage::Japanese;
    }
    return UiLanguage::Japanese;
}

std::optional<UiLanguage> uiLanguageFromName(const QString &name)
{
    if (name == QLatin1String("ja"))
        return UiLanguage::Japanese;
    if (name == QLatin1String("en"))
        return UiLanguage::English;
    return std::nullopt;
}

UiLanguage chooseUiLanguage(const QString &option)
{
    return uiLanguageFromName(option).value_or(localeUiLanguage());
}

bool setUiLanguage(UiLanguage language)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app)
        return false;
    current = language;
    removeCatalogue(app, OwnCatalogue);
    if (language == UiLanguage::Japanese)
        return loadQtTranslations();
    // Qt's own texts are English without a catalogue.
    removeCatalogue(app, QtCatalogue);
    auto *catalogue = new QTranslator(app);
    catalogue->setObjectName(OwnCatalogue);
    if (!catalogue->load(QStringLiteral(":/i18n/quorvan_en.qm"))) {
        delete catalogue;
        return false;
    }
    return QCoreApplication::installTranslator(catalogue);
}

UiLanguage currentUiLanguage()
{
    return current;
}

bool loadQtTranslations(const QLocale &language)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app)
        return false;
    removeCatalogue(app, QtCatalogue);
    auto *catalogue = new QTranslator(app);
    catalogue->setObjectName(QtCatalogue);
    if (!catalogue->load(language, QtCatalogue, QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete catalogue;
        return false;
    }
    return QCoreApplication::installTranslator(catalogue);
}
