#pragma once

// The main window's toolbar, by position. The toolbar reports every click by
// position, separators included: a click there deletes a preview page too.
enum class ToolbarButton {
    New = 1,
    Open = 2,
    Save = 3,
    FileSeparator = 4,
    Help = 5,
    HelpSeparator = 6,
    Header = 7,
    HeaderSeparator = 8,
    TableView = 9,
    CellView = 10,
    TagView = 11,
    Preview = 12,
    PreviewSeparator = 13,
    BrowserPreview = 14,
};
constexpr int ToolbarButtonCount = 14;
