#include <QtTest>

#include "core/model/grid_text.h"

class tst_GridText : public QObject
{
    Q_OBJECT

private slots:
    void shown_data();
    void shown();
};

void tst_GridText::shown_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");

    QTest::newRow("empty") << "" << "";
    QTest::newRow("plain text is returned as is") << "Taro 日本語" << "Taro 日本語";
    QTest::newRow("tags are dropped") << "<B>bold</B> text" << "bold text";
    QTest::newRow("BR in any casing becomes CR LF")
            << "a<br>b<BR>c<Br/>d" << "a\r\nb\r\nc\r\nd";
    QTest::newRow("BR with attributes is still a break") << "a<br clear=all>b" << "a\r\nb";
    QTest::newRow("a tag starting with b is no break") << "a<b>b" << "ab";
    QTest::newRow("entity inside text") << "&lt;B&gt;" << "<B>";
    QTest::newRow("entity names are case-blind") << "&AMP;&Quot;" << "&\"";
    QTest::newRow("second semicolon is dropped") << "&amp;amp;" << "&amp";
    QTest::newRow("copy gets spaces around") << "&copy;2002" << " (C) 2002";
    QTest::newRow("reg and trade") << "&reg;&trade;" << " (R)  TM ";
    QTest::newRow("yen is the backslash") << "&yen;100" << "\\100";
    QTest::newRow("fullwidth cent and pound, laquo")
            << "&cent;&pound;&laquo;" << QString::fromUtf16(u"\uFFE0\uFFE1\u226A");
    QTest::newRow("apos") << "&apos;" << "'";
    QTest::newRow("unknown names vanish") << "a&nbsp;b" << "ab";
    QTest::newRow("numeric references vanish") << "&#169;&#x41;" << "";
    QTest::newRow("a bare semicolon never shows") << "a;b" << "ab";
    QTest::newRow("unclosed tag is put back") << "x<y" << "x<y";
    QTest::newRow("unclosed br tag is put back after its break") << "x<br" << "x\r\n<br";
    QTest::newRow("unclosed entity is put back") << "AT&T" << "AT&T";
    QTest::newRow("bare ampersand before a later semicolon is swallowed")
            << "a & b; c" << "a  c";
    QTest::newRow("ampersand in a tag stays open past the >")
            << "<a href=\"?x=1&y=2\">link</a>; after" << " after";
    QTest::newRow("lone <") << "<" << "<";
    QTest::newRow("a lone > is dropped, fast path or not") << "a > b" << "a  b";
    QTest::newRow("line breaks pass through") << "a\r\nb;" << "a\r\nb";
    QTest::newRow("tag buffer not cleared by a second <") << "<a<b" << "<ab";
}

void tst_GridText::shown()
{
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    QCOMPARE(HtmlToGridText(stored), shown);
}

QTEST_APPLESS_MAIN(tst_GridText)
#include "tst_grid_text.moc"
