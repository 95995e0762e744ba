#include <QtTest>

#include "core/text/relative_path.h"

class TestRelativePath : public QObject
{
    Q_OBJECT

private slots:
    void relativeAddress_data();
    void relativeAddress();
};

void TestRelativePath::relativeAddress_data()
{
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("expected");

    // The worked examples.
    QTest::newRow("one folder up") << R"(C:\site\pages\index.html)" << R"(C:\site\img\a.gif)"
                                   << "../img/a.gif";
    QTest::newRow("into a sub-folder") << R"(C:\site\index.html)" << R"(C:\site\img\photo.gif)"
                                       << "img/photo.gif";
    QTest::newRow("same folder") << R"(C:\site\index.html)" << R"(C:\site\b.gif)" << "b.gif";
    QTest::newRow("up to the parent itself") << R"(C:\site\pages\index.html)"
                                             << R"(C:\site\top.gif)" << "../top.gif";
    QTest::newRow("prefix compared without case, target keeps its case")
        << R"(c:\Site\x.html)" << R"(C:\site\y.gif)" << "y.gif";
    QTest::newRow("folder with trailing backslash") << R"(C:\site\)" << R"(C:\site\img\a.gif)"
                                                    << "img/a.gif";
    QTest::newRow("folder without trailing backslash names a file") << R"(C:\site)"
                                                                    << R"(C:\site\img\a.gif)"
                                                                    << "site/img/a.gif";

    // Edge cases.
    QTest::newRow("two folders up") << R"(C:\a\b\c\page.html)" << R"(C:\a\x.gif)"
                                    << "../../x.gif";
    QTest::newRow("down part keeps the target's case") << R"(C:\SITE\p.html)"
                                                        << R"(c:\site\IMG\A.GIF)" << "IMG/A.GIF";
    QTest::newRow("doubled backslash in the base counts once")
        << R"(C:\site\pages\\index.html)" << R"(C:\site\a.gif)" << "../a.gif";
    QTest::newRow("doubled backslash in the target: only the first becomes a slash")
        << R"(C:\site\index.html)" << R"(C:\site\img\\a.gif)" << R"(img/\a.gif)";
    QTest::newRow("name sharing a prefix with a folder is not that folder")
        << R"(C:\site\pages\index.html)" << R"(C:\site\pagesX\a.gif)" << "../pagesX/a.gif";
    QTest::newRow("same file") << R"(C:\site\a.gif)" << R"(C:\site\a.gif)" << "a.gif";

    // No separator in common: nothing is cut, every separator of the base is a
    // step up, and the target loses its first character, as earlier versions did.
    QTest::newRow("different drives") << R"(C:\site\index.html)" << R"(D:\img\a.gif)"
                                      << "../../:/img/a.gif";
    QTest::newRow("base without backslash: no up-steps")
        << "index.html" << R"(C:\site\a.gif)" << ":/site/a.gif";
    QTest::newRow("common prefix without a separator cuts nothing") << "site.html" << "site/a.gif"
                                                                   << "ite/a.gif";

    // Linux paths: "/" separates, the same rules hold.
    QTest::newRow("linux: one folder up") << "/home/u/site/pages/index.html"
                                          << "/home/u/site/img/a.gif" << "../img/a.gif";
    QTest::newRow("linux: same folder") << "/home/u/site/index.html" << "/home/u/site/b.gif"
                                        << "b.gif";
    QTest::newRow("linux: folder with trailing slash") << "/srv/www/" << "/srv/www/img/a.gif"
                                                       << "img/a.gif";
    QTest::newRow("linux: only the root in common") << "/home/u/page.html" << "/tmp/a.gif"
                                                    << "../../tmp/a.gif";
    QTest::newRow("linux: folders differing in case are different folders")
        << "/home/u/Web/index.html" << "/home/u/web/a.gif" << "../web/a.gif";
    QTest::newRow("linux: doubled slash counts once") << "/home/u/site/pages//index.html"
                                                      << "/home/u/site/a.gif" << "../a.gif";
    QTest::newRow("mixed separators") << R"(C:\site/pages\index.html)" << R"(C:\site/img/a.gif)"
                                      << "../img/a.gif";
}

void TestRelativePath::relativeAddress()
{
    QFETCH(QString, base);
    QFETCH(QString, target);
    QFETCH(QString, expected);
    QCOMPARE(GetRelativePath(base, target), expected);
}

QTEST_APPLESS_MAIN(TestRelativePath)
#include "tst_relative_path.moc"
