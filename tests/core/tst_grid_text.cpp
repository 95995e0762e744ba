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
    QTest::newRow("names are as HTML5 spells them") << "&AMP;&QUOT;&Quot;" << "&\"&Quot;";
    QTest::newRow("a reference is decoded once") << "&amp;amp;" << "&amp;";
    QTest::newRow("copy, reg and trade are their signs") << "&copy;2002&reg;&trade;" << QString::fromUtf16(u"\u00A92002\u00AE\u2122");
    QTest::newRow("yen is the yen sign") << "&yen;980" << QString::fromUtf16(u"\u00A5980");
    QTest::newRow("cent, pound, laquo, ndash")
            << "&cent;&pound;&laquo;&ndash;" << QString::fromUtf16(u"\u00A2\u00A3\u00AB\u2013");
    QTest::newRow("apos") << "&apos;" << "'";
    QTest::newRow("nbsp is a no-break space") << "a&nbsp;b" << QString::fromUtf16(u"a\u00A0b");
    QTest::newRow("numeric references") << "&#169;&#x41;&#x2717;" << QString::fromUtf16(u"\u00A9A\u2717");
    QTest::newRow("a reference before a tag") << "&#x2713; <a>詳しく</a>" << QString::fromUtf16(u"\u2713 詳しく");
    QTest::newRow("unknown names are kept") << "a&foo;b" << "a&foo;b";
    QTest::newRow("a bare semicolon shows") << "a;b" << "a;b";
    QTest::newRow("unclosed tag is put back") << "x<y" << "x<y";
    QTest::newRow("unclosed br tag is put back") << "x<br" << "x<br";
    QTest::newRow("unclosed entity is put back") << "AT&T" << "AT&T";
    QTest::newRow("a bare ampersand shows") << "a & b; c" << "a & b; c";
    QTest::newRow("a reference inside a tag goes with the tag")
            << "<a href=\"?x=1&amp;y=2\">link</a>; after" << "link; after";
    QTest::newRow("lone <") << "<" << "<";
    QTest::newRow("a lone > shows") << "a > b" << "a > b";
    QTest::newRow("line breaks pass through") << "a\r\nb;" << "a\r\nb;";
    QTest::newRow("an unclosed tag after a tag") << "<i>a<b" << "a<b";
}

void tst_GridText::shown()
{
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    QCOMPARE(HtmlToGridText(stored), shown);
}

QTEST_APPLESS_MAIN(tst_GridText)
#include "tst_grid_text.moc"
