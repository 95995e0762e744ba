#include <QtTest>

#include "core/text/char_refs.h"

class tst_CharRefs : public QObject
{
    Q_OBJECT

private slots:
    void decoded_data();
    void decoded();
};

void tst_CharRefs::decoded_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("decoded");

    QTest::newRow("plain text, tags and lone marks as typed")
            << "a;b <B>A > B</B> x < y AT&T &" << "a;b <B>A > B</B> x < y AT&T &";
    QTest::newRow("named") << "caf&eacute; x&nbsp;y &lt;B&gt;" << u"café x\u00A0y <B>"_qs;
    QTest::newRow("names are case-sensitive") << "&AMP;&Amp;&amp;" << "&&Amp;&";
    QTest::newRow("astral and two-character names")
            << "&Afr;&NotEqualTilde;" << u"\U0001D504\u2242\u0338"_qs;
    QTest::newRow("longest name") << "&CounterClockwiseContourIntegral;" << u"\u2233"_qs;
    QTest::newRow("legacy names without semicolon, longest first")
            << "&copy2024 &notin; &notin &ampx" << u"©2024 ∉ ¬in &x"_qs;
    QTest::newRow("unknown names as typed") << "&foo; &nbspx; &;" << "&foo; \u00A0x; &;";
    QTest::newRow("decimal and hex") << "caf&#233; &#x1F600;&#X41" << u"café 😀A"_qs;
    QTest::newRow("no digits is no reference") << "&#; &#x; &#xg;" << "&#; &#x; &#xg;";
    QTest::newRow("null, surrogate and out of range become U+FFFD")
            << "&#0;&#xD800;&#x110000;&#99999999999999999999;" << u"\uFFFD\uFFFD\uFFFD\uFFFD"_qs;
    QTest::newRow("C1 controls are read as windows-1252") << "&#128;&#x99;&#x81;" << u"€™\u0081"_qs;
    QTest::newRow("references inside a tag stay")
            << "<a title=\"1 > &amp;\">&amp;</a><!-- &amp; -->"
            << "<a title=\"1 > &amp;\">&</a><!-- &amp; -->";
    QTest::newRow("robustness: unclosed tag is text") << "<b &amp;" << "<b &";
}

void tst_CharRefs::decoded()
{
    QFETCH(QString, typed);
    QFETCH(QString, decoded);
    QCOMPARE(decodeCharacterReferences(typed), decoded);
}

QTEST_APPLESS_MAIN(tst_CharRefs)
#include "tst_char_refs.moc"
