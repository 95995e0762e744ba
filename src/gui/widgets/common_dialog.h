#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

// The window's common dialog: open/save file dialogs and the colour dialog.
// Tests replace the whole thing with CommonDialog::setTestHook, so that
// modal dialogs never block a test.
class CommonDialog : public QObject
{
    Q_OBJECT
public:
    explicit CommonDialog(QWidget *owner);

    enum Kind { Open, Save, Color };
    struct Request {
        Kind kind = Open;
        QString title;
        QString filter;          // name and pattern pairs, "Text(*.a)|*.a|..."
        QString fileName;        // initial name
        bool overwritePrompt = false;
        qint32 color = 0;        // start colour, 0x00BBGGRR
        QString defaultSuffix;   // Save: given to a name without one while the first filter is chosen
        QStringList filterSuffixes; // Save: the suffix each filter gives such a name, when set
    };
    struct Reply {
        bool accepted = false;   // false: cancelled
        QString fileName;
        qint32 color = 0;
        int filterIndex = 0;     // Open, Save: the filter chosen, 0 for the first
    };
    using Hook = std::function<Reply(const Request &)>;

    Reply show(const Request &request);

    // Convenience wrappers.
    bool ShowOpen(const QString &title, const QString &filter, QString &fileName);
    bool ShowSave(const QString &title, const QString &filter, QString &fileName);
    bool ShowColor(qint32 &color);

    static void setTestHook(Hook hook);  // empty hook: real dialogs again

    // "A(*.x)|*.x|B(*.y)|*.y;*.z" -> Qt's "A(*.x);;B(*.y) (*.y *.z)" name filters.
    static QString qtFilter(const QString &filterPairs);

private:
    bool showFile(Kind kind, const QString &title, const QString &filter, QString &fileName);

    QWidget *m_owner;
};
