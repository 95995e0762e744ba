#include "core/help/chm_file.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTextCodec>

#include <chm_lib.h>

namespace {

// #SYSTEM record codes.
constexpr quint16 SysContentsFile = 0;
constexpr quint16 SysDefaultTopic = 2;
constexpr quint16 SysTitle = 3;

quint16 readLe16(const char *p)
{
    return quint16(quint8(p[0]) | (quint8(p[1]) << 8));
}

// Names in #SYSTEM and .hhp files are whatever the compiler was given:
// UTF-8 from ours, the Japanese code page from older tools.
QString decodeName(QByteArray bytes)
{
    const int nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    return decodeHelpText(bytes).trimmed();
}

bool isValidUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(bytes);
    Q_UNUSED(text);
    return !decoder.hasError();
}

QString decodeCp932Text(const QByteArray &bytes)
{
    if (QTextCodec *codec = QTextCodec::codecForName("windows-31j"))
        return codec->toUnicode(bytes);
    if (QTextCodec *codec = QTextCodec::codecForName("Shift_JIS"))
        return codec->toUnicode(bytes);
    return QString::fromLatin1(bytes);
}

QString declaredCharset(const QByteArray &bytes)
{
    static const QRegularExpression re(
        QStringLiteral("charset\\s*=\\s*[\"']?\\s*([A-Za-z0-9_.:\\-]+)"),
        QRegularExpression::CaseInsensitiveOption);
    const QString head = QString::fromLatin1(bytes.left(4096));
    const QRegularExpressionMatch m = re.match(head);
    return m.hasMatch() ? m.captured(1).toLower() : QString();
}

QString decodeEntities(QString s)
{
    s.replace(QLatin1String("&quot;"), QLatin1String("\""));
    s.replace(QLatin1String("&lt;"), QLatin1String("<"));
    s.replace(QLatin1String("&gt;"), QLatin1String(">"));
    s.replace(QLatin1String("&#39;"), QLatin1String("'"));
    s.replace(QLatin1String("&apos;"), QLatin1String("'"));
    s.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return s;
}

QString attribute(const QString &attrs, const QString &name)
{
    const QRegularExpression re(
        QStringLiteral("\\b%1\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s>]+))").arg(name),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = re.match(attrs);
    if (!m.hasMatch())
        return QString();
    for (int i = 1; i <= 3; ++i) {
        if (m.capturedStart(i) >= 0)
            return decodeEntities(m.captured(i));
    }
    return QString();
}

struct Enumeration {
    QStringList paths;
};

int collectPath(chmFile *, chmUnitInfo *ui, void *context)
{
    auto *e = static_cast<Enumeration *>(context);
    e->paths.append(QString::fromUtf8(ui->path));
    return e->paths.size() < 100000 ? CHM_ENUMERATOR_CONTINUE : CHM_ENUMERATOR_SUCCESS;
}

} // namespace

ChmFile::~ChmFile()
{
    close();
}

ChmFile::Status ChmFile::open(const QString &path)
{
    close();
    m_path = path;
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return Missing;
    if (!info.isFile() || !info.isReadable())
        return Unreadable;
    // chmlib reads the header blindly; a file too short for one is not a help file.
    QFile probe(path);
    if (!probe.open(QIODevice::ReadOnly) || probe.read(4) != QByteArrayLiteral("ITSF"))
        return Unreadable;
    probe.close();

    m_file = chm_open(QFile::encodeName(path).constData());
    if (!m_file)
        return Unreadable;
    readSystemFile();
    m_defaultTopic = findDefaultTopic();
    return Ok;
}

void ChmFile::close()
{
    if (m_file)
        chm_close(m_file);
    m_file = nullptr;
    m_title.clear();
    m_defaultTopic.clear();
    m_contentsFile.clear();
    m_contents.clear();
}

QString ChmFile::normalizePath(const QString &path)
{
    QString p = path;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QStringList out;
    const QStringList parts = p.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        if (part == QLatin1String("."))
            continue;
        if (part == QLatin1String("..")) {
            if (!out.isEmpty())
                out.removeLast();
            continue;
        }
        out.append(part);
    }
    return QLatin1Char('/') + out.join(QLatin1Char('/'));
}

QString ChmFile::withoutAnchor(const QString &address)
{
    const int hash = address.indexOf(QLatin1Char('#'));
    return hash >= 0 ? address.left(hash) : address;
}

bool ChmFile::contains(const QString &objectPath) const
{
    if (!m_file)
        return false;
    chmUnitInfo ui;
    const QByteArray name = normalizePath(objectPath).toUtf8();
    return chm_resolve_object(m_file, name.constData(), &ui) == CHM_RESOLVE_SUCCESS;
}

bool ChmFile::read(const QString &objectPath, QByteArray *data) const
{
    data->clear();
    if (!m_file)
        return false;
    chmUnitInfo ui;
    const QByteArray name = normalizePath(objectPath).toUtf8();
    if (chm_resolve_object(m_file, name.constData(), &ui) != CHM_RESOLVE_SUCCESS)
        return false;
    if (ui.length > quint64(MaxObjectSize))
        return false;
    const qint64 size = qint64(ui.length);
    if (size == 0)
        return true;
    data->resize(size);
    const LONGINT64 got = chm_retrieve_object(m_file, &ui,
                                              reinterpret_cast<unsigned char *>(data->data()),
                                              0, size);
    if (got != size) {
        data->clear();
        return false;
    }
    return true;
}

void ChmFile::readSystemFile()
{
    QByteArray sys;
    if (read(QStringLiteral("/#SYSTEM"), &sys) && sys.size() >= 4) {
        // A version word, then records of code, length and data.
        qsizetype at = 4;
        while (at + 4 <= sys.size()) {
            const quint16 code = readLe16(sys.constData() + at);
            const quint16 len = readLe16(sys.constData() + at + 2);
            at += 4;
            if (at + len > sys.size())
                break;
            const QByteArray value = sys.mid(at, len);
            at += len;
            if (code == SysDefaultTopic)
                m_defaultTopic = decodeName(value);
            else if (code == SysTitle)
                m_title = decodeName(value);
            else if (code == SysContentsFile)
                m_contentsFile = decodeName(value);
        }
    }

    Enumeration all;
    if (m_defaultTopic.isEmpty() || m_contentsFile.isEmpty() || m_title.isEmpty()) {
        chm_enumerate(m_file, CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_FILES, collectPath, &all);
        // Some compilers keep the project file; its options stand in for #SYSTEM.
        for (const QString &p : std::as_const(all.paths)) {
            if (!p.endsWith(QLatin1String(".hhp"), Qt::CaseInsensitive))
                continue;
            QByteArray project;
            if (!read(p, &project))
                continue;
            const QStringList lines = decodeHelpText(project).split(QLatin1Char('\n'));
            for (QString line : lines) {
                line = line.trimmed();
                const int eq = line.indexOf(QLatin1Char('='));
                if (eq <= 0)
                    continue;
                const QString key = line.left(eq).trimmed().toLower();
                const QString value = line.mid(eq + 1).trimmed();
                if (key == QLatin1String("default topic") && m_defaultTopic.isEmpty())
                    m_defaultTopic = value;
                else if (key == QLatin1String("contents file") && m_contentsFile.isEmpty())
                    m_contentsFile = value;
                else if (key == QLatin1String("title") && m_title.isEmpty())
                    m_title = value;
            }
            break;
        }
        if (m_contentsFile.isEmpty()) {
            for (const QString &p : std::as_const(all.paths)) {
                if (p.endsWith(QLatin1String(".hhc"), Qt::CaseInsensitive)) {
                    m_contentsFile = p;
                    break;
                }
            }
        }
    }

    if (!m_contentsFile.isEmpty()) {
        QByteArray hhc;
        if (read(m_contentsFile, &hhc)) {
            m_contents = parseSitemap(decodeHelpText(hhc));
            for (ChmTopic &t : m_contents) {
                // Addresses with a scheme (web links) stay as they are.
                if (t.local.isEmpty() || t.local.contains(QLatin1Char(':')))
                    continue;
                const int hash = t.local.indexOf(QLatin1Char('#'));
                const QString anchor = hash >= 0 ? t.local.mid(hash) : QString();
                t.local = normalizePath(withoutAnchor(t.local)) + anchor;
            }
        }
    }
}

QString ChmFile::findDefaultTopic() const
{
    const QString named = withoutAnchor(m_defaultTopic);
    if (!named.isEmpty() && contains(named))
        return normalizePath(named);
    for (const ChmTopic &t : m_contents) {
        const QString page = withoutAnchor(t.local);
        if (!page.isEmpty() && contains(page))
            return normalizePath(page);
    }
    for (const char *name : {"/index.html", "/index.htm", "/default.html", "/default.htm"}) {
        if (contains(QLatin1String(name)))
            return QLatin1String(name);
    }
    // Named but absent: report that name rather than nothing.
    return named.isEmpty() ? QString() : normalizePath(named);
}

QString decodeHelpText(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(QStringDecoder::Utf16);
        return decoder(bytes);
    }
    const QString charset = declaredCharset(bytes);
    if (charset == QLatin1String("utf-8") || charset == QLatin1String("utf8"))
        return QString::fromUtf8(bytes);
    if (!charset.isEmpty()) {
        if (charset == QLatin1String("shift_jis") || charset == QLatin1String("x-sjis")
            || charset == QLatin1String("sjis") || charset == QLatin1String("cp932")
            || charset == QLatin1String("windows-31j") || charset == QLatin1String("ms_kanji"))
            return decodeCp932Text(bytes);
        if (QTextCodec *codec = QTextCodec::codecForName(charset.toLatin1()))
            return codec->toUnicode(bytes);
    }
    if (isValidUtf8(bytes))
        return QString::fromUtf8(bytes);
    return decodeCp932Text(bytes);
}

QList<ChmTopic> parseSitemap(const QString &text)
{
    static const QRegularExpression tagRe(
        QStringLiteral("<\\s*(/?)\\s*(ul|object|param)\\b([^>]*)>"),
        QRegularExpression::CaseInsensitiveOption);
    QList<ChmTopic> out;
    int depth = -1;  // the outermost <UL> is level 0
    bool inObject = false;
    bool isSitemap = false;
    ChmTopic current;
    auto it = tagRe.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        const bool closing = !m.captured(1).isEmpty();
        const QString tag = m.captured(2).toLower();
        const QString attrs = m.captured(3);
        if (tag == QLatin1String("ul")) {
            depth += closing ? -1 : 1;
            if (depth < -1)
                depth = -1;
        } else if (tag == QLatin1String("object")) {
            if (!closing) {
                inObject = true;
                isSitemap = attribute(attrs, QStringLiteral("type")).compare(
                                QLatin1String("text/sitemap"), Qt::CaseInsensitive) == 0;
                current = ChmTopic();
                current.depth = qMax(depth, 0);
            } else if (inObject) {
                inObject = false;
                if (isSitemap && !current.name.isEmpty())
                    out.append(current);
            }
        } else if (inObject && !closing) {
            const QString name = attribute(attrs, QStringLiteral("name")).toLower();
            const QString value = attribute(attrs, QStringLiteral("value"));
            if (name == QLatin1String("name") && current.name.isEmpty())
                current.name = value;
            else if (name == QLatin1String("local") && current.local.isEmpty())
                current.local = value;
        }
    }
    return out;
}
