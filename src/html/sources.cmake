target_sources(quorvan_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/table_markup.cpp
)
target_sources(quorvan_widgets PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/output_views.cpp
)
# Tables read from existing pages, through gumbo's HTML parser.
target_sources(quorvan_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/html_page_scan.cpp
    ${CMAKE_CURRENT_LIST_DIR}/html_tables.cpp
    ${CMAKE_CURRENT_LIST_DIR}/html_table_reader.cpp
)
