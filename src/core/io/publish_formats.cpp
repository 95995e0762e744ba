#include "core/io/publish_formats.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <new>

#include "core/io/publish_writers_p.h"

std::optional<PublishFormat> publishFormatOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("tex"))
        return PublishFormat::Latex;
    if (suffix == QLatin1String("wiki"))
        return PublishFormat::MediaWiki;
    if (suffix == QLatin1String("adoc"))
        return PublishFormat::AsciiDoc;
    if (suffix == QLatin1String("rst"))
        return PublishFormat::RestructuredText;
    return std::nullopt;
}

std::optional<PublishFormat> publishFormatOf(TableFormat format)
{
    switch (format) {
    case TableFormat::Latex: return PublishFormat::Latex;
    case TableFormat::MediaWiki: return PublishFormat::MediaWiki;
    case TableFormat::AsciiDoc: return PublishFormat::AsciiDoc;
    case TableFormat::Rst: return PublishFormat::RestructuredText;
    default: return std::nullopt;
    }
}

QString publishedTooLargeMessage(const QString &path, qint64 size)
{
    const auto mib = [](qint64 bytes) { return QString::number(double(bytes) / (1024 * 1024), 'f', 1); };
    return QCoreApplication::translate("TextTable", "書き出すテキストが%1 MB以上になり、上限の%2 MBを超えるため、"
                                                    "\"%3\"を保存できませんでした。")
            .arg(mib(size), mib(MaxPublishedBytes), path);
}

PublishOutput writePublished(const TableModel &model, PublishFormat format)
{
    const PublishedTable table(model);
    publish::Written written;
    switch (format) {
    case PublishFormat::Latex: written = publish::writeLatex(table); break;
    case PublishFormat::MediaWiki: written = publish::writeMediaWiki(table); break;
    case PublishFormat::AsciiDoc: written = publish::writeAsciiDoc(table); break;
    case PublishFormat::RestructuredText: written = publish::writeRestructuredText(table); break;
    }
    PublishOutput out;
    out.notes = written.notes;
    if (!written.tooLarge) {
        out.bytes = written.text.toUtf8();
        written.size = out.bytes.size();
    }
    out.size = written.size;
    out.ok = !written.tooLarge && out.size <= MaxPublishedBytes;
    if (!out.ok)
        out.bytes.clear();
    return out;
}

SaveResult savePublished(const TableModel &model, PublishFormat format, const QString &path, QStringList *notes)
{
    PublishOutput out;
    try {
        out = writePublished(model, format);
    } catch (const std::bad_alloc &) {
        // Out of memory for this table: this save fails, the program goes on.
        return SaveResult{false, saveErrorMessage()};
    }
    if (!out.ok)
        return SaveResult{false, publishedTooLargeMessage(path, out.size)};
    const SaveResult saved = saveTextDocument(out.bytes, path);
    if (saved.ok && notes)
        *notes << out.notes;
    return saved;
}

QString flattenedSpansNote()
{
    return QCoreApplication::translate("TextTable", "結合したセルは結合を解いて書き出しました。"
                                                    "テキストは左上のセルに一度だけ書き、結合していた残りのセルは空です。");
}

QString alignmentNotKeptNote()
{
    return QCoreApplication::translate("TextTable", "この形式には文字揃えがないため、セルの文字揃えは書き出していません。");
}

QString alignmentByColumnNote()
{
    return QCoreApplication::translate("TextTable", "この形式の文字揃えは列ごとのため、列の多くのセルと違う揃え方のセルは列の揃え方になります。");
}
