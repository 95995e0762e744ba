target_sources(quorvan_widgets PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/frm_about.cpp
)
