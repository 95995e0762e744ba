#pragma once

#include <QString>

// The web address of target relative to the folder of base (the work file):
// "../" steps up, "/" between names. Both "\" and "/" separate names, so
// Windows and Linux paths both work. Folder names are compared without regard
// to case when either path is a Windows one (drive letter or backslash), and
// exactly on Linux paths, whose file systems tell case apart. Never touches
// the file system.
QString GetRelativePath(const QString &base, const QString &target);
