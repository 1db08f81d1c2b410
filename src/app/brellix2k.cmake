# brellix2k: the program, 2000 edition.
add_executable(brellix2k
  ${CMAKE_CURRENT_LIST_DIR}/brellix/Brellix2k.cpp)
target_link_libraries(brellix2k PRIVATE brx_brellix_main)
