target_sources(quorvan_widgets PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/number_box.cpp
    ${CMAKE_CURRENT_LIST_DIR}/common_dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/color_swatch.cpp
    ${CMAKE_CURRENT_LIST_DIR}/up_down.cpp
    ${CMAKE_CURRENT_LIST_DIR}/url_opener.cpp
)
