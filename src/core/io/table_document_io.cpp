#include "core/io/table_document_io.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include "core/import/html_tables.h"
#include "core/io/compression.h"
#include "core/io/save_target.h"
#include "core/io/temp_paths.h"
#include "core/markup/table_markup.h"
#include "core/text/text_codec.h"
#include "core/model/table_model.h"

#include <new>

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

SaveResult saveFailure(const QString &path, int error)
{
    SaveResult r;
    r.ok = false;
    r.message = saveErrorMessage(path, error);
    return r;
}

SaveResult saveRefused(const QString &message)
{
    SaveResult r;
    r.ok = false;
    r.message = message;
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

QString refusedTargetMessage(const QString &path, TargetRefusal refusal)
{
    const QString quoted = QLatin1Char('"') + path + QLatin1Char('"');
    if (refusal == TargetRefusal::DanglingLink)
        return QCoreApplication::translate("TableFile", "%1は共有フォルダーの中の、存在しないファイルを指すリンクなので、"
                                                        "保存しませんでした。別の名前で保存してください。").arg(quoted);
    return QCoreApplication::translate("TableFile", "%1は他のユーザーが共有フォルダーに置いたリンクなので、"
                                                    "保存しませんでした。別の名前で保存してください。").arg(quoted);
}

QString saveErrorMessage()
{
    return QCoreApplication::translate("TableFile", "不明なエラーが発生したため、ファイルを保存できませんでした。");
}

QString saveErrorMessage(const QString &path, int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return QCoreApplication::translate("TableFile", "\"%1\"に書き込む権限がないため、ファイルを保存できませんでした。")
                .arg(path);
    case EISDIR:
        return QCoreApplication::translate("TableFile", "\"%1\"はフォルダーのため、ファイルを保存できませんでした。")
                .arg(path);
    case ENOSPC:
    case EDQUOT:
        return QCoreApplication::translate("TableFile", "ディスクの空き容量が足りないため、\"%1\"を保存できませんでした。")
                .arg(path);
    case EROFS:
        return QCoreApplication::translate("TableFile", "\"%1\"は読み取り専用の場所にあるため、ファイルを保存できませんでした。")
                .arg(path);
    case EFBIG:
        return QCoreApplication::translate("TableFile", "ファイルの大きさの上限を超えるため、\"%1\"を保存できませんでした。")
                .arg(path);
    default:
        return saveErrorMessage();
    }
}

QString tableTooLargeMessage(const QString &path, qint64 textBytes)
{
    const auto mib = [](qint64 bytes) { return QString::number(double(bytes) / (1024 * 1024), 'f', 1); };
    return QCoreApplication::translate("TableFile", "表のテキストが%1 MBあり、開ける上限の%2 MBを超えるため、"
                                       "\"%3\"を保存できませんでした。セルのテキストを減らしてください。")
            .arg(mib(textBytes), mib(MaxTableTextBytes), path);
}

QString htmlTooLargeMessage(const QString &path, qint64 pageBytes)
{
    const auto mib = [](qint64 bytes) { return QString::number(double(bytes) / (1024 * 1024), 'f', 1); };
    return QCoreApplication::translate("TableFile", "HTMLが%1 MBになり、読み込める上限の%2 MBを超えるため、"
                                       "\"%3\"を保存できませんでした。セルのテキストを減らしてください。")
            .arg(mib(pageBytes), mib(MaxHtmlPageBytes), path);
}

QString markupTooLargeMessage(int rows, int cols)
{
    return QCoreApplication::translate("TableFile", "%1 行 × %2 列の表は HTML にすると %3 MB を超えるため、HTML にできません。"
                                       "行か列を減らしてください。")
            .arg(rows).arg(cols).arg(MaxMarkupChars / (1024 * 1024));
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
        try {
            return fromReadResult(readOldTableText(file, model), path);
        } catch (const std::bad_alloc &) {
            // Out of memory for this file: its own failure, not the program's end.
            return openFailure(OpenStatus::Damaged, damagedFileMessage(path));
        }
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
    try {
        return fromReadResult(readTableText(text, model), path);
    } catch (const std::bad_alloc &) {
        return openFailure(OpenStatus::Damaged, damagedFileMessage(path));
    }
}

SaveResult saveTableDocument(const TableModel &model, const QString &path)
{
    // Refused before any work: the message says why.
    if (const TargetRefusal refusal = resolveSaveTarget(path).refusal; refusal != TargetRefusal::None)
        return saveRefused(refusedTargetMessage(path, refusal));
    WorkFile work;
    if (work.path().isEmpty())
        return saveFailure(path, 0);
    // A table Open would refuse is not written: it is said before anything is replaced.
    const QByteArray text = tableText(model);
    if (text.size() > MaxTableTextBytes) {
        SaveResult r;
        r.ok = false;
        r.message = tableTooLargeMessage(path, text.size());
        return r;
    }
    {
        QFile file(work.path());
        errno = 0;
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size()
            || !file.flush())
            return saveFailure(work.path(), errno);
    }
    // Compression writes beside the target and renames only a complete file.
    if (Compression(work.path(), path, 1) == -1)
        return saveFailure(path, lastSaveTargetError());
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

namespace {

// The bytes saveHtmlDocument writes for an HTML 4 text, counted without keeping them.
qint64 html4DocumentSize(const QString &html)
{
    qint64 size = 0;
    Cp932Writer out([&size](const char *, qsizetype n) {
        size += n;
        return true;
    });
    forEachCrLfPiece(html, [&out](QStringView piece) { out.write(piece); });
    out.finish();
    return size;
}

} // namespace

SaveResult saveHtmlDocument(const QString &html, const QString &path, MarkupProfile profile)
{
    // A page the import would refuse is not written: it is said before
    // anything is. Japanese grows by half in UTF-8, half-width kana threefold,
    // a character Shift_JIS lacks becomes a reference of up to 8 bytes.
    QByteArray bytes;
    qint64 size = 0;
    if (profile != MarkupProfile::Html4) {
        bytes = htmlDocumentBytes(html, profile);
        size = bytes.size();
    } else if (html.size() > MaxHtmlPageBytes / 8) {
        size = html4DocumentSize(html);
    }
    if (size > MaxHtmlPageBytes)
        return saveRefused(htmlTooLargeMessage(path, size));

    SaveTarget file(path);
    if (!file.open())
        return file.refusal() == TargetRefusal::None ? saveFailure(path, file.error())
                                                     : saveRefused(refusedTargetMessage(path, file.refusal()));
    bool written = true;
    if (profile == MarkupProfile::Html4) {
        // Encoded a buffer at a time straight into the file: the text may be
        // megabytes of references, which need never exist whole as bytes.
        Cp932Writer out([&file](const char *data, qsizetype size) { return file.write(data, size); });
        forEachCrLfPiece(html, [&out](QStringView piece) { out.write(piece); });
        written = out.finish();
    } else {
        written = file.write(bytes.constData(), bytes.size());
    }
    if (!written || !file.commit())
        return saveFailure(path, file.error());
    return SaveResult();
}

SaveResult saveTextDocument(const QByteArray &bytes, const QString &path)
{
    SaveTarget file(path);
    if (!file.open())
        return file.refusal() == TargetRefusal::None ? saveFailure(path, file.error())
                                                     : saveRefused(refusedTargetMessage(path, file.refusal()));
    if (!file.write(bytes.constData(), bytes.size()) || !file.commit())
        return saveFailure(path, file.error());
    return SaveResult();
}
