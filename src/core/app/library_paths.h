#pragma once

#include <QStringList>

// The folders the program's own libraries (the editor, the web preview plugin)
// are looked for in: relative to the running executable (bin/../lib/quorvan,
// the same in the build tree), then the folder they were installed to. Needs
// no application object.
QStringList programLibraryDirs();
