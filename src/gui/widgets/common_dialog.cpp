#include "gui/widgets/common_dialog.h"

#include <QColor>
#include <QColorDialog>
#include <QFileDialog>
#include <QStringList>

static CommonDialog::Hook &testHook()
{
    static CommonDialog::Hook hook;
    return hook;
}

CommonDialog::CommonDialog(QWidget *owner)
    : QObject(owner), m_owner(owner)
{
    setObjectName(QStringLiteral("Dlg"));
}

void CommonDialog::setTestHook(Hook hook)
{
    testHook() = std::move(hook);
}

QString CommonDialog::qtFilter(const QString &filterPairs)
{
    const QStringList parts = filterPairs.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts.at(i + 1);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        // Qt takes the patterns from the last parentheses of the name; keep the
        // designed name visible and hand Qt the real patterns after it, unless
        // the name ends in exactly those already ("ファイル(*.*)"): once is enough.
        const QString name = parts.at(i).trimmed();
        const QString own = QLatin1Char('(') + patterns + QLatin1Char(')');
        if (name.endsWith(own))
            filters << name;
        else
            filters << parts.at(i) + QLatin1String(" (") + patterns + QLatin1Char(')');
    }
    return filters.join(QLatin1String(";;"));
}

static QColor toQColor(qint32 v)
{
    return QColor(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF);
}

static qint32 fromQColor(const QColor &c)
{
    return qint32(c.red() | (c.green() << 8) | (c.blue() << 16));
}

CommonDialog::Reply CommonDialog::show(const Request &request)
{
    if (testHook())
        return testHook()(request);

    Reply reply;
    switch (request.kind) {
    case Open:
    case Save: {
        QFileDialog dialog(m_owner, request.title, request.fileName, qtFilter(request.filter));
        dialog.setAcceptMode(request.kind == Open ? QFileDialog::AcceptOpen
                                                  : QFileDialog::AcceptSave);
        dialog.setFileMode(request.kind == Open ? QFileDialog::ExistingFile
                                                : QFileDialog::AnyFile);
        if (request.kind == Save && !request.overwritePrompt)
            dialog.setOption(QFileDialog::DontConfirmOverwrite);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        // The suffix goes on before the overwrite question, so the question names the real file.
        const QStringList filters = qtFilter(request.filter).split(QLatin1String(";;"));
        auto suffixFor = [&](const QString &filter) {
            const qsizetype index = filters.indexOf(filter);
            dialog.setDefaultSuffix(!request.filterSuffixes.isEmpty() ? request.filterSuffixes.value(index)
                                    : index == 0 ? request.defaultSuffix : QString());
        };
        suffixFor(dialog.selectedNameFilter());
        connect(&dialog, &QFileDialog::filterSelected, &dialog, suffixFor);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
            reply.accepted = true;
            reply.fileName = dialog.selectedFiles().constFirst();
            reply.filterIndex = qMax(0, int(filters.indexOf(dialog.selectedNameFilter())));
        }
        break;
    }
    case Color: {
        QColorDialog dialog(toQColor(request.color), m_owner);
        dialog.setOption(QColorDialog::DontUseNativeDialog);
        if (dialog.exec() == QDialog::Accepted) {
            reply.accepted = true;
            reply.color = fromQColor(dialog.selectedColor());
        }
        break;
    }
    }
    return reply;
}

bool CommonDialog::showFile(Kind kind, const QString &title, const QString &filter,
                            QString &fileName)
{
    Request r;
    r.kind = kind;
    r.title = title;
    r.filter = filter;
    r.fileName = fileName;
    r.overwritePrompt = kind == Save;
    const Reply reply = show(r);
    if (reply.accepted)
        fileName = reply.fileName;
    return reply.accepted;
}

bool CommonDialog::ShowOpen(const QString &title, const QString &filter, QString &fileName)
{
    return showFile(Open, title, filter, fileName);
}

bool CommonDialog::ShowSave(const QString &title, const QString &filter, QString &fileName)
{
    return showFile(Save, title, filter, fileName);
}

bool CommonDialog::ShowColor(qint32 &color)
{
    Request r;
    r.kind = Color;
    r.color = color;
    const Reply reply = show(r);
    if (reply.accepted)
        color = reply.color;
    return reply.accepted;
}
