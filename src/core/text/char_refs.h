#pragma once

#include <QString>
#include <QStringView>

// Replaces every HTML5 character reference in text, named ("&eacute;", and the
// legacy ones a browser also takes without ";", such as "&copy") and numeric
// ("&#233;", "&#xE9;"), by the characters it stands for, as a browser reads
// them in text. Everything else is kept as typed: tags (references inside them
// included), a lone "&", ";" or ">", and unknown names such as "&foo;".
QString decodeCharacterReferences(QStringView text);

// The one reference starting at text[at] (an "&"), decoded as the function
// above decodes it: its characters are appended to out and the index after it
// returned; at itself when there is no reference there.
qsizetype decodeCharacterReferenceAt(QStringView text, qsizetype at, QString &out);
