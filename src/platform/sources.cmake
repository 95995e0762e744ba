target_sources(quorvan_widgets PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/number_box.cpp
    ${CMAKE_CURRENT_LIST_DIR}/clickable_separator.cpp
    ${CMAKE_CURRENT_LIST_DIR}/common_dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/color_swatch.cpp
    ${CMAKE_CURRENT_LIST_DIR}/up_down.cpp
    ${CMAKE_CURRENT_LIST_DIR}/url_opener.cpp
)
# Help file reader (QtCore and chmlib only), help viewer, button pictures.
target_sources(quorvan_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/chm_file.cpp
)
target_include_directories(quorvan_core PUBLIC ${CHM_INCLUDE_DIR})
target_link_libraries(quorvan_core PUBLIC ${CHM_LIBRARY})
target_sources(quorvan_widgets PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/help.cpp
    ${CMAKE_CURRENT_LIST_DIR}/help_window.cpp
    ${CMAKE_CURRENT_LIST_DIR}/icons.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ui_font.cpp
)
