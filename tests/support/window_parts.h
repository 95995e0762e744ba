#pragma once

// The parts of a main window as a test reaches them: controls by their design
// names, the table through the window's document.
#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSlider>
#include <QTest>
#include <QToolBar>

#include <memory>

#include "gui/window/main_window.h"
#include "gui/output/output_views.h"
#include "gui/widgets/color_swatch.h"
#include "gui/widgets/up_down.h"
#include "gui/grid/grid_editor.h"
#include "gui/grid/grid_widget.h"
#include "document/table_document.h"

namespace parts {

// A new, shown and active window on a new table that stays after it closes.
inline std::unique_ptr<frmMain> shownWindow()
{
    auto w = std::make_unique<frmMain>();
    w->setAttribute(Qt::WA_DeleteOnClose, false);
    w->setFileName(newTableName());
    w->show();
    w->activateWindow();
    if (!QTest::qWaitForWindowActive(w.get()))
        qWarning("window did not become active");
    return w;
}

template<typename T = QWidget>
T *part(const QObject &w, const char *name)
{
    T *child = w.findChild<T *>(QLatin1String(name));
    if (!child)
        qFatal("no part named %s", name);
    return child;
}

inline GridWidget *grid(const QObject &w) { return part<GridWidget>(w, "Grid"); }
inline GridEditor *gridEditor(const QObject &w) { return part<GridEditor>(w, "GridEditor"); }
inline OutputViews *output(const QObject &w) { return part<OutputViews>(w, "OutputViews"); }
inline QLineEdit *box(const QObject &w, const char *name) { return part<QLineEdit>(w, name); }
inline QAction *item(const QObject &w, const char *name) { return part<QAction>(w, name); }

// The caption as the title bar shows it: "[*]" becomes the modified mark or nothing.
inline QString caption(const QWidget &w)
{
    QString title = w.windowTitle();
    const qsizetype mark = title.lastIndexOf(QLatin1String("[*]"));
    if (mark >= 0)
        title.replace(mark, 3, w.isWindowModified() ? QStringLiteral("*") : QString());
    return title.replace(QLatin1String("[*][*]"), QLatin1String("[*]"));
}

inline const TableModel &model(const frmMain &w) { return w.document().model(); }
inline TableDocument &doc(const frmMain &w) { return w.document(); }

// The toolbar's action at a position (shared with a menu item where there is one).
inline QAction *barAction(const QObject &w, ToolbarButton b)
{
    return part<QToolBar>(w, "Bar")->actions().at(int(b) - 1);
}

// A click on a toolbar position, as the user makes it: the button itself, or
// for a separator the window's toolbar dispatch.
inline void clickBar(frmMain &w, ToolbarButton b)
{
    QToolBar *bar = part<QToolBar>(w, "Bar");
    if (auto *button = qobject_cast<QAbstractButton *>(bar->widgetForAction(barAction(w, b))))
        button->click();
    else
        w.Bar_ButtonClick(b);
}

} // namespace parts
