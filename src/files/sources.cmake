target_sources(quorvan_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/compression.cpp
    ${CMAKE_CURRENT_LIST_DIR}/save_target.cpp
    ${CMAKE_CURRENT_LIST_DIR}/table_document_io.cpp
    ${CMAKE_CURRENT_LIST_DIR}/table_export.cpp
    ${CMAKE_CURRENT_LIST_DIR}/table_file.cpp
    ${CMAKE_CURRENT_LIST_DIR}/temp_paths.cpp
    ${CMAKE_CURRENT_LIST_DIR}/../platform/text_codec.cpp
)
target_sources(quorvan_widgets PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/file_commands.cpp
)
