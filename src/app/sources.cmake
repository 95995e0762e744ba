target_sources(quorvan_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/app_paths.cpp
    ${CMAKE_CURRENT_LIST_DIR}/command_line.cpp
    ${CMAKE_CURRENT_LIST_DIR}/library_paths.cpp
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

# The editor as a library the program loads (see main.cpp): the windows and
# everything under them, with the core again (only its entry point is exported).
add_library(quorvan_gui MODULE ${CMAKE_CURRENT_LIST_DIR}/gui_main.cpp)
target_link_libraries(quorvan_gui PRIVATE quorvan_widgets)
set_target_properties(quorvan_gui PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
target_link_options(quorvan_gui PRIVATE LINKER:--no-undefined)
