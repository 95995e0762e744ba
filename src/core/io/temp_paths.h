#pragma once

#include <QString>

// Each call creates a new, empty file with a unique name in the system's
// temporary folder (atomically, no create-then-rename race) and returns its path.
// An empty string means the file could not be created.
QString GetTempWorkPath();  // ends in ".qvx": the work file around compression
QString GetTempHtmlPath();  // ends in ".html": a preview page
