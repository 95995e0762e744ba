#pragma once

#include <QString>

// The web address of target relative to the folder of base (the work file):
// "../" steps up, "/" between names. Both "\" and "/" separate names, so
// Windows and Linux paths both work. Paths with no folder in common give the
// target back unchanged, since no relative address can reach it. Never touches
// the file system.
QString GetRelativePath(const QString &base, const QString &target);
