# The window layout parser: portable, so it is built natively (tests with
# sanitizers), for Windows, and in the fuzz build.
add_library(tarvik_layout STATIC ${CMAKE_CURRENT_LIST_DIR}/layout.cpp)
target_include_directories(tarvik_layout PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(tarvik_layout PUBLIC tarvik_base)
