# What brellix2k and brellixnt share: options, machine, batch mode and the window start.
if(NOT TARGET brx_brellix_main)
  add_library(brx_brellix_main STATIC
    ${CMAKE_CURRENT_LIST_DIR}/brellix/Main.cpp
    ${CMAKE_CURRENT_LIST_DIR}/brellix/Options.cpp
    ${CMAKE_CURRENT_LIST_DIR}/brellix/Machine.cpp
    ${CMAKE_CURRENT_LIST_DIR}/brellix/PendingRuns.cpp
    ${CMAKE_CURRENT_LIST_DIR}/brellix/WindowPending.cpp)
  target_include_directories(brx_brellix_main PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(brx_brellix_main PUBLIC brx_logic)
endif()
