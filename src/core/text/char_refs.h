#pragma once

#include <QString>
#include <QStringView>

// Replaces every HTML5 character reference in text, named ("&eacute;", and the
// legacy ones a browser also takes without ";", such as "&copy") and numeric
// ("&#233;", "&#xE9;"), by the characters it stands for, as a browser reads
// them in text. Everything else is kept as typed: tags (references inside them
// included), a lone "&", ";" or ">", and unknown names such as "&foo;".
QString decodeCharacterReferences(QStringView text);
