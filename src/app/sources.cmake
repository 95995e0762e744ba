target_sources(quorvan_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/app_paths.cpp
    ${CMAKE_CURRENT_LIST_DIR}/command_line.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ui_language.cpp
)
target_sources(quorvan_widgets PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/main_window.cpp
    ${CMAKE_CURRENT_LIST_DIR}/main_commands.cpp
    ${CMAKE_CURRENT_LIST_DIR}/document_commands.cpp
    ${CMAKE_CURRENT_LIST_DIR}/more_files.cpp
    ${CMAKE_CURRENT_LIST_DIR}/edit_history.cpp
    ${CMAKE_CURRENT_LIST_DIR}/save_and_close.cpp
    ${CMAKE_CURRENT_LIST_DIR}/recovery.cpp
)
