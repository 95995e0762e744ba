#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QXmlStreamReader>

#include <memory>

#include "core/import/spreadsheet_file.h"

struct zip;
struct zip_file;

// What a workbook may take, whoever made it. Each limit is checked before
// the work it bounds: a declared size before inflating, a repeat count before
// expanding it.
namespace SheetLimits {
constexpr qint64 MaxFileBytes = MaxWorkbookBytes;    // the package itself
constexpr qint64 MaxPartBytes = 256 * 1024 * 1024;  // one XML part, inflated
constexpr qint64 MaxBookBytes = 256 * 1024 * 1024;  // every part read, inflated: about 8 s of parsing
constexpr int MaxEntries = 10000;                    // files in the package
constexpr int MaxDepth = 128;                        // XML elements inside one another
constexpr qint64 MaxCells = 5000000;                 // cells kept, every sheet together
constexpr qint64 MaxTextChars = 256 * 1024 * 1024;   // shown text, repeats counted
constexpr int MaxSheets = 1000;
constexpr int MaxStyles = 200000;                    // cell formats, fonts, number formats
}

// Which limit a workbook passed, for the message.
enum class SheetLimit { None, Bytes, Entries, Depth, Cells, Text, Sheets, Styles, Memory };

// The reading of one workbook: the first failure wins and stops the work.
class BookState
{
public:
    bool failed() const { return m_status != SpreadsheetStatus::Ok; }
    SpreadsheetStatus status() const { return m_status; }
    SheetLimit limit() const { return m_limit; }
    void damaged()
    {
        if (!failed())
            m_status = SpreadsheetStatus::Damaged;
    }
    void tooComplex(SheetLimit limit)
    {
        if (!failed()) {
            m_status = SpreadsheetStatus::TooComplex;
            m_limit = limit;
        }
    }
    // Charges n inflated bytes; false once past the book's limit.
    bool chargeBytes(qint64 n);
    bool chargeCells(qint64 n);
    bool chargeText(qint64 n);

private:
    SpreadsheetStatus m_status = SpreadsheetStatus::Ok;
    SheetLimit m_limit = SheetLimit::None;
    qint64 m_bytes = 0;
    qint64 m_cells = 0;
    qint64 m_text = 0;
};

// A zip package read through libzip, entries looked up by name.
class ZipPackage
{
public:
    ZipPackage(const QByteArray &bytes, BookState &state);
    ~ZipPackage();
    ZipPackage(const ZipPackage &) = delete;
    ZipPackage &operator=(const ZipPackage &) = delete;

    bool isOpen() const { return m_zip != nullptr; }
    // OOXML part names are case-insensitive; ODF's are not.
    qint64 find(const QString &name, bool anyCase = false) const;
    zip *handle() const { return m_zip; }
    BookState &state() const { return m_state; }

private:
    QByteArray m_bytes;   // the source libzip reads from
    zip *m_zip = nullptr;
    QStringList m_names;
    BookState &m_state;
};

// One XML part of a package, parsed as it is inflated, a chunk at a time, so
// that a large sheet never exists whole in memory. A DTD is refused: no part
// of either format has one, and entities are where XML bombs live.
class XmlPart
{
public:
    XmlPart(const ZipPackage &package, const QString &name, bool anyCase = false);
    ~XmlPart();
    XmlPart(const XmlPart &) = delete;
    XmlPart &operator=(const XmlPart &) = delete;

    bool found() const { return m_found; }
    BookState &state() const { return m_state; }
    // The next start or end element, or characters; false at the end of the
    // part or at its first fault (then the book's state says which).
    bool next();
    QXmlStreamReader &xml() { return m_xml; }
    bool isStart() const { return m_xml.tokenType() == QXmlStreamReader::StartElement; }
    bool isEnd() const { return m_xml.tokenType() == QXmlStreamReader::EndElement; }
    bool isText() const { return m_xml.tokenType() == QXmlStreamReader::Characters; }
    // The element's local name; namespaces are told apart by prefix-free URIs.
    QStringView name() const { return m_xml.name(); }
    QStringView ns() const { return m_xml.namespaceUri(); }
    QStringView attr(QStringView nsUri, QStringView localName) const;
    QStringView attr(QStringView localName) const; // no namespace
    int depth() const { return m_depth; }
    // Skips to the end of the element just started.
    void skipElement();

private:
    bool refill();

    QXmlStreamReader m_xml;
    BookState &m_state;
    zip_file *m_file = nullptr;
    bool m_found = false;
    bool m_atEnd = false;     // everything is in the reader
    qint64 m_read = 0;
    qint64 m_declared = -1;   // the size the package's directory gives, -1 unknown
    int m_depth = 0;
    QByteArray m_chunk;
};

// Collects one sheet's cells, sparse, within the table's limits; counts what
// lies past them for the size message.
class SheetBuilder
{
public:
    SheetBuilder(SpreadsheetSheet &sheet, BookState &state) : m_sheet(sheet), m_state(state) {}

    // A cell repeated cols times across and rows times down (the ODS repeats).
    // Cells that show nothing and start no merge are only counted.
    void put(const SheetCell &cell, qint64 repeatCols = 1, qint64 repeatRows = 1);
    void noteHiddenContent();
    void leaveOut(const QString &what);

private:
    SpreadsheetSheet &m_sheet;
    BookState &m_state;
};

// Bold, alignment and the look a table cannot keep, for one cell format.
struct CellLook {
    bool bold = false;
    qint8 align = -1;         // as SheetCell::align
    bool background = false;  // a fill colour
    bool font = false;        // a colour, face, size, italic, underline...
    bool border = false;
};

// The names of what was left out, translated.
namespace LeftOut {
QString formulas();
QString background();
QString fonts();
QString borders();
QString otherSheets();
QString pictures();
QString comments();
QString links();
QString richText();
QString hiddenRows();
QString conditional();
QString validation();
}

// The two readers. Each fills book.sheets or fails through state.
void readOdsPackage(const ZipPackage &package, SpreadsheetBook &book, BookState &state);
void readXlsxPackage(const ZipPackage &package, SpreadsheetBook &book, BookState &state);

// A spreadsheet number format code ("#,##0.00", "yyyy/mm/dd", "0.0%"...)
// applied to a value, as the spreadsheet shows it. Parsed once, applied often.
class NumberFormat
{
public:
    explicit NumberFormat(const QString &code = QString());
    ~NumberFormat();
    NumberFormat(const NumberFormat &other);
    NumberFormat &operator=(const NumberFormat &other);

    QString format(double value, bool date1904 = false) const;
    // Text through the format's text section ("@"), or as it is.
    QString formatText(const QString &text) const;
    bool isGeneral() const;

private:
    struct Parsed;
    std::shared_ptr<const Parsed> m_parsed;
};

// The code of a built-in number format of an .xlsx file (0 General, 14 a date...).
QString builtinNumberFormat(int id);
// A number as the General format shows it: up to 15 significant digits, large
// and small ones in exponent form.
QString generalNumberText(double value);
