#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

struct chmFile;

// One line of a help file's table of contents.
struct ChmTopic {
    QString name;
    QString local;  // object path inside the file, "/page.html", may end in "#anchor"
    int depth = 0;  // 0 at the top level
};

// Read-only access to a compiled HTML help file through chmlib. Nothing here
// trusts the file: every length is checked before it is used.
class ChmFile
{
public:
    enum Status { Ok, Missing, Unreadable };

    ChmFile() = default;
    ~ChmFile();
    ChmFile(const ChmFile &) = delete;
    ChmFile &operator=(const ChmFile &) = delete;

    Status open(const QString &path);
    void close();
    bool isOpen() const { return m_file != nullptr; }
    QString path() const { return m_path; }

    bool contains(const QString &objectPath) const;
    // False when the object is missing, too big, or cannot be read whole.
    bool read(const QString &objectPath, QByteArray *data) const;

    QString title() const { return m_title; }
    // The topic the file opens on, as an object path; empty when there is none.
    QString defaultTopic() const { return m_defaultTopic; }
    QList<ChmTopic> contents() const { return m_contents; }

    // "a/./b/../c.html" -> "/a/c.html"; never climbs above the root. A "#" is
    // part of the name here ("/#SYSTEM"): cut anchors off addresses first.
    static QString normalizePath(const QString &path);
    static QString withoutAnchor(const QString &address);

    // Anything bigger than this is not help text; refusing it keeps a damaged
    // or hostile file from exhausting memory.
    static constexpr qint64 MaxObjectSize = 32 * 1024 * 1024;

private:
    void readSystemFile();
    QString findDefaultTopic() const;

    chmFile *m_file = nullptr;
    QString m_path;
    QString m_title;
    QString m_defaultTopic;
    QString m_contentsFile;
    QList<ChmTopic> m_contents;
};

// Text of a page, style sheet or contents file inside a help file: a byte-order
// mark or a declared charset decides; otherwise UTF-8 when the bytes are valid
// UTF-8, else CP932, the code page of Japanese help files.
QString decodeHelpText(const QByteArray &bytes);

// The entries of a sitemap (.hhc) text, in order, nested by its <UL> levels.
QList<ChmTopic> parseSitemap(const QString &text);
