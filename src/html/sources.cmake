target_sources(quorvan_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/table_markup.cpp
)
