#include "gui/cell_editor/frm_edit.h"

#include <QAction>
#include <QActionGroup>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidgetAction>

#include "gui/cell_editor/dialog_placement.h"
#include "gui/cell_editor/frm_font.h"
#include "gui/cell_editor/frm_link.h"
#include "gui/cell_editor/frm_picture.h"
#include "core/text/tag_builders.h"
#include "core/io/temp_paths.h"
#include "gui/widgets/accessible_names.h"
#include "gui/widgets/clickable_separator.h"
#include "gui/help/help.h"
#include "gui/widgets/icons.h"
#include "core/text/text_codec.h"
#include "gui/widgets/ui_font.h"
#include "gui/output/web_preview.h"

namespace {

// Inner size at first, in pixels.
constexpr int InitialWidth = 349;
constexpr int InitialHeight = 206;

// The most QWebEnginePage::setContent shows: it passes the bytes as a base64
// data address, and addresses end at 2 MB.
constexpr qsizetype MaxInlinePage = 2 * 1024 * 1024 / 4 * 3 - 4096;

// Shift+Enter would put a Unicode line separator into the text; a cell only
// knows CR LF, so make it an ordinary line break.
class PlainEnterFilter : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            || !(key->modifiers() & Qt::ShiftModifier))
            return false;
        static_cast<QPlainTextEdit *>(watched)->textCursor().insertBlock();
        return true;
    }
};

// Qt 6.4 on X11 crashes pasting into a plain-text edit when the clipboard (or,
// for a middle click, the selection) has no owner: it is handed data without
// any format. Nothing to paste is nothing to do.
class PasteSafeTextEdit : public QPlainTextEdit
{
public:
    using QPlainTextEdit::QPlainTextEdit;

protected:
    void insertFromMimeData(const QMimeData *source) override
    {
        if (source && !source->formats().isEmpty())
            QPlainTextEdit::insertFromMimeData(source);
    }
};

// The pane holds "\n" line ends; cells and pages hold CR LF.
QString toPaneText(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QString fromPaneText(QString text)
{
    text.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
    return text;
}

struct ButtonDef {
    EditorButton position;
    const char *tip; // null: separator
};

const ButtonDef buttonDefs[] = {
    {EditorButton::StoreAndClose, QT_TRANSLATE_NOOP("frmEdit", "内容をセルに代入し、編集を終わります。")},
    {EditorButton::Cancel, QT_TRANSLATE_NOOP("frmEdit", "内容を更新せず、編集を終わります。")},
    {EditorButton::CloseSeparator, nullptr},
    {EditorButton::TagView, QT_TRANSLATE_NOOP("frmEdit", "タグ画面を表示します。")},
    {EditorButton::Preview, QT_TRANSLATE_NOOP("frmEdit", "プレビュー画面を表示します。")},
    {EditorButton::ViewSeparator, nullptr},
    {EditorButton::LineBreak, QT_TRANSLATE_NOOP("frmEdit", "選択された場所に改行タグを挿入します。")},
    {EditorButton::Font, QT_TRANSLATE_NOOP("frmEdit", "選択した文字の色やサイズを指定します。")},
    {EditorButton::Link, QT_TRANSLATE_NOOP("frmEdit", "選択された文字をリンク付きテキストにします。")},
    {EditorButton::Picture, QT_TRANSLATE_NOOP("frmEdit", "選択された場所に画像を挿入します。")},
    {EditorButton::InsertSeparator, nullptr},
    {EditorButton::Bold, QT_TRANSLATE_NOOP("frmEdit", "選択された文字を太字にします。")},
    {EditorButton::Italic, QT_TRANSLATE_NOOP("frmEdit", "選択された文字を斜体にします。")},
    {EditorButton::Underline, QT_TRANSLATE_NOOP("frmEdit", "選択された文字を下線付き文字にします。")},
    {EditorButton::Strike, QT_TRANSLATE_NOOP("frmEdit", "選択された文字を取消線付きにします。")},
    {EditorButton::StyleSeparator, nullptr},
    {EditorButton::Help, QT_TRANSLATE_NOOP("frmEdit", "ヘルプを表示します。")},
};

} // namespace

frmEdit::frmEdit(QWidget *owner)
    : QDialog(owner, toolWindowFlags)
{
    setObjectName(QStringLiteral("frmEdit"));
    setWindowTitle(tr("複数行編集"));
    setSizeGripEnabled(false);

    createToolBar();
    createMenus();

    txtEdit = new PasteSafeTextEdit(this);
    txtEdit->setObjectName(QStringLiteral("txtEdit"));
    txtEdit->setFont(japaneseUiFont(9));
    txtEdit->installEventFilter(new PlainEnterFilter(txtEdit));
    txtEdit->setAccessibleName(tr("セルの内容"));

    Web = new QWidget(this);
    Web->setObjectName(QStringLiteral("Web"));
    auto *webLayout = new QVBoxLayout(Web);
    webLayout->setContentsMargins(0, 0, 0, 0);
    // The page declares no character set; it is written in CP932. No context menu.
    m_web = std::make_unique<WebPreview>(Web, QStringLiteral("Shift_JIS"), false);

    resize(InitialWidth, InitialHeight);
    nameControls(this);
    Form_Load();
}

frmEdit::~frmEdit()
{
    deletePreviewFile();
}

void frmEdit::createToolBar()
{
    Bar = makeFixedToolBar(this);

    auto *views = new QActionGroup(this);
    views->setExclusive(true);
    for (const ButtonDef &b : buttonDefs) {
        const EditorButton position = b.position;
        const int index = int(position);
        QAction *action = nullptr;
        if (!b.tip) {
            auto *sep = new QWidgetAction(Bar);
            sep->setDefaultWidget(
                new ClickableSeparator([this, position] { Bar_ButtonClick(position); }, Bar));
            action = sep;
        } else {
            action = new QAction(Bar);
            action->setToolTip(tr(b.tip));
            action->setIcon(editorIcon(index));
            connect(action, &QAction::triggered, this, [this, position] { Bar_ButtonClick(position); });
        }
        action->setObjectName(QStringLiteral("Bar_%1").arg(index));
        if (position == EditorButton::TagView || position == EditorButton::Preview) {
            action->setCheckable(true);
            views->addAction(action);
        }
        Bar->addAction(action);
        BarButton[index] = action;
        // Compact buttons, so that all seventeen positions fit the first width.
        if (b.tip)
            Bar->widgetForAction(action)->setFixedSize(22, 22);
    }
}

namespace {

struct MenuItem {
    EditorButton position;  // -1: a separator
    const char *text;
    QKeyCombination keys[2];
};

struct MenuDef {
    const char *name;
    const char *title;
    std::initializer_list<MenuItem> items;
};

} // namespace

// The toolbar's commands in menus, with their keys: the editor is used
// without a mouse as well. The menus share the toolbar's actions.
void frmEdit::createMenus()
{
    const MenuDef menus[] = {
        {"mnuEditCell", QT_TR_NOOP("編集(&E)"),
         {{EditorButton::StoreAndClose, QT_TR_NOOP("セルに代入して閉じる(&S)"),
           {Qt::CTRL | Qt::Key_Return, Qt::CTRL | Qt::Key_Enter}},
          {EditorButton::Cancel, QT_TR_NOOP("代入せずに閉じる(&C)"), {}}}},
        {"mnuEditView", QT_TR_NOOP("表示(&V)"),
         {{EditorButton::TagView, QT_TR_NOOP("タグ(&T)"), {}},
          {EditorButton::Preview, QT_TR_NOOP("プレビュー(&P)"), {}}}},
        {"mnuEditInsert", QT_TR_NOOP("挿入(&I)"),
         {{EditorButton::LineBreak, QT_TR_NOOP("改行(&B)"), {Qt::CTRL | Qt::SHIFT | Qt::Key_Return}},
          {EditorButton::Font, QT_TR_NOOP("フォント(&F)..."), {Qt::CTRL | Qt::SHIFT | Qt::Key_F}},
          {EditorButton::Link, QT_TR_NOOP("リンク(&L)..."), {Qt::CTRL | Qt::SHIFT | Qt::Key_L}},
          {EditorButton::Picture, QT_TR_NOOP("画像(&P)..."), {Qt::CTRL | Qt::SHIFT | Qt::Key_P}}}},
        {"mnuEditFormat", QT_TR_NOOP("書式(&O)"),
         {{EditorButton::Bold, QT_TR_NOOP("太字(&B)"), {Qt::CTRL | Qt::Key_B}},
          {EditorButton::Italic, QT_TR_NOOP("斜体(&I)"), {Qt::CTRL | Qt::Key_I}},
          {EditorButton::Underline, QT_TR_NOOP("下線(&U)"), {Qt::CTRL | Qt::Key_U}},
          {EditorButton::Strike, QT_TR_NOOP("取り消し線(&S)"), {Qt::CTRL | Qt::SHIFT | Qt::Key_X}}}},
        {"mnuEditHelp", QT_TR_NOOP("ヘルプ(&H)"),
         {{EditorButton::Help, QT_TR_NOOP("ヘルプ(&H)..."), {QKeyCombination(Qt::Key_F1)}}}},
    };
    menuBar = new QMenuBar(this);
    menuBar->setObjectName(QStringLiteral("menuBar"));
    for (const MenuDef &def : menus) {
        QMenu *menu = menuBar->addMenu(tr(def.title));
        menu->setObjectName(QLatin1String(def.name));
        for (const MenuItem &item : def.items) {
            QAction *action = button(item.position);
            action->setText(tr(item.text));
            QList<QKeySequence> keys;
            for (QKeyCombination k : item.keys)
                if (k.key() != Qt::Key_unknown && k.toCombined() != 0)
                    keys << QKeySequence(k);
            action->setShortcuts(keys);
            menu->addAction(action);
        }
    }
}

void frmEdit::Form_Load()
{
    Form_Resize();
    Web->hide();
    button(EditorButton::TagView)->setChecked(true);
}

void frmEdit::SettingText(const QString &text)
{
    txtEdit->setPlainText(toPaneText(text));
}

QString frmEdit::paneText() const
{
    return fromPaneText(txtEdit->document()->toRawText());
}

QString frmEdit::selText() const
{
    return fromPaneText(txtEdit->textCursor().selectedText());
}

void frmEdit::setSelText(const QString &text)
{
    QTextCursor cursor = txtEdit->textCursor();
    cursor.insertText(toPaneText(text));
    txtEdit->setTextCursor(cursor);
}

void frmEdit::InsertTag(int kind)
{
    if (const std::optional<QString> tag = insertTagText(kind, selText()))
        setSelText(*tag);
}

void frmEdit::Bar_ButtonClick(EditorButton position)
{
    // Every click first removes the preview page of the last preview.
    deletePreviewFile();

    switch (position) {
    case EditorButton::StoreAndClose:
        emit textStored(paneText());
        accept();
        break;
    case EditorButton::Cancel:
        reject();
        break;
    case EditorButton::TagView:
        setTextMode(true);
        break;
    case EditorButton::Preview:
        showPreview();
        break;
    case EditorButton::LineBreak:
        InsertTag(int(TagKind::LineBreak));
        break;
    case EditorButton::Font: {
        frmFont dialog(this);
        dialog.exec();
        break;
    }
    case EditorButton::Link: {
        frmLink dialog(this);
        dialog.exec();
        break;
    }
    case EditorButton::Picture: {
        frmPicture dialog(this);
        dialog.exec();
        break;
    }
    case EditorButton::Bold:
        InsertTag(int(TagKind::Bold));
        break;
    case EditorButton::Italic:
        InsertTag(int(TagKind::Italic));
        break;
    case EditorButton::Underline:
        InsertTag(int(TagKind::Underline));
        break;
    case EditorButton::Strike:
        InsertTag(int(TagKind::Strike));
        break;
    case EditorButton::Help:
        showHelpFile(this);
        break;
    default:
        break;
    }
}

void frmEdit::showPreview()
{
    const QString path = GetTempHtmlPath();
    if (!path.isEmpty()) {
        const QByteArray page = encodeCp932(QLatin1String("<HTML><BODY>\r\n") + paneText()
                                            + QLatin1String("\r\n</BODY></HTML>\r\n"));
        QFile file(path);
        const bool written = file.open(QIODevice::WriteOnly | QIODevice::Truncate)
                && file.write(page) == page.size();
        file.close();
        PreviewFile = path;
        if (m_web->view()) {
            // The page declares no character set, and for a local file the
            // engine guesses one from the text outside the tags, ignoring the
            // default encoding: Japanese only in an ALT or TITLE came out as
            // Windows-1252. So the file's bytes are handed over with their
            // character set named; relative addresses still resolve from the
            // file's folder. A page too big to be handed over is loaded from
            // the file as before.
            if (written && page.size() < MaxInlinePage)
                m_web->setContent(page, QStringLiteral("text/html;charset=Shift_JIS"),
                                  QUrl::fromLocalFile(path));
            else
                m_web->load(QUrl::fromLocalFile(path));
        }
        PreviewFileMade = true;
    }
    setTextMode(false);
}

void frmEdit::setTextMode(bool textMode)
{
    txtEdit->setVisible(textMode);
    Web->setVisible(!textMode);
    // Only the positions that edit the text depend on it being shown.
    for (int i = int(EditorButton::LineBreak); i <= ButtonCount; ++i)
        BarButton[i]->setEnabled(textMode);
    button(textMode ? EditorButton::TagView : EditorButton::Preview)->setChecked(true);
    if (textMode)
        txtEdit->setFocus();
}

void frmEdit::deletePreviewFile()
{
    if (PreviewFileMade)
        QFile::remove(PreviewFile);
    // Forgotten even if it could not be deleted.
    PreviewFileMade = false;
}

QWidget *frmEdit::webView() const
{
    return m_web->existingView();
}

void frmEdit::Form_Resize()
{
    const int menuHeight = menuBar->sizeHint().height();
    const int w = width();
    const int s = height();
    menuBar->setGeometry(0, 0, w, menuHeight);
    Bar->setGeometry(0, menuHeight, w, Bar->sizeHint().height());
    const int toolbarHeight = menuHeight + Bar->sizeHint().height();
    // The preview pane takes the whole inner height, so its lowest strip (as
    // high as the toolbar) lies below the window's edge; kept as it has always been.
    Web->setGeometry(0, toolbarHeight, w, s);
    // Lower than the toolbar: the text pane keeps its size.
    if (s - toolbarHeight >= 0)
        txtEdit->setGeometry(0, toolbarHeight, w, s - toolbarHeight);
}

void frmEdit::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    Form_Resize();
}

void frmEdit::showEvent(QShowEvent *event)
{
    if (!m_placed) {
        m_placed = true;
        centreOnOwner(this);
        // Typing starts in the text at once, without a click.
        txtEdit->setFocus(Qt::ActiveWindowFocusReason);
    }
    QDialog::showEvent(event);
}

void frmEdit::keyPressEvent(QKeyEvent *event)
{
    // Esc belongs to the input method (it cancels a conversion); one press too
    // many must not throw the whole text away. The store and close buttons and
    // the window frame are the ways out.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmEdit::done(int result)
{
    // Closing from the frame or the close button ends editing without storing;
    // the preview page goes with the window rather than staying in the temp folder.
    deletePreviewFile();
    QDialog::done(result);
}
