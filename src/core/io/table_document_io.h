#pragma once

#include <QString>

#include "core/io/save_target.h"
#include "core/io/table_file.h"
#include "core/model/table_model.h"


// Opening and saving whole documents, without any window: the Open and Save
// commands and the command-line export share these, so both write the same
// bytes and report the same texts.

enum class OpenStatus {
    Ok,
    Damaged,          // unreadable, not a table file, cut short, too large...
    UnexpectedError,  // the compressed data could not be restored
    NewerVersion      // written by a later program
};

struct OpenResult {
    OpenStatus status = OpenStatus::Ok;
    QString message;  // the message box text for a failure, exactly as the window shows it
    bool ok() const { return status == OpenStatus::Ok; }
};

// Reads path into model as the Open command does once it has a name: a .qvn
// through a temporary work file, a .qvf directly, any other name not at all
// (the model keeps its defaults). The model is only changed on success;
// FileName is left to the caller.
OpenResult openTableDocument(const QString &path, TableModel &model);

struct SaveResult {
    bool ok = true;
    QString message;  // for a failure
};

// True for the names Save writes a table file to (the last three characters are "qvn").
bool isTableFileName(const QString &path);

// Writes model as a .qvn table file; a table whose text passes what Open
// reads (MaxTableTextBytes) is refused with tableTooLargeMessage. The text goes to a temporary work file,
// is compressed into a file beside path, and that file replaces path only when
// complete: a failure leaves an existing file as it was. The work file is
// removed either way.
SaveResult saveTableDocument(const TableModel &model, const QString &path);

// Writes HTML text with CR LF line ends (CP932 for HTML 4, UTF-8 for HTML5),
// replacing path only when complete (a device or a pipe is written into, see
// SaveTarget). A page the HTML import would not read (MaxHtmlPageBytes) is
// refused with htmlTooLargeMessage before anything is written.
SaveResult saveHtmlDocument(const QString &html, const QString &path,
                            MarkupProfile profile = MarkupProfile::Html4);

// Writes bytes as they are (CSV, TSV, Markdown), replacing path only when complete.
SaveResult saveTextDocument(const QByteArray &bytes, const QString &path);

// The exact bytes saveHtmlDocument writes for html.
QByteArray htmlDocumentBytes(const QString &html, MarkupProfile profile = MarkupProfile::Html4);

// Message texts.
QString damagedFileMessage(const QString &path);
QString newerVersionMessage(const QString &path, const FileVersion &fileVersion);
QString openErrorMessage();
QString saveErrorMessage();
// A save that would follow a link planted by another user (see SaveTarget).
QString refusedTargetMessage(const QString &path, TargetRefusal refusal);
// The cause of a failed save by its errno (permission, a folder, no space, a
// read-only place, the size limit); saveErrorMessage() for any other.
QString saveErrorMessage(const QString &path, int error);
QString tableTooLargeMessage(const QString &path, qint64 textBytes);
QString htmlTooLargeMessage(const QString &path, qint64 pageBytes);
// The same for a table too large to be made into HTML at all (markupTooLarge):
// for its rows and columns, whatever their texts.
QString markupTooLargeMessage(int rows, int cols);
