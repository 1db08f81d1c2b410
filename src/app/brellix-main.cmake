# What brellix2k and brellixnt share: options, machine, batch mode and the window start.
if(NOT TARGET brx_brellix_main)
  # The window start: the Qt window when it is built, otherwise a start without one.
  if(TARGET brx_ui)
    set(BRX_WINDOW_START ${CMAKE_CURRENT_LIST_DIR}/gui_main.cpp)
  else()
    set(BRX_WINDOW_START ${CMAKE_CURRENT_LIST_DIR}/brellix/WindowPending.cpp)
  endif()
  add_library(brx_brellix_main STATIC
    ${CMAKE_CURRENT_LIST_DIR}/brellix/Main.cpp
    ${CMAKE_CURRENT_LIST_DIR}/brellix/Options.cpp
    ${CMAKE_CURRENT_LIST_DIR}/brellix/Machine.cpp
    ${CMAKE_CURRENT_LIST_DIR}/brellix/PendingRuns.cpp
    ${BRX_WINDOW_START})
  target_include_directories(brx_brellix_main PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(brx_brellix_main PUBLIC brx_logic)
  if(TARGET brx_ui)
    target_link_libraries(brx_brellix_main PUBLIC brx_ui)
  endif()
endif()
