#include "core/app/command_line.h"

#include <QCommandLineParser>

#include "core/app/ui_language.h"
#include "core/markup/table_markup.h"

CommandLine parseCommandLine(const QStringList &arguments)
{
    // Our own help and version options: the usage text is ours, and -v is the
    // short form of --version in the usage and the manual page.
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    const QCommandLineOption exportOption(QStringLiteral("export"));
    const QCommandLineOption profileOption(QStringLiteral("profile"), QString(), QStringLiteral("name"));
    const QCommandLineOption langOption(QStringLiteral("lang"), QString(), QStringLiteral("name"));
    parser.addOptions({help, version, exportOption, profileOption, langOption});
    parser.addPositionalArgument(QStringLiteral("files"), QString());
    // The options every Qt program takes (-platform offscreen, -style ...) are
    // the toolkit's: they pass here, with their values, and QApplication takes them.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    // -style is also ours: with --export it names the HTML5 presentation.
    const QCommandLineOption styleOption(QStringLiteral("style"), QString(), QStringLiteral("value"));
    parser.addOption(styleOption);
    for (const char *name : {"platform", "platformpluginpath", "platformtheme", "plugin",
                             "stylesheet", "qwindowgeometry", "qwindowtitle", "qwindowicon", "display",
                             "geometry", "session", "qmljsdebugger"})
        parser.addOption(QCommandLineOption(QLatin1String(name), QString(), QStringLiteral("value")));
    for (const char *name : {"reverse", "widgetcount", "nograb", "dograb", "sync"})
        parser.addOption(QCommandLineOption(QLatin1String(name)));

    CommandLine cl;
    if (!parser.parse(arguments)) {
        cl.mode = CommandLine::Wrong;
        cl.error = parser.errorText();
        return cl;
    }
    cl.files = parser.positionalArguments();
    cl.language = parser.value(langOption);
    if (parser.isSet(langOption) && !uiLanguageFromName(cl.language)) {
        cl.mode = CommandLine::Wrong;
        cl.error = QStringLiteral("--lang is ja or en");
        return cl;
    }
    if (parser.isSet(help)) {
        cl.mode = CommandLine::Help;
    } else if (parser.isSet(version)) {
        cl.mode = CommandLine::Version;
    } else if (parser.isSet(exportOption)) {
        cl.mode = CommandLine::Export;
        cl.profile = parser.value(profileOption);
        cl.style = parser.value(styleOption);
        if (cl.files.size() != 2 || cl.files.at(0).isEmpty() || cl.files.at(1).isEmpty()) {
            cl.mode = CommandLine::Wrong;
            cl.error = QStringLiteral("--export needs a SOURCE and a TARGET");
        } else if (parser.isSet(profileOption) && !markupProfileFromName(cl.profile)) {
            cl.mode = CommandLine::Wrong;
            cl.error = QStringLiteral("--profile is html4 or html5");
        } else if (parser.isSet(styleOption) && !presentationStyleFromName(cl.style)) {
            cl.mode = CommandLine::Wrong;
            cl.error = QStringLiteral("--style is inline or none");
        }
    } else if (parser.isSet(profileOption)) {
        cl.mode = CommandLine::Wrong;
        cl.error = QStringLiteral("--profile goes with --export");
    }
    return cl;
}

QString usageText(const QString &program)
{
    return QStringLiteral(
                   "Usage: %1 [FILE...]\n"
                   "       %1 [--profile html4|html5] [--style inline|none] --export SOURCE TARGET\n"
                   "\n"
                   "Quorvan, an editor for HTML tables.\n"
                   "\n"
                   "  FILE...                  open table files (.qvn, .qvf) in the editor,\n"
                   "                           each in a window of its own; a name that\n"
                   "                           starts with - goes after --\n"
                   "  --export SOURCE TARGET   open SOURCE as the Open command does and save it\n"
                   "                           as TARGET as the Save command does, without a\n"
                   "                           window: a TARGET ending in .qvn gets a table\n"
                   "                           file, .html or .htm the table's HTML text\n"
                   "                           (CR LF; Shift_JIS for HTML 4, UTF-8 for HTML5),\n"
                   "                           .csv, .tsv or .md the cells' text (joined\n"
                   "                           cells flattened, said on standard error),\n"
                   "                           .tex, .wiki, .adoc or .rst the table in LaTeX,\n"
                   "                           MediaWiki, AsciiDoc or reStructuredText; any\n"
                   "                           other name is refused. TARGET may be SOURCE\n"
                   "                           itself only when both are .qvn; a SOURCE\n"
                   "                           ending in .html or .htm brings in the page's\n"
                   "                           first table, .csv or .tsv one value per cell\n"
                   "  --profile html4|html5    with --export: write the HTML in this profile\n"
                   "                           instead of the table's own (a table file\n"
                   "                           keeps it as the table's profile)\n"
                   "  --style inline|none      with --export, for HTML5: inline CSS for the\n"
                   "                           border, alignment, sizes and colours, or none\n"
                   "                           (structure only, no style attribute)\n"
                   "  --lang ja|en             the language of windows and messages; by\n"
                   "                           default English for an English locale,\n"
                   "                           Japanese for any other\n"
                   "  -h, --help               show this text\n"
                   "  -v, --version            show the version")
            .arg(program);
}

static QString trimSpaces(const QString &s)
{
    int b = 0, e = s.size();
    while (b < e && s.at(b) == QLatin1Char(' '))
        ++b;
    while (e > b && s.at(e - 1) == QLatin1Char(' '))
        --e;
    return s.mid(b, e - b);
}

StartRequest startRequestFromRawText(const QString &raw)
{
    const QString t = trimSpaces(raw);
    StartRequest req;
    // A lone quote has no path between its ends: treat it as no file at all.
    if (t.size() >= 2 && t.startsWith(QLatin1Char('"')) && t.endsWith(QLatin1Char('"'))) {
        req.openFile = true;
        req.path = t.mid(1, t.size() - 2);
    }
    return req;
}

QString rawTextFromArguments(const QStringList &args)
{
    if (args.isEmpty())
        return QString();
    if (args.first() == QLatin1String("\""))
        return args.first();
    return QLatin1Char('"') + args.first() + QLatin1Char('"');
}
