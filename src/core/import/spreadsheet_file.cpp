#include "core/import/spreadsheet_file.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <zip.h>

#include <algorithm>
#include <climits>
#include <new>
#include <vector>

#include "core/import/spreadsheet_p.h"

// ---- the book's budget ----

bool BookState::chargeBytes(qint64 n)
{
    m_bytes += n;
    if (m_bytes <= SheetLimits::MaxBookBytes)
        return true;
    tooComplex(SheetLimit::Bytes);
    return false;
}

bool BookState::chargeCells(qint64 n)
{
    if (n <= SheetLimits::MaxCells - m_cells) {
        m_cells += n;
        return true;
    }
    tooComplex(SheetLimit::Cells);
    return false;
}

bool BookState::chargeText(qint64 n)
{
    if (n <= SheetLimits::MaxTextChars - m_text) {
        m_text += n;
        return true;
    }
    tooComplex(SheetLimit::Text);
    return false;
}

// ---- the package ----

ZipPackage::ZipPackage(const QByteArray &bytes, BookState &state) : m_bytes(bytes), m_state(state)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source = zip_source_buffer_create(m_bytes.constData(), zip_uint64_t(m_bytes.size()), 0, &error);
    if (!source) {
        zip_error_fini(&error);
        state.damaged();
        return;
    }
    // The consistency check compares every local header with the directory:
    // entries that overlap or disagree (the usual zip bombs) are refused here.
    m_zip = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
    zip_error_fini(&error);
    if (!m_zip) {
        zip_source_free(source);
        state.damaged();
        return;
    }
    const zip_int64_t entries = zip_get_num_entries(m_zip, 0);
    if (entries < 0 || entries > SheetLimits::MaxEntries) {
        state.tooComplex(SheetLimit::Entries);
        zip_discard(m_zip);
        m_zip = nullptr;
        return;
    }
    m_names.reserve(int(entries));
    for (zip_int64_t i = 0; i < entries; ++i) {
        const char *name = zip_get_name(m_zip, zip_uint64_t(i), ZIP_FL_ENC_GUESS);
        m_names << (name ? QString::fromUtf8(name) : QString());
    }
}

ZipPackage::~ZipPackage()
{
    if (m_zip)
        zip_discard(m_zip);
}

qint64 ZipPackage::find(const QString &name, bool anyCase) const
{
    const Qt::CaseSensitivity cs = anyCase ? Qt::CaseInsensitive : Qt::CaseSensitive;
    for (qsizetype i = 0; i < m_names.size(); ++i)
        if (m_names.at(i).compare(name, cs) == 0)
            return i;
    return -1;
}

// ---- one XML part ----

namespace {
constexpr qint64 ChunkBytes = 256 * 1024;
}

XmlPart::XmlPart(const ZipPackage &package, const QString &name, bool anyCase) : m_state(package.state())
{
    m_xml.setNamespaceProcessing(true);
    const qint64 index = package.isOpen() ? package.find(name, anyCase) : -1;
    if (index < 0)
        return;
    m_found = true;
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(package.handle(), zip_uint64_t(index), 0, &st) != 0) {
        m_state.damaged();
        return;
    }
    // Refused on its own word before a byte is inflated; what it really
    // inflates to is counted as it comes (refill).
    if ((st.valid & ZIP_STAT_SIZE) && st.size > zip_uint64_t(SheetLimits::MaxPartBytes)) {
        m_state.tooComplex(SheetLimit::Bytes);
        return;
    }
    if (st.valid & ZIP_STAT_SIZE)
        m_declared = qint64(st.size);
    if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE) {
        m_state.damaged();
        return;
    }
    if ((st.valid & ZIP_STAT_COMP_METHOD) && !zip_compression_method_supported(st.comp_method, 0)) {
        m_state.damaged();
        return;
    }
    m_file = zip_fopen_index(package.handle(), zip_uint64_t(index), 0);
    if (!m_file)
        m_state.damaged();
}

XmlPart::~XmlPart()
{
    if (m_file)
        zip_fclose(m_file);
}

bool XmlPart::refill()
{
    if (!m_file || m_state.failed())
        return false;
    m_chunk.resize(ChunkBytes);
    const zip_int64_t n = zip_fread(m_file, m_chunk.data(), zip_uint64_t(m_chunk.size()));
    if (n < 0) { // a bad checksum or broken deflate data
        m_state.damaged();
        return false;
    }
    if (n == 0) {
        m_atEnd = true;
        return true;
    }
    m_read += n;
    // More than the entry said it holds: a lie, whatever follows.
    if (m_declared >= 0 && m_read > m_declared) {
        m_state.damaged();
        return false;
    }
    if (m_read > SheetLimits::MaxPartBytes) {
        m_state.tooComplex(SheetLimit::Bytes);
        return false;
    }
    if (!m_state.chargeBytes(n))
        return false;
    m_chunk.resize(qsizetype(n));
    m_xml.addData(m_chunk);
    return true;
}

bool XmlPart::next()
{
    if (!m_found || m_state.failed())
        return false;
    for (;;) {
        switch (m_xml.readNext()) {
        case QXmlStreamReader::StartElement:
            if (++m_depth > SheetLimits::MaxDepth) {
                m_state.tooComplex(SheetLimit::Depth);
                return false;
            }
            return true;
        case QXmlStreamReader::EndElement:
            --m_depth;
            return true;
        case QXmlStreamReader::Characters:
            return true;
        case QXmlStreamReader::EndDocument:
            return false;
        case QXmlStreamReader::DTD:
        case QXmlStreamReader::EntityReference:
            m_state.damaged();
            return false;
        case QXmlStreamReader::Invalid:
            if (m_xml.error() == QXmlStreamReader::PrematureEndOfDocumentError && !m_atEnd) {
                if (!refill())
                    return false;
                continue;
            }
            m_state.damaged();
            return false;
        default: // the declaration, comments, processing instructions
            continue;
        }
    }
}

QStringView XmlPart::attr(QStringView nsUri, QStringView localName) const
{
    // Compared as views: a cell asks for several attributes, and each lookup
    // through QString arguments would allocate two.
    const QXmlStreamAttributes attributes = m_xml.attributes();
    for (const QXmlStreamAttribute &a : attributes)
        if (a.name() == localName && a.namespaceUri() == nsUri)
            return a.value();
    return {};
}

QStringView XmlPart::attr(QStringView localName) const
{
    // A const copy: walking the reader's own list would detach it, a copy per call.
    const QXmlStreamAttributes attributes = m_xml.attributes();
    for (const QXmlStreamAttribute &a : attributes)
        if (a.namespaceUri().isEmpty() && a.name() == localName)
            return a.value();
    return {};
}

void XmlPart::skipElement()
{
    const int level = m_depth - 1;
    while (next())
        if (isEnd() && m_depth == level)
            return;
}

// ---- one sheet ----

void SheetBuilder::put(const SheetCell &cell, qint64 repeatCols, qint64 repeatRows)
{
    const bool shows = !cell.text.isEmpty();
    if ((!shows && cell.colSpan <= 1 && cell.rowSpan <= 1) || repeatCols < 1 || repeatRows < 1)
        return;
    const qint64 lastCol = qint64(cell.col) + repeatCols - 1;
    const qint64 lastRow = qint64(cell.row) + repeatRows - 1;
    if (shows) {
        m_sheet.cols = int(std::min<qint64>(INT_MAX, std::max<qint64>(m_sheet.cols, lastCol)));
        m_sheet.rows = int(std::min<qint64>(INT_MAX, std::max<qint64>(m_sheet.rows, lastRow)));
    }
    // A sheet past the limits is refused when chosen: its cells need not be kept.
    if (m_sheet.tooLarge() || lastCol > TableLimits::MaxCols || lastRow > TableLimits::MaxRows)
        return;
    const qint64 count = repeatCols * repeatRows;
    if (!m_state.chargeCells(count) || !m_state.chargeText(qint64(cell.text.size()) * count))
        return;
    SheetCell c = cell;
    c.colSpan = int(std::min<qint64>(c.colSpan, TableLimits::MaxCols - lastCol + 1));
    c.rowSpan = int(std::min<qint64>(c.rowSpan, TableLimits::MaxRows - lastRow + 1));
    for (qint64 r = 0; r < repeatRows; ++r)
        for (qint64 k = 0; k < repeatCols; ++k) {
            c.col = int(cell.col + k);
            c.row = int(cell.row + r);
            m_sheet.cells.push_back(c); // the text is shared, not copied
        }
}

void SheetBuilder::leaveOut(const QString &what)
{
    if (!m_sheet.leftOut.contains(what))
        m_sheet.leftOut << what;
}

// ---- what a table cannot hold ----

namespace LeftOut {
QString formulas() { return QCoreApplication::translate("Spreadsheet", "数式（計算結果の値で取り込み）"); }
QString background() { return QCoreApplication::translate("Spreadsheet", "セルの背景色"); }
QString fonts() { return QCoreApplication::translate("Spreadsheet", "文字の色・フォント・大きさ"); }
QString borders() { return QCoreApplication::translate("Spreadsheet", "罫線"); }
QString otherSheets() { return QCoreApplication::translate("Spreadsheet", "ほかのシート"); }
QString pictures() { return QCoreApplication::translate("Spreadsheet", "画像・図形・グラフ"); }
QString comments() { return QCoreApplication::translate("Spreadsheet", "コメント"); }
QString links() { return QCoreApplication::translate("Spreadsheet", "リンク（文字だけ取り込み）"); }
QString richText() { return QCoreApplication::translate("Spreadsheet", "セルの一部の文字の書式"); }
QString hiddenRows() { return QCoreApplication::translate("Spreadsheet", "行と列の非表示（表示して取り込み）"); }
QString conditional() { return QCoreApplication::translate("Spreadsheet", "条件付き書式"); }
QString validation() { return QCoreApplication::translate("Spreadsheet", "入力規則"); }
}

// ---- reading a workbook ----

namespace {

QString subjectOf(const QString &path)
{
    return path.isEmpty() ? QCoreApplication::translate("Spreadsheet", "ファイル")
                          : QLatin1Char('"') + path + QLatin1Char('"');
}

QString damagedMessage(const QString &path)
{
    return QCoreApplication::translate("Spreadsheet", "%1は壊れているか、表計算のファイル（.ods・.xlsx）"
                                                      "ではないため、開くことができませんでした。")
            .arg(subjectOf(path));
}

QString limitText(SheetLimit limit)
{
    const auto mib = [](qint64 bytes) { return QString::number(bytes / (1024 * 1024)); };
    switch (limit) {
    case SheetLimit::Bytes:
        return QCoreApplication::translate("Spreadsheet", "中身を展開すると %1 MB を超えます").arg(mib(SheetLimits::MaxBookBytes));
    case SheetLimit::Entries:
        return QCoreApplication::translate("Spreadsheet", "ファイルの数が %1 を超えます").arg(SheetLimits::MaxEntries);
    case SheetLimit::Depth:
        return QCoreApplication::translate("Spreadsheet", "XML の入れ子が %1 段を超えます").arg(SheetLimits::MaxDepth);
    case SheetLimit::Cells:
        return QCoreApplication::translate("Spreadsheet", "値のあるセルが %1 個を超えます").arg(SheetLimits::MaxCells);
    case SheetLimit::Text:
        return QCoreApplication::translate("Spreadsheet", "セルの文字が合わせて %1 M 文字を超えます")
                .arg(SheetLimits::MaxTextChars / (1024 * 1024));
    case SheetLimit::Sheets:
        return QCoreApplication::translate("Spreadsheet", "シートが %1 枚を超えます").arg(SheetLimits::MaxSheets);
    case SheetLimit::Styles:
        return QCoreApplication::translate("Spreadsheet", "書式が %1 個を超えます").arg(SheetLimits::MaxStyles);
    case SheetLimit::Memory:
        return QCoreApplication::translate("Spreadsheet", "メモリが足りません");
    case SheetLimit::None:
        break;
    }
    return QString();
}

QString tooComplexMessage(const QString &path, SheetLimit limit)
{
    return QCoreApplication::translate("Spreadsheet", "%1は読み込める上限を超えるため、開けませんでした（%2）。")
            .arg(subjectOf(path), limitText(limit));
}

SpreadsheetBook failedBook(SpreadsheetStatus status, const QString &message)
{
    SpreadsheetBook book;
    book.status = status;
    book.message = message;
    return book;
}

SpreadsheetBook readPackage(const QByteArray &bytes, SpreadsheetKind kind, const QString &path)
{
    SpreadsheetBook book;
    BookState state;
    try {
        if (bytes.size() > SheetLimits::MaxFileBytes) {
            state.tooComplex(SheetLimit::Bytes);
        } else {
            const ZipPackage package(bytes, state);
            if (package.isOpen()) {
                if (kind == SpreadsheetKind::Ods)
                    readOdsPackage(package, book, state);
                else
                    readXlsxPackage(package, book, state);
            }
        }
        if (!state.failed() && book.sheets.isEmpty())
            state.damaged(); // a workbook has at least one sheet
    } catch (const std::bad_alloc &) {
        book.sheets.clear();
        state.tooComplex(SheetLimit::Memory);
    }
    if (state.status() == SpreadsheetStatus::Damaged)
        return failedBook(SpreadsheetStatus::Damaged, damagedMessage(path));
    if (state.status() == SpreadsheetStatus::TooComplex)
        return failedBook(SpreadsheetStatus::TooComplex, tooComplexMessage(path, state.limit()));
    return book;
}

std::optional<SpreadsheetKind> kindOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("ods"))
        return SpreadsheetKind::Ods;
    if (suffix == QLatin1String("xlsx"))
        return SpreadsheetKind::Xlsx;
    return std::nullopt;
}

QString sheetSubject(const QString &path, const SpreadsheetSheet &sheet)
{
    return QCoreApplication::translate("Spreadsheet", "%1のシート「%2」").arg(subjectOf(path), sheet.name);
}

// A cell's shown text as the table's raw HTML, as the CSV reader makes it.
QString cellMarkup(const QString &text, bool bold)
{
    QString v = text.toHtmlEscaped();
    v.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    v.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    v.replace(QLatin1Char('\n'), QLatin1String("<BR>"));
    return bold ? QLatin1String("<B>") + v + QLatin1String("</B>") : v;
}

// The leading rows whose every shown cell is bold, and that show something:
// a bold title and a bold header row both become header cells. A sheet bold
// all through, or further down than a head goes (MaxHeadRows), has only its
// first row as the head: every cell of a head row gets a record, and a long
// wide sheet in bold must not make a million rows of them.
constexpr int MaxHeadRows = 10;

int headerRowsOf(const SpreadsheetSheet &sheet)
{
    std::vector<char> shows(std::size_t(sheet.rows) + 1, 0);
    std::vector<char> plain(std::size_t(sheet.rows) + 1, 0);
    for (const SheetCell &c : sheet.cells) {
        if (c.text.isEmpty() || c.row > sheet.rows || c.col > sheet.cols)
            continue;
        shows[std::size_t(c.row)] = 1;
        if (!c.bold)
            plain[std::size_t(c.row)] = 1;
    }
    int n = 0;
    while (n < sheet.rows && shows[std::size_t(n + 1)] && !plain[std::size_t(n + 1)])
        ++n;
    return (n == sheet.rows && n > 1) || n > MaxHeadRows ? 1 : n;
}

} // namespace

bool isSpreadsheetFileName(const QString &path)
{
    return kindOf(path).has_value();
}

SpreadsheetBook readSpreadsheetBytes(const QByteArray &bytes, SpreadsheetKind kind, const QString &path)
{
    return readPackage(bytes, kind, path);
}

SpreadsheetBook readSpreadsheetFile(const QString &path)
{
    const QString unreadable = QCoreApplication::translate("Spreadsheet", "%1を読み込めませんでした。").arg(subjectOf(path));
    // Only a regular file: a pipe or a device could be endless.
    const QFileInfo info(path);
    if (!info.isFile())
        return failedBook(SpreadsheetStatus::Unreadable, unreadable);
    if (info.size() > SheetLimits::MaxFileBytes)
        return failedBook(SpreadsheetStatus::TooComplex, tooComplexMessage(path, SheetLimit::Bytes));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failedBook(SpreadsheetStatus::Unreadable, unreadable);
    QByteArray bytes;
    try {
        bytes = file.read(SheetLimits::MaxFileBytes + 1);
    } catch (const std::bad_alloc &) {
        return failedBook(SpreadsheetStatus::TooComplex, tooComplexMessage(path, SheetLimit::Memory));
    }
    if (file.error() != QFileDevice::NoError)
        return failedBook(SpreadsheetStatus::Unreadable, unreadable);
    return readPackage(bytes, kindOf(path).value_or(SpreadsheetKind::Xlsx), path);
}

QString describeSheet(const SpreadsheetBook &book, int index)
{
    const SpreadsheetSheet &s = book.sheets.at(index);
    const QString size = s.rows == 0
            ? QCoreApplication::translate("Spreadsheet", "空")
            : QCoreApplication::translate("Spreadsheet", "%1 × %2")
                      .arg(QCoreApplication::translate("Spreadsheet", "%n 行", nullptr, s.rows),
                           QCoreApplication::translate("Spreadsheet", "%n 列", nullptr, s.cols));
    return QCoreApplication::translate("Spreadsheet", "%1: %2（%3）").arg(QString::number(index + 1), s.name, size);
}

int findSheet(const SpreadsheetBook &book, const QString &nameOrNumber)
{
    for (int i = 0; i < book.sheets.size(); ++i)
        if (book.sheets.at(i).name == nameOrNumber)
            return i;
    bool number = false;
    const int n = nameOrNumber.toInt(&number);
    return number && n >= 1 && n <= book.sheets.size() ? n - 1 : -1;
}

ImportResult importSheet(const SpreadsheetBook &book, int index, TableModel &model, const QString &path)
{
    ImportResult r;
    const auto fail = [&r](ImportStatus status, const QString &message) {
        r.status = status;
        r.message = message;
        return r;
    };
    if (!book.ok())
        return fail(ImportStatus::Unreadable, book.message);
    if (index < 0 || index >= book.sheets.size())
        return fail(ImportStatus::NoSuchTable,
                    QCoreApplication::translate("Spreadsheet", "%1には %2 番目のシートがないため、読み込めませんでした。")
                            .arg(subjectOf(path), QString::number(index + 1)));
    const SpreadsheetSheet &sheet = book.sheets.at(index);
    r.rows = sheet.rows;
    r.cols = sheet.cols;
    if (sheet.tooLarge())
        return fail(ImportStatus::TooLarge,
                    QCoreApplication::translate("Spreadsheet", "%1は %2 行 × %3 列あり、表に収まりません（%4 行 × %5 列まで）。")
                            .arg(sheetSubject(path, sheet), QString::number(sheet.rows), QString::number(sheet.cols),
                                 QString::number(TableLimits::MaxRows), QString::number(TableLimits::MaxCols)));
    if (sheet.rows == 0 || sheet.cols == 0)
        return fail(ImportStatus::Empty,
                    QCoreApplication::translate("Spreadsheet", "%1は空のため、読み込めませんでした。")
                            .arg(sheetSubject(path, sheet)));
    try {
        const int headerRows = headerRowsOf(sheet);
        // Built apart: nothing reaches the model unless all of it does.
        TableModel table;
        table.TableRows = sheet.rows;
        table.TableCols = sheet.cols;
        // Repeated cells share one text: their markup is made once too.
        const QChar *lastText = nullptr;
        bool lastBold = false;
        QString lastMarkup;
        for (const SheetCell &c : sheet.cells) {
            // A merge that starts past the last shown cell is not part of the table.
            if (c.col > sheet.cols || c.row > sheet.rows)
                continue;
            // An .xlsx file gives a merge apart from its first cell's value:
            // each entry brings what it has.
            CellRecord &rec = table.Cells(c.col, c.row);
            if (!c.text.isEmpty()) {
                const bool bold = c.bold && c.row > headerRows;
                if (c.text.constData() != lastText || bold != lastBold) {
                    lastMarkup = cellMarkup(c.text, bold);
                    lastText = c.text.constData();
                    lastBold = bold;
                }
                rec.Text = lastMarkup;
                rec.HAlign = c.align >= 0 ? c.align : c.number ? 2 : 0;
            }
            const int colSpan = std::min(c.colSpan, sheet.cols - c.col + 1);
            const int rowSpan = std::min(c.rowSpan, sheet.rows - c.row + 1);
            if (colSpan > 1) {
                rec.ColSpanOn = 1;
                rec.ColSpan = colSpan;
            }
            if (rowSpan > 1) {
                rec.RowSpanOn = 1;
                rec.RowSpan = rowSpan;
            }
        }
        for (int row = 1; row <= headerRows; ++row)
            for (int col = 1; col <= sheet.cols; ++col)
                table.Cells(col, row).Header = -1;
        table.FileName = model.FileName;
        model = std::move(table);
    } catch (const std::bad_alloc &) {
        return fail(ImportStatus::TooComplex, tooComplexMessage(path, SheetLimit::Memory));
    }
    r.leftOut = sheet.leftOut;
    if (book.sheets.size() > 1)
        r.leftOut << LeftOut::otherSheets();
    return r;
}

QString workbookTooLargeMessage(const QString &path)
{
    return tooComplexMessage(path, SheetLimit::Bytes);
}

ImportResult importSpreadsheetFile(const QString &path, const QString &sheet, TableModel &model)
{
    return importSpreadsheetBook(readSpreadsheetFile(path), sheet, model, path);
}

ImportResult importSpreadsheetBook(const SpreadsheetBook &book, const QString &sheet, TableModel &model,
                                   const QString &path)
{
    if (!book.ok()) {
        ImportResult r;
        r.status = book.status == SpreadsheetStatus::Unreadable ? ImportStatus::Unreadable : ImportStatus::TooComplex;
        r.message = book.message;
        return r;
    }
    const int index = sheet.isEmpty() ? 0 : findSheet(book, sheet);
    if (index < 0) {
        QStringList names;
        for (const SpreadsheetSheet &s : book.sheets)
            names << s.name;
        ImportResult r;
        r.status = ImportStatus::NoSuchTable;
        r.message = QCoreApplication::translate("Spreadsheet", "%1にはシート「%2」がありません。シートは %3 です。")
                            .arg(subjectOf(path), sheet, names.join(QStringLiteral(", ")));
        return r;
    }
    return importSheet(book, index, model, path);
}

QString sheetLeftOutMessage(const QStringList &leftOut)
{
    return QCoreApplication::translate("Spreadsheet", "次のものは取り込まれませんでした: %1")
            .arg(leftOut.join(QStringLiteral(", ")));
}
