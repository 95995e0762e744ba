#pragma once

#include <QString>

// The file-name part of a path: the text after the last "\" or "/", the whole
// text when there is none, "" for "" or a path ending in a separator.
QString GetFileNamePart(const QString &path);

// The program's own folder with a trailing separator (where Qrvn.CHM is looked for).
QString GetAppFolder();

// Where the help file of the interface's language is (Qrvn.CHM, Qrvn_en.CHM):
// the program's folder first, then the installed data folder.
QString helpFilePath();
