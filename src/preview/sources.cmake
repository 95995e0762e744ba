# The previews' side of the web engine: finds and loads the plugin.
target_sources(quorvan_widgets PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/web_preview.cpp
)

# The plugin: the only code that links the web engine.
add_library(quorvan_webpreview MODULE ${CMAKE_CURRENT_LIST_DIR}/webengine_plugin.cpp)
target_include_directories(quorvan_webpreview PRIVATE ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(quorvan_webpreview PRIVATE Qt6::WebEngineWidgets)
set_target_properties(quorvan_webpreview PROPERTIES CXX_VISIBILITY_PRESET hidden)
target_link_options(quorvan_webpreview PRIVATE LINKER:--no-undefined)
