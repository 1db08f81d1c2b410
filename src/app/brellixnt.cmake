# brellixnt: the program, NT edition. Same sources as brellix2k; only the edition differs.
add_executable(brellixnt
  ${CMAKE_CURRENT_LIST_DIR}/brellix/BrellixNt.cpp)
target_link_libraries(brellixnt PRIVATE brx_brellix_main)
