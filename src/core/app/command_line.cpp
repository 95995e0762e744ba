#include "core/app/command_line.h"

#include <QCommandLineParser>

#include "core/app/ui_language.h"
#include "core/io/table_formats.h"
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
    const QCommandLineOption fromOption(QStringLiteral("from"), QString(), QStringLiteral("format"));
    const QCommandLineOption toOption(QStringLiteral("to"), QString(), QStringLiteral("format"));
    const QCommandLineOption tableOption(QStringLiteral("table"), QString(), QStringLiteral("n"));
    const QCommandLineOption listOption(QStringLiteral("list-tables"));
    const QCommandLineOption pageOption(QStringLiteral("page"));
    const QCommandLineOption csvFormulasOption(QStringLiteral("csv-formulas"));
    const QCommandLineOption sheetOption(QStringLiteral("sheet"), QString(), QStringLiteral("sheet"));
    parser.addOptions({help, version, exportOption, profileOption, langOption, fromOption, toOption,
                       tableOption, listOption, pageOption, csvFormulasOption, sheetOption});
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
    const auto wrong = [&cl](const char *error) {
        cl.mode = CommandLine::Wrong;
        cl.error = QLatin1String(error);
    };
    cl.from = parser.value(fromOption);
    cl.to = parser.value(toOption);
    cl.page = parser.isSet(pageOption);
    const bool streams = cl.files.size() == 2 && cl.files.contains(QStringLiteral("-"));
    const bool exporting = parser.isSet(exportOption) || parser.isSet(fromOption) || parser.isSet(toOption)
            || streams;
    if (parser.isSet(help)) {
        cl.mode = CommandLine::Help;
    } else if (parser.isSet(version)) {
        cl.mode = CommandLine::Version;
    } else if (parser.isSet(listOption)) {
        cl.mode = CommandLine::ListTables;
        if (cl.files.size() != 1 || cl.files.at(0).isEmpty())
            wrong("--list-tables needs one SOURCE");
        else if (parser.isSet(fromOption) && !tableFormatFromName(cl.from, false))
            wrong("--from names a format the program reads");
        else if (parser.isSet(exportOption) || parser.isSet(toOption) || parser.isSet(tableOption))
            wrong("--list-tables goes without --export, --to and --table");
    } else if (exporting) {
        cl.mode = CommandLine::Export;
        cl.profile = parser.value(profileOption);
        cl.style = parser.value(styleOption);
        cl.csvFormulas = parser.isSet(csvFormulasOption);
        cl.sheet = parser.value(sheetOption);
        bool number = true;
        cl.table = parser.isSet(tableOption) ? parser.value(tableOption).toInt(&number) : 0;
        if (cl.files.size() != 2 || cl.files.at(0).isEmpty() || cl.files.at(1).isEmpty()) {
            wrong("--export needs a SOURCE and a TARGET");
        } else if (parser.isSet(profileOption) && !markupProfileFromName(cl.profile)) {
            wrong("--profile is html4 or html5");
        } else if (parser.isSet(styleOption) && !presentationStyleFromName(cl.style)) {
            wrong("--style is inline or none");
        } else if (parser.isSet(fromOption) && !tableFormatFromName(cl.from, false)) {
            cl.mode = CommandLine::Wrong;
            cl.error = QStringLiteral("--from is one of ") + tableFormatNames(false).join(QStringLiteral(", "));
        } else if (parser.isSet(toOption) && !tableFormatFromName(cl.to, true)) {
            cl.mode = CommandLine::Wrong;
            cl.error = QStringLiteral("--to is one of ") + tableFormatNames(true).join(QStringLiteral(", "));
        } else if (!number || (parser.isSet(tableOption) && cl.table < 1)) {
            wrong("--table is a number from 1");
        } else if (parser.isSet(sheetOption) && cl.sheet.isEmpty()) {
            wrong("--sheet needs a sheet's number or name");
        }
    } else if (parser.isSet(profileOption)) {
        wrong("--profile goes with --export");
    } else if (parser.isSet(tableOption) || parser.isSet(pageOption)) {
        wrong("--table and --page go with --export");
    } else if (parser.isSet(csvFormulasOption)) {
        wrong("--csv-formulas goes with --export");
    } else if (parser.isSet(sheetOption)) {
        wrong("--sheet goes with --export");
    }
    return cl;
}

QString usageText(const QString &program)
{
    return QStringLiteral(
                   "Usage: %1 [FILE...]\n"
                   "       %1 [--profile html4|html5] [--style inline|none] [--page] [--table N]\n"
                   "          [--sheet N|NAME] [--from FORMAT] [--to FORMAT] [--csv-formulas]\n"
                   "          --export SOURCE TARGET\n"
                   "       %1 --list-tables [--from html] SOURCE\n"
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
                   "                           ending in .html or .htm brings in one table of\n"
                   "                           the page (see --table), .csv or .tsv one value\n"
                   "                           per cell, .ods or .xlsx a sheet of the workbook\n"
                   "                           (see --sheet), values as the spreadsheet shows\n"
                   "                           them. - as SOURCE reads standard input, as\n"
                   "                           TARGET writes standard output; with --from,\n"
                   "                           --to or a -, --export may be left out\n"
                   "  --from FORMAT            read SOURCE as FORMAT whatever its name: qvn,\n"
                   "                           qvf, html, csv, tsv, ods, xlsx (needed for -)\n"
                   "  --to FORMAT              write TARGET as FORMAT whatever its name: qvn,\n"
                   "                           html, csv, tsv, md (needed for -)\n"
                   "  --table N                with --export, for a page: its table N, counted\n"
                   "                           from 1 in the order the tables start in the page\n"
                   "                           (see --list-tables); without it, the largest\n"
                   "                           data table, as the window proposes (not one of\n"
                   "                           links, one row, or one holding other tables),\n"
                   "                           and the only table of a page with one\n"
                   "  --list-tables SOURCE     print each table of a page, one line each:\n"
                   "                           N, tab, rows\u00d7columns, tab, caption or id, tab,\n"
                   "                           the text of its first cells\n"
                   "  --page                   with --export to HTML: a whole page (document\n"
                   "                           type, its encoding, a title from the caption)\n"
                   "                           that a browser opens right as it is; without it,\n"
                   "                           the table alone, for pasting into a page\n"
                   "  --profile html4|html5    with --export: write the HTML in this profile\n"
                   "                           instead of the table's own (a table file\n"
                   "                           keeps it as the table's profile)\n"
                   "  --style inline|none      with --export, for HTML5: inline CSS for the\n"
                   "                           border, alignment, sizes and colours, or none\n"
                   "                           (structure only, no style attribute)\n"
                   "  --csv-formulas           with --export to CSV or TSV: keep cells that\n"
                   "                           start with = + - @ as formulas; by default they\n"
                   "                           are written after a ' so that a spreadsheet\n"
                   "                           shows them as text and never runs them\n"
                   "  --sheet N|NAME           with --export of a workbook (.ods, .xlsx): the\n"
                   "                           sheet of that name, else the Nth sheet (from 1);\n"
                   "                           without it, the first\n"
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
