target_sources(quorvan_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/table_model.cpp
    ${CMAKE_CURRENT_LIST_DIR}/grid_text.cpp
)
