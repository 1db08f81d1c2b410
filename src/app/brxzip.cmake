# brxzip: the ZIP engine on the command line.
add_executable(brxzip ${CMAKE_CURRENT_LIST_DIR}/brxzip.cpp ${CMAKE_CURRENT_LIST_DIR}/brxzip_main.cpp)
target_link_libraries(brxzip PRIVATE brx_zip brx_platform)
