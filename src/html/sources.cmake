target_sources(quorvan_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/table_markup.cpp
)
target_sources(quorvan_widgets PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/output_views.cpp
)
