target_sources(quorvan_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/table_model.cpp
    ${CMAKE_CURRENT_LIST_DIR}/grid_text.cpp
    ${CMAKE_CURRENT_LIST_DIR}/table_edits.cpp
)
target_sources(quorvan_widgets PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/grid_widget.cpp
    ${CMAKE_CURRENT_LIST_DIR}/grid_input.cpp
    ${CMAKE_CURRENT_LIST_DIR}/grid_measure.cpp
    ${CMAKE_CURRENT_LIST_DIR}/grid_editor.cpp
    ${CMAKE_CURRENT_LIST_DIR}/grid_selection.cpp
    ${CMAKE_CURRENT_LIST_DIR}/grid_commands.cpp
    ${CMAKE_CURRENT_LIST_DIR}/grid_clipboard.cpp
    ${CMAKE_CURRENT_LIST_DIR}/table_document.cpp
    ${CMAKE_CURRENT_LIST_DIR}/pane_helpers.cpp
    ${CMAKE_CURRENT_LIST_DIR}/table_settings_pane.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cell_settings_pane.cpp
)
