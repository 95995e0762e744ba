#include "core/io/table_document_io.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include "core/io/compression.h"
#include "core/io/save_target.h"
#include "core/io/temp_paths.h"
#include "core/markup/table_markup.h"
#include "core/text/text_codec.h"
#include "core/model/table_model.h"

namespace {

// Removes the work file when the routine is left, whichever way.
class WorkFile
{
public:
    WorkFile() : m_path(GetTempWorkPath()) {}
    ~WorkFile()
    {
        if (!m_path.isEmpty())
            QFile::remove(m_path);
    }
    WorkFile(const WorkFile &) = delete;
    WorkFile &operator=(const WorkFile &) = delete;

    const QString &path() const { return m_path; }

private:
    QString m_path;
};

OpenResult openFailure(OpenStatus status, const QString &message)
{
    OpenResult r;
    r.status = status;
    r.message = message;
    return r;
}

OpenResult fromReadResult(const ReadResult &read, const QString &path)
{
    switch (read.status) {
    case ReadStatus::Ok:
        return OpenResult();
    case ReadStatus::NewerVersion:
        return openFailure(OpenStatus::NewerVersion, newerVersionMessage(path, read.version));
    case ReadStatus::Damaged:
        break;
    }
    return openFailure(OpenStatus::Damaged, damagedFileMessage(path));
}

SaveResult saveFailure()
{
    SaveResult r;
    r.ok = false;
    r.message = saveErrorMessage();
    return r;
}

QString versionText(int major, int minor, int revision)
{
    return QString::number(major) + QLatin1Char('.') + QString::number(minor) + QLatin1Char('.')
            + QString::number(revision);
}

} // namespace

QString damagedFileMessage(const QString &path)
{
    return QCoreApplication::translate("TableFile", "\"%1\"は壊れているか、\r\n"
                                       "Quorvanのファイルではないため、開くことができませんでした。")
            .arg(path);
}

QString newerVersionMessage(const QString &path, const FileVersion &v)
{
    return QCoreApplication::translate("TableFile", "\"%1\"はVer.%2で作られたファイルです。\r\n"
                                       "ソフトのバージョンは%3です。\r\n"
                                       "このファイルを開くには最新のバージョンが必要です。"
                                       "最新バージョンをダウンロードしてください。")
            .arg(path, versionText(v.major, v.minor, v.revision),
                 versionText(AppVersion::Major, AppVersion::Minor, AppVersion::Revision));
}

QString openErrorMessage()
{
    return QCoreApplication::translate("TableFile", "不明なエラーが発生したため、ファイルを開けませんでした。");
}

QString saveErrorMessage()
{
    return QCoreApplication::translate("TableFile", "不明なエラーが発生したため、ファイルを保存できませんでした。");
}

bool isTableFileName(const QString &path)
{
    return fileKindOf(path) == QLatin1String("qvn");
}

OpenResult openTableDocument(const QString &path, TableModel &model)
{
    const QString kind = fileKindOf(path);
    if (kind == QLatin1String("qvf")) {
        QFile file(path);
        if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
            return openFailure(OpenStatus::Damaged, damagedFileMessage(path));
        return fromReadResult(readOldTableText(file, model), path);
    }
    if (kind != QLatin1String("qvn"))
        return OpenResult(); // not a table file: nothing is read

    // A missing or unreadable file is a damaged one, whatever the library would say.
    {
        QFile probe(path);
        if (!QFileInfo(path).isFile() || !probe.open(QIODevice::ReadOnly))
            return openFailure(OpenStatus::Damaged, damagedFileMessage(path));
    }
    WorkFile work;
    if (work.path().isEmpty())
        return openFailure(OpenStatus::Damaged, damagedFileMessage(path));
    switch (decompressFile(path, work.path())) {
    case GunzipStatus::Ok:
        break;
    case GunzipStatus::TooLarge:
        return openFailure(OpenStatus::Damaged, damagedFileMessage(path));
    case GunzipStatus::Unreadable:
    case GunzipStatus::Corrupt:
        return openFailure(OpenStatus::UnexpectedError, openErrorMessage());
    }
    QFile text(work.path());
    if (!text.open(QIODevice::ReadOnly))
        return openFailure(OpenStatus::Damaged, damagedFileMessage(path));
    return fromReadResult(readTableText(text, model), path);
}

SaveResult saveTableDocument(const TableModel &model, const QString &path)
{
    WorkFile work;
    if (work.path().isEmpty())
        return saveFailure();
    {
        QFile file(work.path());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || !writeTableText(file, model)
            || !file.flush())
            return saveFailure();
    }
    // Compression writes beside the target and renames only a complete file.
    if (Compression(work.path(), path, 1) == -1)
        return saveFailure();
    return SaveResult();
}

namespace {

// The text with every line end as CR LF, in pieces: the runs between lone CR
// or LF (a CR LF stays inside its run) and "\r\n" in place of each.
template <typename Put>
void forEachCrLfPiece(const QString &html, Put put)
{
    const QStringView text(html);
    const qsizetype n = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        if (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n')) {
            ++i;
            continue;
        }
        put(text.mid(start, i - start));
        put(QStringView(u"\r\n"));
        start = i + 1;
    }
    put(text.mid(start));
}

} // namespace

QByteArray htmlDocumentBytes(const QString &html, MarkupProfile profile)
{
    // Every text file is CR LF, whatever line ends the cell texts brought
    // along: CR LF, CR and LF each become CR LF, in one pass and only when
    // some line end is not CR LF already.
    const qsizetype n = html.size();
    qsizetype lone = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = html.at(i);
        if (c == QLatin1Char('\r') && i + 1 < n && html.at(i + 1) == QLatin1Char('\n'))
            ++i;
        else if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            ++lone;
    }
    if (lone == 0)
        return markupFileBytes(html, profile);
    QString text;
    text.reserve(n + lone);
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = html.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            text += QLatin1String("\r\n");
            if (c == QLatin1Char('\r') && i + 1 < n && html.at(i + 1) == QLatin1Char('\n'))
                ++i;
        } else {
            text += c;
        }
    }
    return markupFileBytes(text, profile);
}

SaveResult saveHtmlDocument(const QString &html, const QString &path, MarkupProfile profile)
{
    SaveTarget file(path);
    if (!file.open())
        return saveFailure();
    bool written = true;
    if (profile == MarkupProfile::Html4) {
        // Encoded a buffer at a time straight into the file: the text may be
        // megabytes of references, which need never exist whole as bytes.
        Cp932Writer out([&file](const char *data, qsizetype size) { return file.write(data, size); });
        forEachCrLfPiece(html, [&out](QStringView piece) { out.write(piece); });
        written = out.finish();
    } else {
        const QByteArray bytes = htmlDocumentBytes(html, profile);
        written = file.write(bytes.constData(), bytes.size());
    }
    if (!written || !file.commit())
        return saveFailure();
    return SaveResult();
}

SaveResult saveTextDocument(const QByteArray &bytes, const QString &path)
{
    SaveTarget file(path);
    if (!file.open() || !file.write(bytes.constData(), bytes.size()) || !file.commit())
        return saveFailure();
    return SaveResult();
}
