target_sources(quorvan_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/relative_path.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tag_builders.cpp
)
target_sources(quorvan_widgets PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/dialog_placement.cpp
    ${CMAKE_CURRENT_LIST_DIR}/frm_edit.cpp
    ${CMAKE_CURRENT_LIST_DIR}/frm_link.cpp
    ${CMAKE_CURRENT_LIST_DIR}/frm_picture.cpp
    ${CMAKE_CURRENT_LIST_DIR}/frm_font.cpp
    ${CMAKE_CURRENT_LIST_DIR}/work_file_chooser.cpp
)
