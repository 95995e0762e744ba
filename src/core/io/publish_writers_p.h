#pragma once

// What the writers of publish_formats.cpp share; only publish_*.cpp include this.

#include <QString>
#include <QStringList>

#include "core/io/publish_formats.h"
#include "core/io/published_table.h"
#include "core/markup/table_markup.h"

namespace publish {

struct Written {
    QString text;
    bool tooLarge = false;   // stopped past MaxPublishedBytes
    qint64 size = 0;         // how far it got, or what it would have been
    QStringList notes;
};

// True (and the result marked) once the text passes the limit: the writer stops there.
inline bool overLimit(Written &w, qint64 more = 0)
{
    const qint64 size = qint64(w.text.size()) + more;
    if (size <= MaxPublishedBytes)
        return false;
    w.tooLarge = true;
    w.size = std::max(w.size, size);
    return true;
}

// "%XX" for each UTF-8 byte of c.
inline QString percentEncoded(QStringView c)
{
    QString out;
    for (const char byte : c.toUtf8())
        out += QStringLiteral("%%1").arg(uint(uchar(byte)), 2, 16, QLatin1Char('0')).toUpper();
    return out;
}

// Spaces are already %20 (publishableHref); each character in unsafe is
// percent-encoded.
inline QString encodedHref(const QString &href, QLatin1String unsafe)
{
    QString out;
    out.reserve(href.size());
    for (const QChar c : href) {
        if (QLatin1String(unsafe).contains(c))
            out += percentEncoded(QStringView(&c, 1));
        else
            out += c;
    }
    return out;
}

Written writeLatex(const PublishedTable &table);
Written writeMediaWiki(const PublishedTable &table);
Written writeAsciiDoc(const PublishedTable &table);
Written writeRestructuredText(const PublishedTable &table);

} // namespace publish
